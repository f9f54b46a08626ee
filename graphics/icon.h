// TIcon: an icon file kept as read, whose platform icon is made for the size asked when it is
// first needed; always drawn transparently, at its own size.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/bitmap.h"

namespace tavelo {

class TIconImage : public TSharedImage {
public:
  TIconImage() = default;
  // Destroys the icon, unless it is the system's own.
  ~TIconImage() override;

  HICON Handle = nullptr;
  bool Stock = false;
  // The icon file, when the icon was read from one.
  std::vector<std::uint8_t> Data;
  int Width = 0;
  int Height = 0;
};

class TIcon : public TGraphic {
  TAVELO_CLASS(TIcon, TGraphic)
public:
  TIcon();
  ~TIcon() override;
  std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TIcon>(); }

  // From an icon: shares its image. From null: becomes empty.
  void Assign(TPersistent* source) override;

  bool Empty() const override { return !image_->Handle && image_->Data.empty(); }
  // The size asked for, or the icon's.
  int Width() const override;
  int Height() const override;
  // Only before the icon has a handle: then EInvalidGraphicOperation SChangeIconSize.
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}

  // The platform icon, made from the file on first request: type 0 is the system's
  // application icon, type 1 the image of the file that best fits the size asked (the
  // system's icon size when none was).
  HICON Handle();
  // Takes the icon, which the image then owns.
  void SetHandle(HICON value);
  HICON ReleaseHandle();

  // The rest of the stream is an icon file: its directory's type must be 0 or 1, and its
  // entries must lie inside it, else EInvalidGraphic SInvalidIcon.
  void LoadFromStream(TStream& stream) override;
  // The file as read; made from the handle for an icon that was set by handle (a stock icon
  // is a 6-byte zero header).
  void SaveToStream(TStream& stream) override;
  // Icons have no clipboard format: EInvalidGraphic SUnknownClipboardFormat.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  void HandleNeeded();
  void NewImage(TIconImage* image);

  TIconImage* image_;
  int requestedWidth_ = 0;
  int requestedHeight_ = 0;
};

}  // namespace tavelo
