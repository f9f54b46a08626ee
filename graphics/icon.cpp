#include "graphics/icon.h"

#include <algorithm>
#include <cstring>

#include "core/exceptions.h"
#include "graphics/graphconsts.h"

namespace tavelo {

namespace {

struct TIconEntry {
  int Width;
  int Height;
  int BitCount;
  std::uint32_t Size;
  std::uint32_t Offset;
};

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(SInvalidIcon); }

std::uint32_t Le(const std::vector<std::uint8_t>& data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | data[at + static_cast<std::size_t>(i)];
  return value;
}

// The directory of an icon file: none for type 0; for type 1 every entry, each inside the file.
std::vector<TIconEntry> ReadDirectory(const std::vector<std::uint8_t>& data) {
  if (data.size() < 6) InvalidIcon();
  std::uint32_t type = Le(data, 2, 2);
  if (type != 0 && type != 1) InvalidIcon();
  std::vector<TIconEntry> entries;
  if (type == 0) return entries;
  std::size_t count = Le(data, 4, 2);
  if (count == 0 || 6 + 16 * count > data.size()) InvalidIcon();
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t at = 6 + 16 * i;
    TIconEntry entry;
    entry.Width = data[at] ? data[at] : 256;
    entry.Height = data[at + 1] ? data[at + 1] : 256;
    entry.BitCount = static_cast<int>(Le(data, at + 6, 2));
    entry.Size = Le(data, at + 8, 4);
    entry.Offset = Le(data, at + 12, 4);
    if (entry.Offset > data.size() || entry.Size > data.size() - entry.Offset || entry.Size < 8) InvalidIcon();
    entries.push_back(entry);
  }
  return entries;
}

// The image of exactly that size with the most colours, else the largest.
const TIconEntry& ChooseEntry(const std::vector<TIconEntry>& entries, int width, int height) {
  const TIconEntry* best = nullptr;
  for (const TIconEntry& entry : entries)
    if (entry.Width == width && entry.Height == height && (!best || entry.BitCount > best->BitCount)) best = &entry;
  if (best) return *best;
  for (const TIconEntry& entry : entries) {
    if (!best || entry.Width * entry.Height > best->Width * best->Height ||
        (entry.Width * entry.Height == best->Width * best->Height && entry.BitCount > best->BitCount))
      best = &entry;
  }
  return *best;
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon file of one image made from a platform icon: its colour rows and table, then its mask.
std::vector<std::uint8_t> IconFileFromHandle(HICON icon) {
  ICONINFO info = {};
  if (!::GetIconInfo(icon, &info)) InvalidIcon();
  TBmpImage color;
  TBmpImage mask;
  try {
    mask = BmpFromHandle(info.hbmMask);
    if (info.hbmColor) {
      color = BmpFromHandle(info.hbmColor);
    } else {
      // A monochrome icon's mask is twice as high: the AND rows above the XOR rows. Both are
      // stored bottom-up, so the XOR rows come first.
      int height = mask.Height() / 2;
      std::size_t half = mask.Stride() * static_cast<std::size_t>(height);
      color = mask;
      color.Header.Height = height;
      color.Bits.resize(half);
      mask.Header.Height = height;
      mask.Bits.erase(mask.Bits.begin(), mask.Bits.begin() + static_cast<std::ptrdiff_t>(half));
    }
  } catch (...) {
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    throw;
  }
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);

  const int width = color.Width();
  const int height = color.Height();
  const int bitCount = color.Header.BitCount;
  const std::size_t colors = bitCount <= 8 ? BmpDefaultColorCount(bitCount) : 0;
  const std::size_t colorBytes = color.Stride() * static_cast<std::size_t>(height);
  const std::size_t maskBytes = mask.Stride() * static_cast<std::size_t>(height);
  const std::size_t imageSize = 40 + colors * 4 + colorBytes + maskBytes;

  std::vector<std::uint8_t> out;
  Put(out, 0, 2);
  Put(out, 1, 2);
  Put(out, 1, 2);
  out.push_back(static_cast<std::uint8_t>(width >= 256 ? 0 : width));
  out.push_back(static_cast<std::uint8_t>(height >= 256 ? 0 : height));
  out.push_back(static_cast<std::uint8_t>(bitCount < 8 ? colors : 0));
  out.push_back(0);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(bitCount), 2);
  Put(out, static_cast<std::uint32_t>(imageSize), 4);
  Put(out, 22, 4);
  Put(out, 40, 4);
  Put(out, static_cast<std::uint32_t>(width), 4);
  Put(out, static_cast<std::uint32_t>(2 * height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(bitCount), 2);
  Put(out, 0, 4);
  Put(out, static_cast<std::uint32_t>(colorBytes + maskBytes), 4);
  Put(out, 0, 16);
  for (std::size_t i = 0; i < colors; ++i) {
    TRgbQuad quad = i < color.Colors.size() ? color.Colors[i] : TRgbQuad();
    out.insert(out.end(), {quad.Blue, quad.Green, quad.Red, 0});
  }
  out.insert(out.end(), color.Bits.begin(), color.Bits.begin() + static_cast<std::ptrdiff_t>(colorBytes));
  out.insert(out.end(), mask.Bits.begin(), mask.Bits.begin() + static_cast<std::ptrdiff_t>(maskBytes));
  return out;
}

}  // namespace

