// The program's own icon and cursors, as the platform loads them from the resources.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct TIconShape {
  bool icon;
  DWORD hotX, hotY;
  LONG width;
};

TIconShape Shape(HICON icon) {
  ICONINFO info = {};
  EXPECT_TRUE(::GetIconInfo(icon, &info));
  BITMAP bitmap = {};
  ::GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  return {info.fIcon != FALSE, info.xHotspot, info.yHotspot, bitmap.bmWidth};
}

TEST(ProgramResources, TheMainIconLoadsAtEachOfItsSizes) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(::LoadImageA(module, "MAINICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    TIconShape shape = Shape(icon);
    EXPECT_TRUE(shape.icon);
    EXPECT_EQ(shape.width, size);
    ::DestroyIcon(icon);
  }
}

TEST(ProgramResources, TheSevenCursorsLoadWithTheirHotSpots) {
  const struct {
    int id;
    DWORD x, y;
  } kCursors[] = {{32761, 5, 0}, {32762, 8, 10}, {32763, 0, 0}, {32764, 15, 15},
                  {32765, 15, 15}, {32766, 0, 0}, {32767, 0, 0}};
  HMODULE module = ::GetModuleHandleA(nullptr);
  for (const auto& c : kCursors) {
    HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(c.id));
    ASSERT_NE(cursor, nullptr) << c.id;
    TIconShape shape = Shape(cursor);
    EXPECT_FALSE(shape.icon) << c.id;
    EXPECT_EQ(shape.hotX, c.x) << c.id;
    EXPECT_EQ(shape.hotY, c.y) << c.id;
  }
}

}  // namespace
