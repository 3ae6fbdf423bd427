#include "engine/scanner.h"

#include <cstdint>
#include <cstring>

#include "common/cp932.h"
#include "engine/char_sets.h"

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

std::size_t cut_character_bytes(const char* text, std::size_t size, CharacterEncoding encoding) {
  if (size == 0) return 0;
  if (encoding == CharacterEncoding::kShiftJis) {
    // A trail byte may look like a lead byte: only a walk from a
    // character's start tells which bytes pair up.
    std::size_t at = 0;
    while (at + 1 < size) at += is_lead_byte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    return at + 1 == size && is_lead_byte(static_cast<unsigned char>(text[at])) ? 1 : 0;
  }
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const unsigned char byte = static_cast<unsigned char>(text[size - back]);
    if (byte < 0x80) return 0;
    if (byte <= 0xBF) continue;  // a continuation byte: its lead lies further back
    const std::size_t need = byte >= 0xC2 && byte <= 0xDF   ? 2
                             : byte >= 0xE0 && byte <= 0xEF ? 3
                             : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                            : 0;
    if (need <= back) return 0;  // whole, or no lead byte at all
    if (back >= 2) {
      // The second byte's range, as a well-formed sequence has it.
      const unsigned char second = static_cast<unsigned char>(text[size - back + 1]);
      const unsigned char low = byte == 0xE0 ? 0xA0 : byte == 0xF0 ? 0x90 : 0x80;
      const unsigned char high = byte == 0xED ? 0x9F : byte == 0xF4 ? 0x8F : 0xBF;
      if (second < low || second > high) return 0;
    }
    return back;
  }
  return 0;
}

std::size_t end_cut_piece(SourceLine& line, std::size_t stored, std::size_t read, std::size_t before_nul,
                          CharacterEncoding encoding) {
  const std::size_t carried = stored - read;
  if (before_nul < read) {
    // A NUL the input did not replace ends the text, as in a piece.
    line.continuation = false;
    if (line.ends_source_line) {
      line.line_ending[0] = '\n';
      line.line_ending[1] = '\0';
    }
    return carried + before_nul;
  }
  // Cut by the piece's size, a 0x1A or the input's end: a character cut
  // off goes whole into the next piece, if anything more is read for it.
  const std::size_t cut = read != 0 ? cut_character_bytes(line.text, stored, encoding) : 0;
  if (cut < stored) {
    stored -= cut;
    std::memcpy(line.carry, line.text + stored, cut);
    line.carried = static_cast<std::uint8_t>(cut);
    line.text[stored] = '\0';
  }
  line.continuation = true;
  return stored;
}

}  // namespace prismet