// ---- TIconImage ----

TIconImage::~TIconImage() {
  if (Handle && !Stock) ::DestroyIcon(Handle);
}

// ---- TIcon ----

TAVELO_CLASS_IMPL(TIcon)

TIcon::TIcon() : image_(new TIconImage) { image_->Reference(); }

TIcon::~TIcon() { image_->Release(); }

void TIcon::NewImage(TIconImage* image) {
  image->Reference();
  TIconImage* old = image_;
  image_ = image;
  old->Release();
}

void TIcon::Assign(TPersistent* source) {
  if (!source || source->Is<TIcon>()) {
    auto* icon = static_cast<TIcon*>(source);
    if (icon == this) return;
    if (icon) {
      NewImage(icon->image_);
      requestedWidth_ = icon->requestedWidth_;
      requestedHeight_ = icon->requestedHeight_;
    } else {
      NewImage(new TIconImage);
    }
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

int TIcon::Width() const {
  if (image_->Handle) return image_->Width;
  if (requestedWidth_) return requestedWidth_;
  return Empty() ? 0 : ::GetSystemMetrics(SM_CXICON);
}

int TIcon::Height() const {
  if (image_->Handle) return image_->Height;
  if (requestedHeight_) return requestedHeight_;
  return Empty() ? 0 : ::GetSystemMetrics(SM_CYICON);
}

void TIcon::SetWidth(int value) {
  if (value == requestedWidth_) return;
  if (image_->Handle) throw EInvalidGraphicOperation(SChangeIconSize);
  requestedWidth_ = value;
}

void TIcon::SetHeight(int value) {
  if (value == requestedHeight_) return;
  if (image_->Handle) throw EInvalidGraphicOperation(SChangeIconSize);
  requestedHeight_ = value;
}

void TIcon::HandleNeeded() {
  if (image_->Handle || image_->Data.empty()) return;
  std::vector<TIconEntry> entries = ReadDirectory(image_->Data);
  int width = requestedWidth_ ? requestedWidth_ : ::GetSystemMetrics(SM_CXICON);
  int height = requestedHeight_ ? requestedHeight_ : ::GetSystemMetrics(SM_CYICON);
  if (entries.empty()) {
    image_->Handle = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    image_->Stock = true;
  } else {
    const TIconEntry& entry = ChooseEntry(entries, width, height);
    HICON handle = ::CreateIconFromResourceEx(image_->Data.data() + entry.Offset, entry.Size, TRUE, 0x00030000,
                                              width, height, LR_DEFAULTCOLOR);
    if (!handle) InvalidIcon();
    image_->Handle = handle;
  }
  image_->Width = width;
  image_->Height = height;
}

HICON TIcon::Handle() {
  HandleNeeded();
  return image_->Handle;
}

void TIcon::SetHandle(HICON value) {
  auto* image = new TIconImage;
  image->Handle = value;
  if (value) {
    ICONINFO info = {};
    if (::GetIconInfo(value, &info)) {
      BITMAP description = {};
      ::GetObjectA(info.hbmMask, sizeof description, &description);
      image->Width = description.bmWidth;
      image->Height = info.hbmColor ? description.bmHeight : description.bmHeight / 2;
      if (info.hbmColor) ::DeleteObject(info.hbmColor);
      if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
  }
  NewImage(image);
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HandleNeeded();
  HICON handle = image_->Handle;
  image_->Handle = nullptr;
  return handle;
}

void TIcon::LoadFromStream(TStream& stream) {
  std::int64_t left = std::max<std::int64_t>(stream.Size() - stream.Position(), 0);
  if (left > INT32_MAX) InvalidIcon();
  auto image = std::make_unique<TIconImage>();
  image->Data.resize(static_cast<std::size_t>(left));
  if (left > 0) stream.ReadBuffer(image->Data.data(), static_cast<std::int32_t>(left));
  ReadDirectory(image->Data);
  NewImage(image.release());
  Changed(this);
}

void TIcon::SaveToStream(TStream& stream) {
  std::vector<std::uint8_t> bytes;
  if (!image_->Data.empty()) bytes = image_->Data;
  else if (image_->Handle && image_->Stock) bytes.assign(6, 0);
  else if (image_->Handle) bytes = IconFileFromHandle(image_->Handle);
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

void TIcon::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) { throw EInvalidGraphic(SUnknownClipboardFormat); }

void TIcon::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) { throw EInvalidGraphic(SUnknownClipboardFormat); }

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  HandleNeeded();
  if (image_->Handle) ::DrawIconEx(canvas.handle_, rect.left, rect.top, image_->Handle, 0, 0, 0, nullptr, DI_NORMAL);
}

}  // namespace tavelo
