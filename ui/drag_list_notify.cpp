#include <cstring>

#include "ui/drag_list_box_internal.h"
#include "ui/notify_helpers.h"

namespace prismet {

DDLBNOTIFY drag_list_notice(HWND list_box, UINT code) {
  DDLBNOTIFY notice;
  std::memset(&notice, 0, sizeof notice);  // padding too: the parent may copy the record whole
  fill_notify_header(notice.hdr, list_box, code);
  return notice;
}

LRESULT notify_parent(HWND list_box, DDLBNOTIFY& notice) {
  return SendMessageA(GetParent(list_box), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(list_box)),
                      reinterpret_cast<LPARAM>(&notice));
}

LRESULT notify_parent(HWND list_box, UINT code) {
  DDLBNOTIFY notice = drag_list_notice(list_box, code);
  return notify_parent(list_box, notice);
}

bool parent_permits_move(HWND list_box, int item) {
  DDLBNOTIFY notice = drag_list_notice(list_box, DDLBN_QUERYMOVE);
  notice.iItem = item;
  return notify_parent(list_box, notice) == 0;
}

}  // namespace prismet
