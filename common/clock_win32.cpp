#include <windows.h>

#include "common/clock.h"

namespace prismet {

double monotonic_seconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&now) || frequency.QuadPart == 0) {
    return static_cast<double>(GetTickCount()) / 1000.0;
  }
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace prismet
