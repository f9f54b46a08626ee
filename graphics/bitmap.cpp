#include "graphics/bitmap.h"

#include <algorithm>
#include <cstring>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "graphics/graphconsts.h"

namespace tavelo {

namespace {

// A BITMAPINFO with room for a whole colour table or the three masks.
struct TBitmapInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

void FillInfo(TBitmapInfo& info, const TBmpInfoHeader& header, const std::uint32_t masks[3],
              std::span<const TRgbQuad> colors) {
  std::memset(&info, 0, sizeof info);
  info.Header.biSize = sizeof(BITMAPINFOHEADER);
  info.Header.biWidth = header.Width;
  info.Header.biHeight = header.Height;
  info.Header.biPlanes = 1;
  info.Header.biBitCount = header.BitCount;
  info.Header.biCompression = header.Compression;
  info.Header.biXPelsPerMeter = header.XPelsPerMeter;
  info.Header.biYPelsPerMeter = header.YPelsPerMeter;
  if (header.Compression == kBiBitFields) {
    std::memcpy(info.Colors, masks, 3 * sizeof(std::uint32_t));
  } else {
    std::size_t count = std::min<std::size_t>(colors.size(), 256);
    info.Header.biClrUsed = static_cast<DWORD>(count);
    std::memcpy(info.Colors, colors.data(), count * sizeof(RGBQUAD));
  }
}

HPALETTE MakePalette(std::span<const TRgbQuad> colors) {
  if (colors.empty()) return nullptr;
  struct {
    WORD Version;
    WORD Count;
    PALETTEENTRY Entries[256];
  } logPalette = {};
  logPalette.Version = 0x300;
  logPalette.Count = static_cast<WORD>(std::min<std::size_t>(colors.size(), 256));
  for (WORD i = 0; i < logPalette.Count; ++i)
    logPalette.Entries[i] = PALETTEENTRY{colors[i].Red, colors[i].Green, colors[i].Blue, 0};
  return ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&logPalette));
}

}  // namespace

