#include "ui/input_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/dialog_driver_win32.h"

namespace prismet {
namespace {

using Items = std::vector<std::string>;

Items items_of(const InputHistory& history) {
  Items items;
  for (int i = 0; i < history_count(history); ++i) items.push_back(history_entry(history, i));
  return items;
}

TEST(PushHistory, MostRecentFirstWithoutRepeats) {
  struct Case {
    const char* name;
    Items pushed;
    Items expected;
  } const cases[] = {
      {"new texts go to the front", {"a", "b", "c"}, {"c", "b", "a"}},
      {"a repeat moves to the front, the others keep their order",
       {"a", "b", "c", "d", "b"},
       {"b", "d", "c", "a"}},
      {"the last item moves to the front", {"a", "b", "c", "a"}, {"a", "c", "b"}},
      {"the front item pushed again", {"a", "b", "b"}, {"b", "a"}},
      {"case makes a difference", {".htm", ".HTM"}, {".HTM", ".htm"}},
      {"blanks at either end make a difference", {"a", " a", "a "}, {"a ", " a", "a"}},
      {"the empty text is an item", {"", "x", ""}, {"", "x"}},
      {"double-byte texts compare exactly", {"表", "表示", "表"}, {"表", "表示"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InputHistoryPtr history = create_history();
    ASSERT_TRUE(history);
    int count = 0;
    for (const std::string& text : c.pushed) count = push_history(*history, text);
    EXPECT_EQ(count, static_cast<int>(c.expected.size()));
    EXPECT_EQ(items_of(*history), c.expected);
  }
}

constexpr char kSection[] = "履歴：拡張子";

class HistoryFile : public ::testing::Test {
 protected:
  Items load(const char* default_text = "") {
    InputHistoryPtr history = load_history(kSection, default_text);
    EXPECT_TRUE(history);
    return history ? items_of(*history) : Items{};
  }
  testing::ScratchSettingsFile file_;
};

TEST_F(HistoryFile, LoadsWhatTheSectionHolds) {
  struct Case {
    const char* name;
    std::string section_text;
    Items expected;
  } const cases[] = {
      {"quoted items in order", "履歴数=2\r\n0=\".html\"\r\n1=\" a b \"\r\n", {".html", " a b "}},
      {"a count of 3 with keys 0 and 1 only", "履歴数=3\r\n0=\"a\"\r\n1=\"b\"\r\n", {"a", "b", ""}},
      {"missing keys give the default once", "履歴数=5\r\n0=\"a\"\r\n3=\"d\"\r\n", {"a", "", "d"}},
      {"repeats are kept once", "履歴数=3\r\n0=\"x\"\r\n1=\"y\"\r\n2=\"x\"\r\n", {"x", "y"}},
      {"a count that is not a number", "履歴数=many\r\n0=\"a\"\r\n", {}},
      {"a negative count", "履歴数=-4\r\n0=\"a\"\r\n", {}},
      {"no count", "0=\"a\"\r\n", {}},
      {"keys beyond the count are ignored", "履歴数=1\r\n0=\"a\"\r\n1=\"b\"\r\n", {"a"}},
      // Large enough that reading every key (about 0.2 ms each) would take
      // seconds; a count of 2,000,000,000 would take days.
      {"a damaged, large count", "履歴数=50000\r\n0=\"a\"\r\n1=\"b\"\r\n", {"a", "b", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    file_.write("[other]\r\n履歴数=1\r\n0=\"other\"\r\n[" + std::string(kSection) + "]\r\n" + c.section_text);
    const DWORD started = GetTickCount();
    EXPECT_EQ(load(), c.expected);
    EXPECT_LT(GetTickCount() - started, 2000u);
  }
}

TEST_F(HistoryFile, MissingFileOrSectionGivesAnEmptyHistory) {
  EXPECT_EQ(load(), Items{});
  file_.write("[other]\r\n履歴数=1\r\n0=\"a\"\r\n");
  EXPECT_EQ(load(), Items{});
}

TEST_F(HistoryFile, DefaultStandsInForAMissingKey) {
  file_.write("[" + std::string(kSection) + "]\r\n履歴数=3\r\n1=\"b\"\r\n");
  EXPECT_EQ(load("dflt"), (Items{"dflt", "b"}));
}

TEST_F(HistoryFile, LongValueIsCut) {
  file_.write("[" + std::string(kSection) + "]\r\n履歴数=1\r\n0=" + std::string(40000, 'v') + "\r\n");
  const Items items = load();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0], std::string(32767, 'v'));
}

TEST_F(HistoryFile, SaveWritesCountAndQuotedItemsInOrder) {
  InputHistoryPtr history = create_history();
  for (const char* text : {"", " .htm ", "表", ".html"}) push_history(*history, text);
  EXPECT_TRUE(save_history(kSection, *history));
  EXPECT_EQ(file_.contents(), "[" + std::string(kSection) +
                                  "]\r\n履歴数=4\r\n0=\".html\"\r\n1=\"表\"\r\n2=\" .htm \"\r\n3=\"\"\r\n");
  EXPECT_EQ(load(), (Items{".html", "表", " .htm ", ""}));

  // A repeat moved to the front is saved in the new order at once.
  push_history(*history, "表");
  EXPECT_TRUE(save_history(kSection, *history));
  EXPECT_EQ(load(), (Items{"表", ".html", " .htm ", ""}));
}

}  // namespace
}  // namespace prismet
