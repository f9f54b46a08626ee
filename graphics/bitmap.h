// TBitmap: a device-independent section read from and written to BMP data, shared between
// the bitmaps assigned from one another until one of them changes, drawn opaque or through a
// mask of its transparent colour.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphics/bmpformat.h"
#include "graphics/graphic.h"

namespace tavelo {

// An image record shared by the graphics assigned from one another; the last one to let go
// frees it.
class TSharedImage {
public:
  virtual ~TSharedImage() = default;
  TSharedImage(const TSharedImage&) = delete;
  TSharedImage& operator=(const TSharedImage&) = delete;
  void Reference() { ++refCount_; }
  void Release() {
    if (--refCount_ == 0) delete this;
  }
  int RefCount() const { return refCount_; }

protected:
  TSharedImage() = default;

private:
  int refCount_ = 0;
};

// The platform objects of one bitmap image and the description of its section.
class TBitmapImage : public TSharedImage {
public:
  TBitmapImage() = default;
  // Deletes the section, the mask and the palette.
  ~TBitmapImage() override;

  // The image without its platform objects: what reading a pixel needs.
  TBmpView View() const { return TBmpView{&Header, Masks, Colors, static_cast<const std::uint8_t*>(Bits)}; }

  HBITMAP Handle = nullptr;      // the section; none for an empty image
  void* Bits = nullptr;          // the section's rows
  HBITMAP MaskHandle = nullptr;  // monochrome, built for MaskColor
  TColor MaskColor = clNone;
  HPALETTE Palette = nullptr;
  TBmpInfoHeader Header;
  std::uint32_t Masks[3] = {};
  std::vector<TRgbQuad> Colors;
  std::vector<std::uint8_t> SaveStream;
  bool OldFormat = false;
};

enum TTransparentMode { tmAuto, tmFixed };
TAVELO_ENUM(TTransparentMode, tmAuto, tmFixed)

class TBitmapCanvas;

class TBitmap : public TGraphic {
  TAVELO_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  ~TBitmap() override;
  std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TBitmap>(); }

  // From a bitmap: shares its image. From null: becomes empty.
  void Assign(TPersistent* source) override;

  bool Empty() const override { return image_->Handle == nullptr; }
  int Width() const override { return image_->Header.Width; }
  void SetWidth(int value) override { SetSize(value, Height()); }
  int Height() const override { return image_->View().Height(); }
  void SetHeight(int value) override { SetSize(Width(), value); }
  // The common part is kept, new pixels are white; a size of 0 empties the bitmap.
  void SetSize(int width, int height);
  HPALETTE Palette() const override { return image_->Palette; }
  // Takes the palette; an indexed image takes its colours as its table.
  void SetPalette(HPALETTE value) override;

  // The canvas that draws into the bitmap; drawing first gives the bitmap an image of its own.
  TCanvas* Canvas();
  // The section. The caller may draw on it with the platform: the image becomes this
  // bitmap's own first, and the canvas lets go of it.
  HBITMAP Handle();
  // Takes any platform bitmap: its pixels become this bitmap's section and the handle given
  // is deleted.
  void SetHandle(HBITMAP value);
  // Gives the section away; the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  // The monochrome mask of the transparent colour: white where the bitmap is transparent.
  HBITMAP MaskHandle();
  int BitsPerPixel() const { return image_->Header.BitCount; }
  bool Monochrome() const { return image_->Header.BitCount == 1; }
  // Converts the image (white stays white, anything else turns black) or, when empty, chooses
  // the format of the image a size will make.
  void SetMonochrome(bool value);

  // The colour that drawing transparently leaves out, palette-relative: the one set, white
  // for a monochrome bitmap, else the bottom-left pixel's.
  TColor TransparentColor() const;
  // clDefault goes back to the automatic colour.
  void SetTransparentColor(TColor value);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);

  // All the bytes from the position to the end are one BMP file.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Only the platform's bitmap format (2); another raises EInvalidGraphic
  // SUnknownClipboardFormat. Saving hands out a copy and a palette the caller owns.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  // The image in portable form, and back (the asset tools and the tests speak it).
  TBmpImage ToBmpImage() const;
  void LoadFromBmpImage(const TBmpImage& image);

protected:
  void Changed(TObject* sender) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  // A 4-byte size, then a BMP file of that many bytes.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

private:
  friend class TBitmapCanvas;

  void ReadBitmap(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> WriteBitmap() const;
  // Makes this bitmap the only user of its image: a canvas context only ever holds an image
  // no other bitmap shares.
  void Unshare();
  // Makes this bitmap the only user of its image, before anything draws into it: the save
  // stream of a compressed image and the mask go.
  void Changing(TObject* sender);
  void CanvasChanged(TObject* sender);
  // Puts image in place of the current one, which is released.
  void NewImage(TBitmapImage* image);
  // The canvas lets go of the section.
  void FreeContext();
  void MaskHandleNeeded();

  TBitmapImage* image_;
  std::unique_ptr<TBitmapCanvas> canvas_;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  // The bit count of the image a size makes for an empty bitmap.
  int newBitCount_ = 32;
};

// The canvas of a bitmap: a memory context with the bitmap's section selected.
class TBitmapCanvas : public TCanvas {
  TAVELO_CLASS(TBitmapCanvas, TCanvas)
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  ~TBitmapCanvas() override;
  // Unbinds the context and deletes it; the next drawing makes another.
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* bitmap_;
  HDC context_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HPALETTE oldPalette_ = nullptr;
};

// The pixels and table of any platform bitmap (not selected into a context): indexed ones
// keep their bit count, the others become 32 bits per pixel.
TBmpImage BmpFromHandle(HBITMAP handle);

// An image in platform form: a section with the image's rows and table, and its palette when
// it has a table. Raises the platform's error, or SInvalidBitmap.
TBitmapImage* MakeBitmapImage(const TBmpImage& image);

}  // namespace tavelo