TBmpImage BmpFromHandle(HBITMAP handle) {
  BITMAP description = {};
  if (!::GetObjectA(handle, sizeof description, &description) || description.bmWidth <= 0 ||
      description.bmHeight <= 0)
    throw EInvalidGraphic(SInvalidBitmap);
  int depth = description.bmBitsPixel * description.bmPlanes;
  TBmpImage image;
  image.Header.Width = description.bmWidth;
  image.Header.Height = description.bmHeight;
  image.Header.BitCount = static_cast<std::uint16_t>(depth == 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 32);
  std::size_t size = image.Stride() * static_cast<std::size_t>(image.Height());
  if (size > kMaxBmpSectionSize) throw EInvalidGraphic(SInvalidBitmap);
  image.Header.SizeImage = static_cast<std::uint32_t>(size);
  image.Bits.resize(size);
  TBitmapInfo info;
  FillInfo(info, image.Header, image.Masks, {});
  HDC screen = ::GetDC(nullptr);
  int lines = ::GetDIBits(screen, handle, 0, static_cast<UINT>(image.Height()), image.Bits.data(),
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (lines == 0) throw EInvalidGraphic(SInvalidBitmap);
  if (image.Header.BitCount <= 8) {
    image.Colors.resize(BmpDefaultColorCount(image.Header.BitCount));
    std::memcpy(image.Colors.data(), info.Colors, image.Colors.size() * sizeof(RGBQUAD));
  }
  return image;
}

namespace {

// Scoped memory context with a bitmap selected.
class TSelectedBitmap {
public:
  explicit TSelectedBitmap(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)) {
    if (!dc_) throw EOutOfResources(SOutOfResources);
    old_ = ::SelectObject(dc_, bitmap);
  }
  ~TSelectedBitmap() {
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  TSelectedBitmap(const TSelectedBitmap&) = delete;
  TSelectedBitmap& operator=(const TSelectedBitmap&) = delete;
  HDC Dc() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// Through a mask, at any size: the source where the mask is black (the mask's white bits keep
// the target).
void TransparentStretch(HDC target, const TRect& rect, HDC source, HBITMAP mask, int width, int height) {
  TSelectedBitmap maskDc(mask);
  HBITMAP combined = ::CreateCompatibleBitmap(source, width, height);
  if (!combined) throw EOutOfResources(SOutOfResources);
  {
    TSelectedBitmap memory(combined);
    // White where transparent, then the source ANDed with the mask's inverse: black there.
    ::BitBlt(memory.Dc(), 0, 0, width, height, maskDc.Dc(), 0, 0, SRCCOPY);
    ::BitBlt(memory.Dc(), 0, 0, width, height, source, 0, 0, SRCERASE);
    COLORREF oldText = ::SetTextColor(target, 0);
    COLORREF oldBack = ::SetBkColor(target, 0xFFFFFF);
    int dw = rect.right - rect.left;
    int dh = rect.bottom - rect.top;
    ::StretchBlt(target, rect.left, rect.top, dw, dh, maskDc.Dc(), 0, 0, width, height, SRCAND);
    ::StretchBlt(target, rect.left, rect.top, dw, dh, memory.Dc(), 0, 0, width, height, SRCINVERT);
    ::SetTextColor(target, oldText);
    ::SetBkColor(target, oldBack);
  }
  ::DeleteObject(combined);
}

}  // namespace

TBitmapImage* MakeBitmapImage(const TBmpImage& source) {
  auto image = std::make_unique<TBitmapImage>();
  image->Header = source.Header;
  std::copy(std::begin(source.Masks), std::end(source.Masks), image->Masks);
  image->Colors = source.Colors;
  image->SaveStream = source.SaveStream;
  image->OldFormat = source.OldFormat;
  if (!source.Empty()) {
    TBitmapInfo info;
    FillInfo(info, source.Header, source.Masks, source.Colors);
    void* bits = nullptr;
    ::SetLastError(0);
    HBITMAP handle =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle || !bits) {
      DWORD error = ::GetLastError();
      if (handle) ::DeleteObject(handle);
      if (error != 0) throw OSError(error);
      throw EInvalidGraphic(SInvalidBitmap);
    }
    image->Handle = handle;
    image->Bits = bits;
    std::size_t size = source.Stride() * static_cast<std::size_t>(source.Height());
    std::memcpy(bits, source.Bits.data(), std::min(size, source.Bits.size()));
    image->Palette = MakePalette(image->Colors);
  }
  return image.release();
}

// ---- TBitmapImage ----

TBitmapImage::~TBitmapImage() {
  if (Handle) ::DeleteObject(Handle);
  if (MaskHandle) ::DeleteObject(MaskHandle);
  if (Palette) ::DeleteObject(Palette);
}

// ---- TBitmap ----

TAVELO_CLASS_IMPL(TBitmap)

TBitmap::TBitmap() : image_(MakeBitmapImage(TBmpImage())) { image_->Reference(); }

TBitmap::~TBitmap() {
  canvas_.reset();
  image_->Release();
}

void TBitmap::Assign(TPersistent* source) {
  if (!source || source->Is<TBitmap>()) {
    auto* bitmap = static_cast<TBitmap*>(source);
    if (bitmap == this) return;
    if (bitmap) {
      bitmap->FreeContext();
      NewImage(bitmap->image_);
      transparentColor_ = bitmap->transparentColor_;
      transparentMode_ = bitmap->transparentMode_;
      newBitCount_ = bitmap->newBitCount_;
    } else {
      NewImage(MakeBitmapImage(TBmpImage()));
    }
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::NewImage(TBitmapImage* image) {
  FreeContext();
  image->Reference();
  TBitmapImage* old = image_;
  image_ = image;
  old->Release();
}

void TBitmap::FreeContext() {
  if (canvas_) canvas_->FreeContext();
}

void TBitmap::Unshare() {
  if (image_->RefCount() > 1) NewImage(MakeBitmapImage(ToBmpImage()));
}

void TBitmap::Changing(TObject*) {
  Unshare();
  image_->SaveStream.clear();
  if (image_->MaskHandle) {
    ::DeleteObject(image_->MaskHandle);
    image_->MaskHandle = nullptr;
  }
}

void TBitmap::Changed(TObject* sender) { TGraphic::Changed(sender); }

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TBitmapCanvas>(this);
    canvas_->SetOnChanging(TNotifyEvent::Bind<&TBitmap::Changing>(this));
    canvas_->SetOnChange(TNotifyEvent::Bind<&TBitmap::CanvasChanged>(this));
  }
  return canvas_.get();
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  Changing(this);
  return image_->Handle;
}

void TBitmap::SetHandle(HBITMAP value) {
  if (value && value == image_->Handle) return;
  if (!value) {
    NewImage(MakeBitmapImage(TBmpImage()));
    Changed(this);
    return;
  }
  TBmpImage image = BmpFromHandle(value);
  ::DeleteObject(value);
  LoadFromBmpImage(image);
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  Changing(this);
  HBITMAP handle = image_->Handle;
  image_->Handle = nullptr;
  image_->Bits = nullptr;
  return handle;
}

HBITMAP TBitmap::MaskHandle() {
  MaskHandleNeeded();
  return image_->MaskHandle;
}

void TBitmap::MaskHandleNeeded() {
  TColor color = TransparentColor();
  if (image_->MaskHandle && image_->MaskColor == color) return;
  if (image_->MaskHandle) {
    ::DeleteObject(image_->MaskHandle);
    image_->MaskHandle = nullptr;
  }
  if (Empty()) return;
  ::GdiFlush();
  const int width = Width();
  const int height = Height();
  // A monochrome bitmap's rows are padded to whole 16-bit words.
  std::vector<std::uint8_t> rows =
      color == clNone ? std::vector<std::uint8_t>(static_cast<std::size_t>((width + 15) / 16 * 2 * height), 0)
                      : BuildBmpMask(image_->View(), static_cast<std::uint32_t>(color) & 0xFFFFFF, 2);
  image_->MaskHandle = ::CreateBitmap(width, height, 1, 1, rows.data());
  if (!image_->MaskHandle) throw EOutOfResources(SOutOfResources);
  image_->MaskColor = color;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  TBmpImage next;
  if (Empty()) {
    next = NewBmp(width, height, newBitCount_);
  } else {
    ::GdiFlush();
    next = ResizeBmp(image_->View(), width, height);
    next.OldFormat = image_->OldFormat;
  }
  NewImage(MakeBitmapImage(next));
  Changed(this);
}

void TBitmap::SetMonochrome(bool value) {
  newBitCount_ = value ? 1 : 32;
  if (Empty() || value == Monochrome()) return;
  ::GdiFlush();
  NewImage(MakeBitmapImage(ConvertBmp(image_->View(), newBitCount_)));
  Changed(this);
}

void TBitmap::SetPalette(HPALETTE value) {
  if (value == image_->Palette) return;
  FreeContext();
  Changing(this);
  if (value && !Empty() && image_->Header.BitCount <= 8) {
    PALETTEENTRY entries[256] = {};
    UINT count = ::GetPaletteEntries(value, 0, static_cast<UINT>(BmpDefaultColorCount(image_->Header.BitCount)), entries);
    if (count > 0) {
      image_->Colors.resize(count);
      for (UINT i = 0; i < count; ++i) image_->Colors[i] = TRgbQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
      TSelectedBitmap selected(image_->Handle);
      ::SetDIBColorTable(selected.Dc(), 0, count, reinterpret_cast<const RGBQUAD*>(image_->Colors.data()));
      if (image_->Header.ClrUsed != 0) image_->Header.ClrUsed = count;
    }
  }
  if (image_->Palette) ::DeleteObject(image_->Palette);
  image_->Palette = value;
  Changed(this);
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return TColor(static_cast<std::int32_t>(ColorToRGB(transparentColor_) | 0x02000000));
  if (Monochrome()) return TColor(0x02FFFFFF);
  if (Empty()) return clNone;
  ::GdiFlush();
  return TColor(static_cast<std::int32_t>(image_->View().Pixel(0, Height() - 1) | 0x02000000));
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == transparentColor_) return;
  transparentColor_ = value;
  transparentMode_ = value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == transparentMode_) return;
  if (value == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(TransparentColor());
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  HDC target = canvas.handle_;
  // The bitmap's own context when its canvas has one (the section cannot be selected twice).
  std::unique_ptr<TSelectedBitmap> temporary;
  HDC source;
  if (canvas_ && canvas_->HandleAllocated()) {
    source = canvas_->handle_;
  } else {
    temporary = std::make_unique<TSelectedBitmap>(image_->Handle);
    source = temporary->Dc();
  }

  HPALETTE oldPalette = nullptr;
  if (image_->Palette) {
    oldPalette = ::SelectPalette(target, image_->Palette, TRUE);
    ::RealizePalette(target);
  }
  int targetBits = ::GetDeviceCaps(target, BITSPIXEL) * ::GetDeviceCaps(target, PLANES);
  int oldMode = 0;
  if (targetBits <= 8 && targetBits < BitsPerPixel()) {
    POINT origin = {};
    ::GetBrushOrgEx(target, &origin);
    oldMode = ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, origin.x, origin.y, nullptr);
  } else if (!Monochrome()) {
    oldMode = ::SetStretchBltMode(target, COLORONCOLOR);
  }

  const int width = Width();
  const int height = Height();
  const int dw = rect.right - rect.left;
  const int dh = rect.bottom - rect.top;
  if (Transparent()) {
    MaskHandleNeeded();
    // Where the mask is white the target stays; elsewhere the source is copied.
    if (dw == width && dh == height)
      ::MaskBlt(target, rect.left, rect.top, width, height, source, 0, 0, image_->MaskHandle, 0, 0,
                MAKEROP4(0x00AA0029, SRCCOPY));
    else
      TransparentStretch(target, rect, source, image_->MaskHandle, width, height);
  } else {
    ::StretchBlt(target, rect.left, rect.top, dw, dh, source, 0, 0, width, height, canvas.CopyMode());
  }

  if (oldMode) ::SetStretchBltMode(target, oldMode);
  if (oldPalette) ::SelectPalette(target, oldPalette, TRUE);
}

