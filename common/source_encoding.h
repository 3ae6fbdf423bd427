// How a source's bytes are read: the encoding a mode's settings name.
#pragma once

namespace prismet {

enum class SourceEncoding {
  kShiftJis,   // code page 932; the page's bytes are the source's
  kUtf8,       // UTF-8; the page's bytes are the source's
  kAutomatic,  // per file: UTF-8, UTF-16 or Shift_JIS, and the page in UTF-8
};

}  // namespace prismet
