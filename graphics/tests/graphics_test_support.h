// Helpers of the Windows-side graphics tests: a drawing surface whose pixels can be read from
// memory, and the process's count of GDI objects.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tavelo::testing {

inline bool IsLiveObject(HGDIOBJ object) { return object && ::GetObjectType(object) != 0; }

// The process's GDI objects: the platform's own count where it keeps one. Wine answers 0 but
// finds an object by its table index alone, so there the table is walked.
inline int GdiObjectCount() {
  DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return static_cast<int>(counted);
  int live = 0;
  for (std::uintptr_t index = 1; index < 0x10000; ++index)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
  return live;
}

// The drawing tools (pens, brushes, fonts, bitmaps, palettes), leaving out window contexts and
// regions, which the platform may keep in its own cache between uses. Where the platform
// keeps a count (Windows) this is its whole count.
inline int GdiToolCount() {
  DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return static_cast<int>(counted);
  int live = 0;
  for (std::uintptr_t index = 1; index < 0x10000; ++index) {
    DWORD type = ::GetObjectType(reinterpret_cast<HGDIOBJ>(index));
    if (type != 0 && type != OBJ_DC && type != OBJ_REGION) ++live;
  }
  return live;
}

// A 32-bit top-down section selected into a memory context.
class TSurface {
public:
  TSurface(int width, int height) : width_(width) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~TSurface() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  HDC Dc() const { return dc_; }
  // The pixel as a colour, 0x00BBGGRR.
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    std::uint32_t v = bits_[y * width_ + x];
    return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
  }
  void Fill(COLORREF color) {
    ::GdiFlush();
    std::uint32_t v = ((color >> 16) & 0xFF) | (color & 0xFF00) | ((color & 0xFF) << 16);
    BITMAP bm = {};
    ::GetObjectA(bitmap_, sizeof bm, &bm);
    for (int i = 0; i < bm.bmWidth * bm.bmHeight; ++i) bits_[i] = v;
  }

private:
  int width_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace tavelo::testing