void TBitmap::ReadBitmap(std::span<const std::uint8_t> bytes) {
  TBmpImage image = ReadBmp(bytes);
  NewImage(MakeBitmapImage(image));
  Changed(this);
}

std::vector<std::uint8_t> TBitmap::WriteBitmap() const {
  if (!image_->SaveStream.empty()) return image_->SaveStream;
  return WriteBmp(ToBmpImage());
}

TBmpImage TBitmap::ToBmpImage() const {
  TBmpImage image;
  image.Header = image_->Header;
  std::copy(std::begin(image_->Masks), std::end(image_->Masks), image.Masks);
  image.Colors = image_->Colors;
  image.OldFormat = image_->OldFormat;
  image.SaveStream = image_->SaveStream;
  if (image_->Handle) {
    ::GdiFlush();
    const auto* bits = static_cast<const std::uint8_t*>(image_->Bits);
    image.Bits.assign(bits, bits + image.Stride() * static_cast<std::size_t>(image.Height()));
  }
  return image;
}

void TBitmap::LoadFromBmpImage(const TBmpImage& image) {
  NewImage(MakeBitmapImage(image));
  Changed(this);
}

void TBitmap::ReadData(TStream& stream) {
  std::int32_t size = 0;
  stream.ReadBuffer(&size, sizeof size);
  if (size < 0 || size > stream.Size() - stream.Position()) throw EReadError(SReadError);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0) stream.ReadBuffer(bytes.data(), size);
  ReadBitmap(bytes);
}

