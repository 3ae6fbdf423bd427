#include "ui/geometry.h"

#include <gtest/gtest.h>

#include "tests/dialog_driver_win32.h"
#include "ui/deferred_position.h"

namespace prismet {
namespace {

using testing::make_window;
using testing::ScopedWindow;

TEST(PointInRectInclusive, EdgesCountAsInside) {
  const RECT rect{10, 20, 30, 40};
  struct Case {
    POINT point;
    bool inside;
  } const cases[] = {
      {{10, 20}, true}, {{30, 40}, true},  {{30, 20}, true},  {{10, 40}, true},  {{20, 30}, true},
      {{9, 30}, false}, {{31, 30}, false}, {{20, 19}, false}, {{20, 41}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(point_in_rect_inclusive(rect, c.point), c.inside) << c.point.x << "," << c.point.y;
}

RECT current_work_area() {
  RECT area{};
  EXPECT_TRUE(work_area(area));
  return area;
}

void move_cursor(POINT to) {
  SetCursorPos(to.x, to.y);
  POINT now{};
  GetCursorPos(&now);
  ASSERT_EQ(now.x, to.x);
  ASSERT_EQ(now.y, to.y);
}

TEST(CenterOnCursor, StaysInsideTheWorkArea) {
  const RECT area = current_work_area();
  const int width = rect_width(area), height = rect_height(area);
  struct Case {
    const char* name;
    POINT cursor;
    SIZE size;
    POINT expected;
  } const cases[] = {
      {"middle", {area.left + 500, area.top + 300}, {201, 101}, {area.left + 400, area.top + 250}},
      {"right and bottom edge",
       {area.right - 1, area.bottom - 1},
       {200, 100},
       {area.right - 200, area.bottom - 100}},
      {"left and top edge", {area.left, area.top}, {200, 100}, {area.left, area.top}},
      {"larger than the work area",
       {area.left + width / 2, area.top + height / 2},
       {width + 300, height + 200},
       {area.left, area.top}},
      {"larger, cursor at the far corner",
       {area.right - 1, area.bottom - 1},
       {width + 300, height + 200},
       {area.left, area.top}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedWindow window = make_window("STATIC", WS_POPUP, 0, 0, c.size.cx, c.size.cy);
    ASSERT_EQ(window_size(window).cx, c.size.cx);
    move_cursor(c.cursor);
    center_on_cursor(window);
    const POINT origin = window_origin(window);
    EXPECT_EQ(origin.x, c.expected.x);
    EXPECT_EQ(origin.y, c.expected.y);
    EXPECT_EQ(window_width(window), c.size.cx);
  }
}

TEST(CenterOnCursor, ChildIsPlacedInItsParentsClientCoordinates) {
  const RECT area = current_work_area();
  ScopedWindow parent =
      make_window("STATIC", WS_POPUP | WS_VISIBLE, area.left + 100, area.top + 50, 600, 500);
  ScopedWindow child = make_window("STATIC", WS_VISIBLE, 0, 0, 80, 40, parent, 10);
  move_cursor({area.left + 300, area.top + 200});
  center_on_cursor(child);
  const POINT origin = window_origin(child);  // screen coordinates
  EXPECT_EQ(origin.x, area.left + 260);
  EXPECT_EQ(origin.y, area.top + 180);
}

POINT origin_in_parent(HWND child) {
  POINT origin = window_origin(child);
  ScreenToClient(GetParent(child), &origin);
  return origin;
}

TEST(DeferredPositions, MoveAndSizeByDifferences) {
  ScopedWindow parent = make_window("STATIC", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300);
  ScopedWindow moved = make_window("STATIC", WS_VISIBLE, 10, 20, 50, 30, parent, 11);
  ScopedWindow sized = make_window("STATIC", WS_VISIBLE, 70, 20, 50, 30, parent, 12);
  // An owned popup is positioned in screen coordinates, though GetParent
  // answers its owner.
  ScopedWindow owned(CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 300, 200, 40, 40, parent,
                                     nullptr, GetModuleHandleA(nullptr), nullptr));
  HDWP batch = BeginDeferWindowPos(3);
  defer_move_by(batch, moved, 5, 7);
  defer_size_item_by(batch, parent, 12, 11, -3);
  defer_move_by(batch, owned, 10, -10);
  ASSERT_NE(batch, nullptr);
  ASSERT_TRUE(EndDeferWindowPos(batch));

  EXPECT_EQ(origin_in_parent(moved).x, 15);
  EXPECT_EQ(origin_in_parent(moved).y, 27);
  EXPECT_EQ(window_width(moved), 50);
  EXPECT_EQ(window_width(sized), 61);
  EXPECT_EQ(window_height(sized), 27);
  EXPECT_EQ(origin_in_parent(sized).x, 70);
  EXPECT_EQ(window_origin(owned).x, 310);
  EXPECT_EQ(window_origin(owned).y, 190);
}

}  // namespace
}  // namespace prismet
