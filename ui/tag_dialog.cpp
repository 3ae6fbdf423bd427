#include "ui/tag_dialog.h"

#include <optional>
#include <string>

#include "res/resource.h"
#include "ui/client_area_drag.h"
#include "ui/control_helpers.h"
#include "ui/geometry.h"
#include "ui/history_combo_box.h"

namespace prismet {

namespace {

TagPair* edited_pair(HWND dialog) { return static_cast<TagPair*>(GetPropA(dialog, kTagDialogProperty)); }

INT_PTR on_init_dialog(HWND dialog, TagPair* pair) {
  if (pair == nullptr) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  SetPropA(dialog, kTagDialogProperty, pair);
  set_program_icons(dialog);
  center_on_cursor(dialog);
  attach_history(dialog, IDC_TAG_OPEN, kOpenTagHistory.section, pair->open.c_str(), kOpenTagHistory.property);
  attach_history(dialog, IDC_TAG_CLOSE, kCloseTagHistory.section, pair->close.c_str(),
                 kCloseTagHistory.property);
  return TRUE;  // the focus goes to the first tab stop, the open tag
}

INT_PTR on_ok(HWND dialog) {
  TagPair* pair = edited_pair(dialog);
  // Both texts are read before either tag changes, so that a field whose
  // text cannot be had leaves the pair whole; the dialog then stays open.
  std::optional<std::string> open = dialog_item_text(dialog, IDC_TAG_OPEN);
  std::optional<std::string> close = dialog_item_text(dialog, IDC_TAG_CLOSE);
  if (pair == nullptr || !open || !close) return TRUE;
  pair->open = std::move(*open);
  record_history(dialog, kOpenTagHistory.property, kOpenTagHistory.section, pair->open.c_str());
  pair->close = std::move(*close);
  record_history(dialog, kCloseTagHistory.property, kCloseTagHistory.section, pair->close.c_str());
  EndDialog(dialog, IDOK);
  return TRUE;
}

INT_PTR on_cancel(HWND dialog) {
  EndDialog(dialog, IDCANCEL);
  return TRUE;
}

INT_PTR on_command(HWND dialog, WORD id) {
  switch (id) {
    case IDOK:
      return on_ok(dialog);
    case IDCANCEL:
      return on_cancel(dialog);
    default:
      return FALSE;
  }
}

INT_PTR on_destroy(HWND dialog) {
  RemovePropA(dialog, kTagDialogProperty);
  release_history(dialog, kOpenTagHistory.property);
  release_history(dialog, kCloseTagHistory.property);
  release_window_icons(dialog);
  return TRUE;
}

INT_PTR CALLBACK tag_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return on_init_dialog(dialog, reinterpret_cast<TagPair*>(lparam));
    case WM_COMMAND:
      return on_command(dialog, LOWORD(wparam));
    case WM_NCHITTEST:
      return drag_by_client_area(dialog, message, wparam, lparam);
    case WM_DESTROY:
      return on_destroy(dialog);
    default:
      return FALSE;
  }
}

}  // namespace

bool show_tag_dialog(HWND owner, TagPair& pair) {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TAG_DIALOG), owner, tag_dialog_proc,
                         reinterpret_cast<LPARAM>(&pair)) == IDOK;
}

}  // namespace prismet
