// Input histories: the texts confirmed in one field, most recent first, no
// two equal byte for byte, each kept in its own section of the settings file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/word_list.h"

namespace prismet {

using InputHistory = WordList<std::string>;
using InputHistoryPtr = std::unique_ptr<InputHistory>;

// The key that holds the number of stored items; the items are under "0",
// "1", ... in order, "0" being the most recent.
inline constexpr char kHistoryCountKey[] = "履歴数";

// A new empty history; nullptr when no memory is left.
InputHistoryPtr create_history();
void free_history(InputHistoryPtr history);

int history_count(const InputHistory& history);
// The item at `position` from the front; the caller keeps it below the count.
const std::string& history_entry(const InputHistory& history, int position);

// Puts `text` at the front. An equal item (compared byte for byte) moves
// there, the others keeping their order; otherwise a copy is inserted.
// Returns the new count, or -1 with the history unchanged when no memory is
// left.
int push_history(InputHistory& history, std::string_view text);

// Appends a copy of `text` at the back unless an equal item is present.
// Returns the count, or -1 with the history unchanged when no memory is left.
int add_loaded_entry(InputHistory& history, std::string_view text);

// The history stored in `section` of the settings file. A key below the
// stored count that is missing gives `default_text` in its place (kept once,
// like any repeat); a value comes back cut to 32767 bytes. Empty when the
// settings file's path cannot be formed; nullptr when no memory is left.
InputHistoryPtr load_history(const char* section, const char* default_text);

// Writes the count and every item, quoted so that blanks at either end
// survive. True when every write succeeded (false when no memory was left).
bool save_history(const char* section, const InputHistory& history);

}  // namespace prismet
