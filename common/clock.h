// A clock for telling how long a run took: seconds since some fixed moment,
// never going back. One implementation per platform (clock_posix.cpp,
// clock_win32.cpp); <chrono> is not used because its headers hold text that
// the code page 932 execution character set cannot take.
#pragma once

namespace prismet {

double monotonic_seconds();

}  // namespace prismet
