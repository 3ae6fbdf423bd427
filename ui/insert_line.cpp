#include <algorithm>

#include "ui/device_context.h"
#include "ui/drag_list_box_internal.h"
#include "ui/geometry.h"
#include "ui/notify_helpers.h"

namespace prismet {

namespace {

int top_index(HWND list_box) { return static_cast<int>(SendMessageA(list_box, LB_GETTOPINDEX, 0, 0)); }

// Every item is as high as the first. A list box that reports no height (an
// error) counts as one pixel per item rather than dividing by zero.
int item_height(HWND list_box) {
  const int height = static_cast<int>(SendMessageA(list_box, LB_GETITEMHEIGHT, 0, 0));
  return std::max(height, 1);
}

// A line in the raster operation, pen and brush given; the device context
// is left as it was.
void invert_line(HDC dc, int x1, int y1, int x2, int y2, int raster_operation, HGDIOBJ pen, HGDIOBJ brush) {
  SavedDCState saved(dc);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  SetROP2(dc, raster_operation);
  draw_line(dc, x1, y1, x2, y2);
}

void invert_insert_line(HDC dc, POINT start, POINT end) {
  invert_line(dc, start.x, start.y, end.x, end.y, R2_NOTXORPEN, GetStockObject(BLACK_PEN),
              GetStockObject(BLACK_BRUSH));
}

}  // namespace

int insert_position_at(HWND list_box, POINT screen_point) {
  POINT point = screen_point;
  ScreenToClient(list_box, &point);
  RECT client{};
  GetClientRect(list_box, &client);
  if (!PtInRect(&client, point)) return -1;
  const int count = static_cast<int>(SendMessageA(list_box, LB_GETCOUNT, 0, 0));
  return std::min(top_index(list_box) + static_cast<int>(point.y) / item_height(list_box), count);
}

void draw_insert_line(HWND list_box, POINT screen_point, DDLBDRAGINFO& info) {
  const int position = insert_position_at(list_box, screen_point);
  if (!is_insert_position(list_box, position)) return;
  const int y = (position - top_index(list_box)) * item_height(list_box);
  const int width = client_width(list_box);
  WindowDC dc(list_box);
  if (!dc.valid()) return;
  invert_insert_line(dc.get(), POINT{0, y}, POINT{width, y});
  info.ptLineEnd = POINT{width, y};
  info.ptLineStart = POINT{0, y};
  info.fLineShown = TRUE;
}

void erase_insert_line(HWND list_box, DDLBDRAGINFO& info) {
  if (!info.fLineShown) return;
  RECT client{};
  GetClientRect(list_box, &client);
  if (!point_in_rect_inclusive(client, info.ptLineStart) || !point_in_rect_inclusive(client, info.ptLineEnd))
    return;
  WindowDC dc(list_box);
  if (!dc.valid()) return;
  info.fLineShown = FALSE;
  invert_insert_line(dc.get(), info.ptLineStart, info.ptLineEnd);
}

}  // namespace prismet
