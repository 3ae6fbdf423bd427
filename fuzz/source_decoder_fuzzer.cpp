// Fuzzes the source decoder with arbitrary bytes, fed whole and in pieces cut
// where the input's first byte says. Checks that
// - the output is valid UTF-8 (no overlong form, surrogate or code point
//   above U+10FFFF);
// - the pieces give the same output as the whole;
// - no character is lost: the output holds at least as many code points as
//   the input holds characters at the least (ASCII one per byte; UTF-8 one
//   per four bytes; UTF-16 one per two-byte unit; code page 932 one per two
//   bytes), the byte order mark not counted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/source_decoder.h"

namespace {

using prismet::DetectedEncoding;

// The number of code points of `text`, or -1 when it is no valid UTF-8.
long count_code_points(std::string_view text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    std::size_t length;
    unsigned code;
    if (byte < 0x80) {
      length = 1;
      code = byte;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
      length = 2;
      code = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      length = 3;
      code = byte & 0x0F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
      code = byte & 0x07;
    } else {
      return -1;
    }
    if (i + length > text.size()) return -1;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return -1;
      code = code << 6 | (next & 0x3F);
    }
    const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
    i += length;
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  DetectedEncoding detected = DetectedEncoding::kAscii;
  const std::string whole = prismet::decode_source(input, &detected);

  const long points = count_code_points(whole);
  if (points < 0) std::abort();
  long least = 0;
  const long n = static_cast<long>(size);
  switch (detected) {
    case DetectedEncoding::kAscii:
      if (whole != input) std::abort();
      least = n;
      break;
    case DetectedEncoding::kUtf8:
      least = (n - (input.starts_with("\xEF\xBB\xBF") ? 3 : 0) + 3) / 4;
      break;
    case DetectedEncoding::kShiftJis:
      least = (n + 1) / 2;
      break;
    case DetectedEncoding::kUtf16Le:
    case DetectedEncoding::kUtf16Be:
      least = (n - 2 + 3) / 4;
      break;
  }
  if (points < least) std::abort();

  // The same bytes in pieces of 1 to 16 bytes.
  const std::size_t piece = size == 0 ? 1 : data[0] % 16 + 1;
  prismet::SourceDecoder decoder;
  std::string pieces;
  std::size_t at = 0;
  do {
    const std::size_t take = size - at < piece ? size - at : piece;
    decoder.decode(input.data() + at, take, at + take == size);
    at += take;
    pieces.append(decoder.output());
    decoder.clear_output();
  } while (at < size);
  if (pieces != whole || decoder.detected() != detected) std::abort();
  return 0;
}
