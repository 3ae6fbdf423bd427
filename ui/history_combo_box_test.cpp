#include "ui/history_combo_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dialog_driver_win32.h"
#include "ui/control_helpers.h"
#include "ui/input_history.h"

namespace prismet {
namespace {

using testing::make_window;
using testing::ScopedWindow;
using Items = std::vector<std::string>;

constexpr int kComboId = 1049;
constexpr HistoryPlace kPlace = kExtensionHistory;

// A window standing in for a dialog, with one history combo box.
class HistoryComboBox : public ::testing::Test {
 protected:
  void store(const Items& items) {
    InputHistoryPtr history = create_history();
    for (auto it = items.rbegin(); it != items.rend(); ++it) push_history(*history, *it);
    ASSERT_TRUE(save_history(kPlace.section, *history));
  }
  Items listed() const {
    Items items;
    const int count = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::string text(static_cast<std::size_t>(SendMessageA(combo_, CB_GETLBTEXTLEN, i, 0)), '\0');
      SendMessageA(combo_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      items.push_back(text);
    }
    return items;
  }
  Items stored() const {
    InputHistoryPtr history = load_history(kPlace.section, "");
    Items items;
    for (int i = 0; i < history_count(*history); ++i) items.push_back(history_entry(*history, i));
    return items;
  }
  std::string shown() const { return window_text(combo_).value_or("(none)"); }

  testing::ScratchSettingsFile file_;
  ScopedWindow dialog_ = make_window("STATIC", WS_POPUP, 100, 100, 300, 200);
  ScopedWindow combo_ = make_window("COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 10, 10, 200, 200,
                                    dialog_, kComboId);
};

TEST_F(HistoryComboBox, ListsTheHistoryInOrderAndShowsTheInitialText) {
  struct Case {
    const char* name;
    Items history;
    const char* initial;
    const char* expected;
  } const cases[] = {
      {"a later, longer item is shown for its prefix", {".html", ".htm"}, ".htm", ".html"},
      {"the first item from the top wins", {".htm", ".html"}, ".htm", ".htm"},
      {"the prefix ignores case", {".html"}, ".HTM", ".html"},
      {"no item begins with the text", {".html", ".cpp"}, ".txt", ".txt"},
      {"empty history", {}, ".txt", ".txt"},
      {"an empty text stays empty", {"<B>", "</B>"}, "", ""},
      {"an empty text with an empty history", {}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store(c.history);
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    EXPECT_TRUE(attach_history(dialog_, kComboId, kPlace.section, c.initial, kPlace.property));
    EXPECT_NE(GetPropA(dialog_, kPlace.property), nullptr);
    EXPECT_EQ(listed(), c.history);
    EXPECT_EQ(shown(), c.expected);
    EXPECT_TRUE(release_history(dialog_, kPlace.property));
  }
}

TEST_F(HistoryComboBox, RecordSavesAtOnceMostRecentFirst) {
  store({"b", "a"});
  ASSERT_TRUE(attach_history(dialog_, kComboId, kPlace.section, "a", kPlace.property));
  EXPECT_TRUE(record_history(dialog_, kPlace.property, kPlace.section, "c"));
  EXPECT_EQ(stored(), (Items{"c", "b", "a"}));
  EXPECT_TRUE(record_history(dialog_, kPlace.property, kPlace.section, "a"));
  EXPECT_EQ(stored(), (Items{"a", "c", "b"}));
  EXPECT_TRUE(record_history(dialog_, kPlace.property, kPlace.section, ""));
  EXPECT_EQ(stored(), (Items{"", "a", "c", "b"}));
  EXPECT_TRUE(release_history(dialog_, kPlace.property));
  EXPECT_EQ(GetPropA(dialog_, kPlace.property), nullptr);
  EXPECT_FALSE(release_history(dialog_, kPlace.property));
}

TEST_F(HistoryComboBox, NothingToRecordWithoutAnAttachedHistory) {
  EXPECT_FALSE(record_history(dialog_, kPlace.property, kPlace.section, "x"));
  EXPECT_FALSE(file_.exists());
}

}  // namespace
}  // namespace prismet