void TBitmap::WriteData(TStream& stream) {
  std::vector<std::uint8_t> bytes = WriteBitmap();
  auto size = static_cast<std::int32_t>(bytes.size());
  stream.WriteBuffer(&size, sizeof size);
  if (size > 0) stream.WriteBuffer(bytes.data(), size);
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::int64_t left = stream.Size() - stream.Position();
  if (left > INT32_MAX) throw EInvalidGraphic(SInvalidBitmap);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(left, 0)));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  ReadBitmap(bytes);
}

void TBitmap::SaveToStream(TStream& stream) {
  std::vector<std::uint8_t> bytes = WriteBitmap();
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE) {
  if (format != CF_BITMAP || !data) throw EInvalidGraphic(SUnknownClipboardFormat);
  LoadFromBmpImage(BmpFromHandle(static_cast<HBITMAP>(data)));
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  TBmpImage image = ToBmpImage();
  image.SaveStream.clear();
  std::unique_ptr<TBitmapImage> copy(MakeBitmapImage(image));
  format = CF_BITMAP;
  data = copy->Handle;
  palette = copy->Palette;
  copy->Handle = nullptr;
  copy->Palette = nullptr;
}

// ---- TBitmapCanvas ----

TAVELO_CLASS_IMPL(TBitmapCanvas)

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  bitmap_->Unshare();
  HDC context = ::CreateCompatibleDC(nullptr);
  if (!context) throw EOutOfResources(SOutOfResources);
  TBitmapImage* image = bitmap_->image_;
  if (image->Handle) oldBitmap_ = ::SelectObject(context, image->Handle);
  if (image->Palette) {
    oldPalette_ = ::SelectPalette(context, image->Palette, TRUE);
    ::RealizePalette(context);
  }
  context_ = context;
  SetHandle(context);
}

void TBitmapCanvas::FreeContext() {
  if (!context_) return;
  SetHandle(nullptr);
  if (oldBitmap_) ::SelectObject(context_, oldBitmap_);
  if (oldPalette_) ::SelectPalette(context_, oldPalette_, TRUE);
  ::DeleteDC(context_);
  context_ = nullptr;
  oldBitmap_ = nullptr;
  oldPalette_ = nullptr;
}

}  // namespace tavelo
