// Letter case of ASCII text: only the bytes A-Z and a-z are folded, every
// other byte (the bytes of double-byte characters among them) is compared
// exactly. Callers that walk double-byte text step over the second bytes
// themselves; the comparisons here go byte by byte.
#pragma once

namespace prismet {

// The byte with A-Z turned into a-z.
inline char lower_ascii(char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// True when the two strings are equal without regard to the case of ASCII
// letters.
bool equals_no_case(const char* a, const char* b);

// True when `text` begins with `prefix` without regard to the case of ASCII
// letters; every text begins with the empty prefix.
bool starts_with_no_case(const char* text, const char* prefix);

}  // namespace prismet
