// The program's own icon, cursors and form descriptions, as the platform loads them from the
// resources.
#include <windows.h>

#include <string>

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

// The size of a form description, 0 when absent; its first bytes in head.
DWORD FormResource(HMODULE module, const char* name, std::string& head) {
  HRSRC resource = ::FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RCDATA
  if (!resource) return 0;
  DWORD size = ::SizeofResource(module, resource);
  const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
  head = bytes ? std::string(bytes, size < 32 ? size : 32) : std::string();
  return size;
}

TEST(ProgramResources, TheSplashAndAboutDescriptionsAreEmbeddedWithTheirSizes) {
  HMODULE program = ::LoadLibraryExA(TAVELO_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << TAVELO_PROGRAM << " " << ::GetLastError();
  for (HMODULE module : {program, ::GetModuleHandleA(nullptr)}) {
    std::string head;
    EXPECT_EQ(FormResource(module, "TFORM2", head), 12642u);
    EXPECT_EQ(head.substr(0, 17), "TPF0\x06TForm2\x05" "Form2");
    EXPECT_EQ(FormResource(module, "TABOUTBOX", head), 12988u);
    EXPECT_EQ(head.substr(0, 23), "TPF0\x09TAboutBox\x08" "AboutBox");
    // Resource names compare without case, as class names do.
    EXPECT_EQ(FormResource(module, "TForm2", head), 12642u);
  }
  ::FreeLibrary(program);
}

}  // namespace
