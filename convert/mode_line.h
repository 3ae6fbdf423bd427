// Whether a file's first lines say, as an editor reads them, that it is
// C++: an Emacs mode line ("-*- C++ -*-", "-*- mode: c++; ... -*-", in any
// case) or a vim modeline ("vim: set ft=cpp:", "vim: filetype=cpp", also
// after "vi:" or "ex:"). libstdc++'s headers, which have no extension,
// begin so ("// <vector> -*- C++ -*-").
#pragma once

#include <cstddef>
#include <string_view>

namespace prismet {

// How much of a file is looked at: its first lines, within its first bytes.
inline constexpr std::size_t kModeLineLines = 5;
inline constexpr std::size_t kModeLineBytes = 1024;

// True when one of the first kModeLineLines lines of `head` says C++ (only
// what lies in `head`; a NUL byte there means a binary file: never C++).
bool head_says_cpp(std::string_view head);

// Reads the first kModeLineBytes bytes of the file at `path` and asks
// head_says_cpp. False for a file that cannot be opened or read, and for
// anything that is no plain file (a pipe is never opened, so never waited
// for).
bool file_says_cpp(const char* path);

}  // namespace prismet
