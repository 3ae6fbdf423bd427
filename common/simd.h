// Which vector instructions the fast paths use. PRISMET_SSE2 is 1 where the
// compiler targets SSE2 (every x86 build of prismet) and 0 elsewhere, or
// when PRISMET_NO_SIMD is defined: that forces the portable code paths even
// where SSE2 exists, so that a build of the tests covers them (the test
// command makes one).
#pragma once

#if defined(__SSE2__) && !defined(PRISMET_NO_SIMD)
#define PRISMET_SSE2 1
#include <emmintrin.h>
#else
#define PRISMET_SSE2 0
#endif
