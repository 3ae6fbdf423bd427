#include "common/ascii_case.h"

namespace prismet {

bool equals_no_case(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (lower_ascii(*a) != lower_ascii(*b)) return false;
  }
  return *a == *b;
}

bool starts_with_no_case(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (*text == '\0' || lower_ascii(*text) != lower_ascii(*prefix)) return false;
  }
  return true;
}

}  // namespace prismet
