#include "common/cp932.h"

namespace prismet {

int byte_class_at(const char* text, std::size_t position) {
  std::size_t i = 0;
  while (i < position) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) return kSingleByte;
    if (is_lead_byte(byte) && is_second_byte(static_cast<unsigned char>(text[i + 1]))) {
      if (i + 1 == position) return kSecondByte;
      i += 2;
    } else {
      ++i;
    }
  }
  const unsigned char byte = static_cast<unsigned char>(text[position]);
  if (byte == 0) return kSingleByte;
  return is_lead_byte(byte) ? kFirstByte : kSingleByte;
}

}  // namespace prismet
