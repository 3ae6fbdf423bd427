#include "common/word_list.h"

namespace prismet {

// Code page 932 bytes of the marker text that released links point at.
const char kReleasedLinkText[] = "こんな領域を指しちゃイカンにょ～";

}  // namespace prismet
