// Unicode text written in code page 932: the inverse of the table that
// decodes it (cp932_table.h), for text a Shift_JIS page shows that did not
// come from a Shift_JIS source, such as a Linux file name in UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace prismet {

// The code of `code_point` in code page 932: one byte (below 0x100) or a
// pair (lead byte << 8 | second byte); -1 when the code page has none. Where
// several pairs decode to one code point, the one Windows writes is chosen:
// JIS X 0208 first, then the NEC special row (0x87), then the IBM
// extensions (0xFA-0xFC), and the NEC-selected IBM rows (0xED, 0xEE) last.
int encode_cp932(std::uint32_t code_point);

// UTF-8 text as the text of a code page 932 HTML page: every character the
// code page has becomes its bytes, any other a decimal numeric character
// reference ("&#8364;"), and a byte that begins no well-formed UTF-8
// sequence the reference of U+FFFD. Nothing is escaped here: markup in
// `utf8` stays markup.
std::string cp932_html_of_utf8(std::string_view utf8);

// Code page 932 text in UTF-8, for a name a Shift_JIS page gives that names
// a file of a system whose names are UTF-8; false (and `utf8` undefined)
// when a byte or a pair is no character of the code page.
bool utf8_of_cp932(std::string_view cp932, std::string& utf8);

}  // namespace prismet
