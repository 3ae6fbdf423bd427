#include "app/program_icon_win32.h"

#include <gtest/gtest.h>

namespace prismet {
namespace {

// The pixel size of an icon, from its colour bitmap (or, for a monochrome
// icon, its mask, which holds two images one above the other).
SIZE icon_size(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return SIZE{0, 0};
  BITMAP bitmap{};
  GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  const SIZE size{bitmap.bmWidth, info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return size;
}

// The dialogs set both icons from here: a swap would put the large one in
// the caption and the small one in the task switcher.
TEST(ProgramIcon, LargeAndSmallComeInTheirSystemSizes) {
  struct Case {
    int selector;
    int width_metric;
    int height_metric;
  } const cases[] = {{0, SM_CXICON, SM_CYICON}, {1, SM_CXSMICON, SM_CYSMICON}};
  ASSERT_NE(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    HICON icon = program_icon(GetModuleHandleA(nullptr), c.selector);
    ASSERT_NE(icon, nullptr);
    const SIZE size = icon_size(icon);
    EXPECT_EQ(size.cx, GetSystemMetrics(c.width_metric));
    EXPECT_EQ(size.cy, GetSystemMetrics(c.height_metric));
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace prismet
