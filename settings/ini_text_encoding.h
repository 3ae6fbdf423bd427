// The two encodings a settings file may be in on Linux, told apart once when
// the file is read, and the conversions between them for names and values.
//
// The rule: a file that starts with the UTF-8 byte order mark is UTF-8; a
// file without one is UTF-8 when it holds a byte of 0x80 or above and all of
// it is well-formed UTF-8; any other file is code page 932, as the Windows
// program reads it. A file of ASCII only reads the same either way and is
// taken as code page 932, so that what is added to it stays so. Text in code
// page 932 with double-byte characters is practically never well-formed
// UTF-8 (its keys are not: a lead byte 0x81-0x9F is a UTF-8 continuation
// byte), and a file whose two halves are in the two encodings is not either,
// so such a file stays code page 932 and keeps its bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_document.h"

namespace prismet::ini {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct FileEncoding {
  TextEncoding text = TextEncoding::kCp932;
  bool byte_order_mark = false;  // the file starts with kUtf8ByteOrderMark
};

FileEncoding detect_file_encoding(std::string_view bytes);

// True when `text` is well-formed UTF-8 throughout.
bool is_well_formed_utf8(std::string_view text);

// Code page 932 text in UTF-8; none when a byte or pair of it is no
// character of the code page, so that nothing is ever written in its place.
std::optional<std::string> utf8_of_cp932(std::string_view cp932);

// UTF-8 text in code page 932; none when it is not well-formed or holds a
// character the code page does not have.
std::optional<std::string> cp932_of_utf8(std::string_view utf8);

// UTF-8 text in code page 932 with "?" for each character the code page does
// not have and for each byte of an ill-formed sequence: for reading only.
std::string cp932_of_utf8_or_marks(std::string_view utf8);

// Code page 932 text in UTF-8 with U+FFFD for each byte that is no
// character: for showing only.
std::string utf8_of_cp932_or_marks(std::string_view cp932);

}  // namespace prismet::ini
