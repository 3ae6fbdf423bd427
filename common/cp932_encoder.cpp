#include "common/cp932_encoder.h"

#include <array>
#include <charconv>
#include <memory>

#include "common/character_encoding.h"
#include "common/cp932_table.h"

namespace prismet {

namespace {

using ReverseTable = std::array<std::uint16_t, 0x10000>;  // code point -> pair, 0 for none

// Rows in the order of preference: a code point keeps the first pair that
// decodes to it.
std::unique_ptr<ReverseTable> make_reverse_table() {
  auto table = std::make_unique<ReverseTable>();
  table->fill(0);
  const auto fill_row = [&](unsigned lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const std::uint16_t code_point =
          decode_cp932_pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (code_point != 0 && (*table)[code_point] == 0) {
        (*table)[code_point] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
  };
  for (unsigned lead = 0x81; lead <= 0x9F; ++lead) fill_row(lead);
  for (unsigned lead = 0xE0; lead <= 0xFC; ++lead) {
    if (lead != 0xED && lead != 0xEE) fill_row(lead);
  }
  fill_row(0xED);
  fill_row(0xEE);
  return table;
}

const ReverseTable& reverse_table() {
  static const std::unique_ptr<ReverseTable> table = make_reverse_table();
  return *table;
}

void append_reference(std::string& out, std::uint32_t code_point) {
  char digits[12];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, code_point);
  out += "&#";
  out.append(digits, end.ptr);
  out += ';';
}

}  // namespace

int encode_cp932(std::uint32_t code_point) {
  if (code_point < 0x80) return static_cast<int>(code_point);
  if (code_point >= 0xFF61 && code_point <= 0xFF9F) return static_cast<int>(code_point - 0xFF61 + 0xA1);
  if (code_point > 0xFFFF) return -1;
  const std::uint16_t pair = reverse_table()[code_point];
  return pair == 0 ? -1 : pair;
}

std::string cp932_html_of_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const char* position = utf8.data();
  const char* const end = position + utf8.size();
  while (position < end) {
    const std::size_t length = utf8_sequence_length(position, end);
    if (length == 1 && static_cast<unsigned char>(*position) < 0x80) {
      out += *position++;
      continue;
    }
    const std::uint32_t code_point = length == 1 ? 0xFFFD : utf8_code_point(position, length);
    position += length;
    const int code = encode_cp932(code_point);
    if (code < 0) {
      append_reference(out, code_point);
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return out;
}

bool utf8_of_cp932(std::string_view cp932, std::string& utf8) {
  utf8.clear();
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto byte = static_cast<unsigned char>(cp932[i]);
    int code_point = decode_cp932_single(byte);
    if (code_point < 0) {
      if (i + 1 == cp932.size()) return false;
      code_point = decode_cp932_pair(byte, static_cast<unsigned char>(cp932[++i]));
      if (code_point == 0) return false;
    }
    const auto c = static_cast<std::uint32_t>(code_point);
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return true;
}

}  // namespace prismet
