#include "tests/dialog_test_support_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "ui/control_helpers.h"
#include "ui/input_history.h"

namespace prismet::testing {

std::string text_of(HWND dialog, int id) { return dialog_item_text(dialog, id).value_or("(none)"); }

HDROP make_drop(const Texts& names) {
  std::size_t bytes = sizeof(DROPFILES) + 1;
  for (const std::string& name : names) bytes += name.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  char* at = reinterpret_cast<char*>(header + 1);
  for (const std::string& name : names) {
    std::memcpy(at, name.c_str(), name.size() + 1);
    at += name.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

Texts section_names(const std::string& contents) {
  Texts names;
  for (std::size_t at = contents.find('['); at != std::string::npos; at = contents.find('[', at + 1)) {
    if (at != 0 && contents[at - 1] != '\n') continue;
    names.push_back(contents.substr(at + 1, contents.find(']', at) - at - 1));
  }
  return names;
}

Texts stored_history(const HistoryPlace& place) {
  InputHistoryPtr loaded = load_history(place.section, "");
  Texts items;
  for (int i = 0; i < history_count(*loaded); ++i) items.push_back(history_entry(*loaded, i));
  return items;
}

void store_history(const HistoryPlace& place, const Texts& items) {
  InputHistoryPtr stored = create_history();
  for (auto it = items.rbegin(); it != items.rend(); ++it) push_history(*stored, *it);
  save_history(place.section, *stored);
}

std::function<bool()> ticks(int count) {
  return [count, seen = 0]() mutable { return ++seen > count; };
}

}  // namespace prismet::testing
