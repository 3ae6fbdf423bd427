// Fixed text buffers: paths, the output extension and the vocabulary path
// live in buffers of kPathCapacity bytes, text and a NUL (copied in with
// copy_string_bounded, common/bounded_copy.h). On Windows that is
// 261 bytes (at most 260 of text, the system's limit for the calls the
// program makes); on Linux it is the system's own limit for a path.
#pragma once

#include <cstddef>

namespace prismet {

#ifdef _WIN32
inline constexpr std::size_t kPathCapacity = 261;
#else
inline constexpr std::size_t kPathCapacity = 4096;  // PATH_MAX, the NUL included
#endif

}  // namespace prismet
