#include "settings/ini_text_encoding.h"

#include <cstdint>

#include "common/character_encoding.h"
#include "common/cp932.h"
#include "common/cp932_encoder.h"
#include "common/cp932_table.h"

namespace prismet::ini {

namespace {

void append_utf8(std::string& out, std::uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    // Code page 932 has no character beyond the basic plane.
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// The code point of the character at `i` (advanced past it), or -1 for a
// byte or pair that is none.
long cp932_code_point(std::string_view text, std::size_t& i) {
  const unsigned char byte = static_cast<unsigned char>(text[i]);
  if (is_lead_byte(byte)) {
    if (i + 1 >= text.size()) {
      ++i;
      return -1;
    }
    const std::uint16_t code = decode_cp932_pair(byte, static_cast<unsigned char>(text[i + 1]));
    i += 2;
    return code != 0 ? code : -1;
  }
  ++i;
  return decode_cp932_single(byte);
}

void append_cp932(std::string& out, int code) {
  if (code >= 0x100) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

// Converts UTF-8 to code page 932, `mark` for what has no place there; false
// when anything had none.
bool convert_utf8(std::string_view utf8, std::string& out, const char* mark) {
  bool whole = true;
  const char* end = utf8.data() + utf8.size();
  for (const char* p = utf8.data(); p < end;) {
    const std::size_t length = utf8_sequence_length(p, end);
    const bool valid = length > 1 || static_cast<unsigned char>(*p) < 0x80;
    const int code = valid ? encode_cp932(utf8_code_point(p, length)) : -1;
    if (code < 0) {
      whole = false;
      out += mark;
    } else {
      append_cp932(out, code);
    }
    p += length;
  }
  return whole;
}

}  // namespace

bool is_well_formed_utf8(std::string_view text) {
  const char* end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const std::size_t length = utf8_sequence_length(p, end);
    if (length == 1 && static_cast<unsigned char>(*p) >= 0x80) return false;
    p += length;
  }
  return true;
}

FileEncoding detect_file_encoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) return {TextEncoding::kUtf8, true};
  bool high = false;
  for (const char byte : bytes) high = high || static_cast<unsigned char>(byte) >= 0x80;
  if (high && is_well_formed_utf8(bytes)) return {TextEncoding::kUtf8, false};
  return {};
}

std::optional<std::string> utf8_of_cp932(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 2);
  for (std::size_t i = 0; i < cp932.size();) {
    const long code_point = cp932_code_point(cp932, i);
    if (code_point < 0) return std::nullopt;
    append_utf8(out, static_cast<std::uint32_t>(code_point));
  }
  return out;
}

std::string utf8_of_cp932_or_marks(std::string_view cp932) {
  std::string out;
  for (std::size_t i = 0; i < cp932.size();) {
    const long code_point = cp932_code_point(cp932, i);
    append_utf8(out, code_point < 0 ? 0xFFFDu : static_cast<std::uint32_t>(code_point));
  }
  return out;
}

std::optional<std::string> cp932_of_utf8(std::string_view utf8) {
  std::string out;
  if (!convert_utf8(utf8, out, "?")) return std::nullopt;
  return out;
}

std::string cp932_of_utf8_or_marks(std::string_view utf8) {
  std::string out;
  convert_utf8(utf8, out, "?");
  return out;
}

}  // namespace prismet::ini
