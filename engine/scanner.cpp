#include "engine/scanner.h"

#include <cstdint>
#include <cstring>

#include "common/cp932.h"
#include "engine/char_sets.h"
#include "engine/token_rules.h"

namespace prismet {

bool next_token(SourceLine& line, Token& token, const VocabularyIndex& index, ScanState state,
                CharacterEncoding encoding) {
  if (encoding == CharacterEncoding::kUtf8)
    return scan::scan_token<CharacterEncoding::kUtf8>(line, token, index, state);
  return scan::scan_token<CharacterEncoding::kShiftJis>(line, token, index, state);
}

const VocabularyEntry* find_start_delimiter(const char* position, const char* end, const EntryList* list) {
  if (list == nullptr) return nullptr;
  for (auto* node = list->first(); node != nullptr; node = node->next()) {
    // An empty start would match everywhere without consuming anything.
    if (scan::begins_with(position, end, node->item().start)) return &node->item();
  }
  return nullptr;
}

const char* find_end_delimiter(const char* position, const char* end, std::string_view end_text,
                               CharacterEncoding encoding) {
  if (encoding == CharacterEncoding::kUtf8)
    return scan::find_end_delimiter_in<CharacterEncoding::kUtf8>(position, end, end_text);
  return scan::find_end_delimiter_in<CharacterEncoding::kShiftJis>(position, end, end_text);
}

}  // namespace prismet
