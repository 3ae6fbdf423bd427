// Whether the captions of a dialog's controls fit them: for tests that a
// dialog's labels are not cut under the font it is shown with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace prismet::testing {

// Every static text, check box, radio button and push button among the
// dialog's children whose caption, drawn on one line in the control's font
// (a '&' taken as the system draws it), is wider than the room the control
// gives it: "caption: needs N px, has M px". Empty when all fit.
std::vector<std::string> captions_that_do_not_fit(HWND dialog);

}  // namespace prismet::testing
