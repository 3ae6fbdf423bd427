#include "ui/common_controls.h"

#include <windows.h>
#include <commctrl.h>

namespace prismet {

bool register_common_control_classes() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  // The bar classes include the tooltips.
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES;
  return InitCommonControlsEx(&classes) != FALSE;
}

}  // namespace prismet
