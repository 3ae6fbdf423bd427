#include "tests/caption_fit_win32.h"

#include <string>

#include "ui/control_helpers.h"
#include "ui/device_context.h"

namespace prismet::testing {
namespace {

enum class CaptionKind { kNone, kStatic, kCheck, kPush };

CaptionKind caption_kind(HWND control) {
  char class_name[32] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (lstrcmpiA(class_name, "Static") == 0) {
    const LONG type = style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP
               ? CaptionKind::kStatic
               : CaptionKind::kNone;
  }
  if (lstrcmpiA(class_name, "Button") != 0) return CaptionKind::kNone;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return CaptionKind::kPush;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return CaptionKind::kCheck;
    default:
      return CaptionKind::kNone;
  }
}

// The width a caption takes on one line in the control's font.
int caption_width(HWND control, const std::string& caption) {
  WindowDC dc(control);
  if (!dc.valid()) return -1;
  SavedDCState state(dc.get());
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (font != nullptr) SelectObject(dc.get(), font);
  RECT rect{0, 0, 0, 0};
  DrawTextA(dc.get(), caption.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
  return rect.right - rect.left;
}

// The room a control gives its caption. A push button draws inside its
// 2-pixel frame; a check box or radio button draws its caption to the right
// of a 13-pixel mark (at 96 dpi) and a gap of half a digit's width.
int caption_room(HWND control, CaptionKind kind) {
  RECT client{};
  GetClientRect(control, &client);
  const int width = client.right - client.left;
  if (kind == CaptionKind::kPush) return width - 4;
  if (kind != CaptionKind::kCheck) return width;
  WindowDC dc(control);
  if (!dc.valid()) return width;
  SavedDCState state(dc.get());
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (font != nullptr) SelectObject(dc.get(), font);
  SIZE digit{};
  GetTextExtentPoint32A(dc.get(), "0", 1, &digit);
  const int mark = MulDiv(12, GetDeviceCaps(dc.get(), LOGPIXELSX), 96) + 1;
  return width - mark - digit.cx / 2;
}

}  // namespace

std::vector<std::string> captions_that_do_not_fit(HWND dialog) {
  std::vector<std::string> cut;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const CaptionKind kind = caption_kind(child);
    if (kind == CaptionKind::kNone) continue;
    const std::string caption = window_text(child).value_or("");
    if (caption.empty()) continue;
    const int needed = caption_width(child, caption);
    const int room = caption_room(child, kind);
    if (needed < 0 || needed > room)
      cut.push_back(caption + ": needs " + std::to_string(needed) + " px, has " + std::to_string(room) +
                    " px");
  }
  return cut;
}

}  // namespace prismet::testing
