#include "graphics/imagelistdata.h"

#include "core/exceptions.h"
#include "graphics/graphconsts.h"

namespace tavelo {

namespace {

[[noreturn]] void Fail() { throw EReadError(SImageReadFail); }

std::uint32_t U16(std::span<const std::uint8_t> d, std::size_t at) { return d[at] | d[at + 1] << 8; }
std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) { return U16(d, at) | U16(d, at + 2) << 16; }

std::size_t Stride(std::size_t width, int bits) { return (width * static_cast<std::size_t>(bits) + 31) / 32 * 4; }

bool ValidBitCount(std::uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// A BMP file as the platform's image-list stream holds it: a 40-byte header, uncompressed
// (or bit fields), a whole colour table, the pixels where the file header says.
TBmpExtent CheckStreamBmp(std::span<const std::uint8_t> d, std::size_t at) {
  if (d.size() - at < 14 + 40 || d[at] != 'B' || d[at + 1] != 'M') Fail();
  std::size_t info = at + 14;
  std::uint32_t headerSize = U32(d, info), compression = U32(d, info + 16), colorsUsed = U32(d, info + 32);
  std::int32_t width = static_cast<std::int32_t>(U32(d, info + 4)), height = static_cast<std::int32_t>(U32(d, info + 8));
  std::uint32_t planes = U16(d, info + 12), bits = U16(d, info + 14);
  if (headerSize != 40 || planes != 1 || !ValidBitCount(bits) || width <= 0 || width > 0xFFFF || height == 0 ||
      height < -0xFFFF || height > 0xFFFF)
    Fail();
  std::size_t masks = 0;
  if (compression == 3 && (bits == 16 || bits == 32)) masks = 12;
  else if (compression != 0) Fail();
  std::size_t colors = 0;
  if (bits <= 8) {
    if (colorsUsed != 0 && colorsUsed != (1u << bits)) Fail();
    colors = std::size_t{1} << bits;
  } else if (colorsUsed != 0) {
    Fail();
  }
  std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
  std::size_t pixels = Stride(static_cast<std::size_t>(width), static_cast<int>(bits)) * rows;
  std::uint32_t imageSize = U32(d, info + 20);
  if (imageSize != 0 && imageSize != pixels) Fail();
  std::size_t offset = 14 + 40 + masks + 4 * colors;
  if (U32(d, at + 10) != offset || d.size() - at < offset || d.size() - at - offset < pixels) Fail();
  return {at, offset + pixels, width, static_cast<int>(rows), static_cast<int>(bits)};
}

// The dimensions of a BMP file of the older layout, with either header; the bitmap reader
// checks the rest when it decodes the file.
TBmpExtent PeekBmp(std::span<const std::uint8_t> d, std::size_t at, std::size_t size) {
  if (size < 14 + 12 || d[at] != 'B' || d[at + 1] != 'M') Fail();
  std::size_t info = at + 14;
  std::uint32_t headerSize = U32(d, info);
  int width, height, bits;
  if (headerSize == 12) {
    width = static_cast<int>(U16(d, info + 4));
    height = static_cast<int>(U16(d, info + 6));
    bits = static_cast<int>(U16(d, info + 10));
  } else {
    if (headerSize < 40 || size - 14 < headerSize) Fail();
    std::int32_t h = static_cast<std::int32_t>(U32(d, info + 8));
    width = static_cast<std::int32_t>(U32(d, info + 4));
    if (h < -0xFFFF || h > 0xFFFF || width < 0 || width > 0xFFFF) Fail();
    height = h < 0 ? -h : h;
    bits = static_cast<int>(U16(d, info + 14));
  }
  return {at, size, width, height, bits};
}

}  // namespace

bool IsImageListStream(std::span<const std::uint8_t> data) {
  return data.size() >= 8 && U32(data, 0) != U32(data, 4) && data[0] == 'I' && data[1] == 'L';
}

TImageListHeader ReadImageListHeader(std::span<const std::uint8_t> data) {
  if (data.size() < kImageListHeaderSize) Fail();
  TImageListHeader h;
  h.Magic = static_cast<std::uint16_t>(U16(data, 0));
  h.Version = static_cast<std::uint16_t>(U16(data, 2));
  h.Count = static_cast<std::uint16_t>(U16(data, 4));
  h.Capacity = static_cast<std::uint16_t>(U16(data, 6));
  h.Growth = static_cast<std::uint16_t>(U16(data, 8));
  h.Width = static_cast<std::uint16_t>(U16(data, 10));
  h.Height = static_cast<std::uint16_t>(U16(data, 12));
  h.BkColor = U32(data, 14);
  h.Flags = static_cast<std::uint16_t>(U16(data, 18));
  for (int i = 0; i < 4; ++i) h.Overlays[i] = static_cast<std::int16_t>(U16(data, 20 + 2 * static_cast<std::size_t>(i)));
  return h;
}

TImageListPayload CheckImageListPayload(std::span<const std::uint8_t> data, int width, int height) {
  TImageListPayload p;
  if (IsImageListStream(data)) {
    p.Header = ReadImageListHeader(data);
    const TImageListHeader& h = p.Header;
    if (h.Magic != 0x4C49 || h.Version != 0x0101 || h.Width < 1 || h.Height < 1 || h.Count > h.Capacity ||
        h.Capacity > 0x7FFF)
      Fail();
    p.Count = h.Count;
    p.Image = CheckStreamBmp(data, kImageListHeaderSize);
    // The capacity's cells, four to a row, fill the picture.
    std::size_t rows = (static_cast<std::size_t>(h.Capacity) + kImageListColumns - 1) / kImageListColumns;
    if (static_cast<std::size_t>(p.Image.Width) != std::size_t{kImageListColumns} * h.Width ||
        static_cast<std::size_t>(p.Image.Height) != rows * h.Height)
      Fail();
    p.Size = kImageListHeaderSize + p.Image.Size;
    if (h.Flags & kImageListMasked) {
      p.Mask = CheckStreamBmp(data, p.Size);
      if (p.Mask.Width != p.Image.Width || p.Mask.Height != p.Image.Height) Fail();
      p.Size += p.Mask.Size;
    }
    return p;
  }
  p.Form = TImageListPayload::TwoBitmaps;
  if (data.size() < 8 || width < 1 || height < 1) Fail();
  std::uint32_t imageSize = U32(data, 0);
  std::int32_t count = static_cast<std::int32_t>(U32(data, 4));
  if (count < 0 || imageSize > data.size() - 8) Fail();
  p.Count = count;
  p.Image = PeekBmp(data, 8, imageSize);
  std::size_t maskAt = 8 + std::size_t{imageSize};
  p.Mask = PeekBmp(data, maskAt, data.size() - maskAt);
  p.Size = data.size();
  // Whole cells, row by row: the count must fit the image's, and the mask cover the rows used.
  std::int64_t columns = p.Image.Width / width, rows = p.Image.Height / height;
  if (count > columns * rows) Fail();
  if (count > 0 && (p.Mask.Width < columns * width || p.Mask.Height < (count + columns - 1) / columns * height)) Fail();
  return p;
}

}  // namespace tavelo
