// BMP files without the platform: reading with every check that untrusted bytes need,
// decoding compressed rows, the colour of any pixel, transparency masks, and writing back.
// The win32 bitmap makes its section from what is read here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavelo {

inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitFields = 3;

// Larger sections are refused as incorrect images: no picture of this program comes near.
inline constexpr std::size_t kMaxBmpSectionSize = std::size_t{256} << 20;

// The 40-byte information header, field by field.
struct TBmpInfoHeader {
  std::uint32_t Size = 40;
  std::int32_t Width = 0;
  // Negative: the rows are stored top-down.
  std::int32_t Height = 0;
  std::uint16_t Planes = 1;
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = kBiRgb;
  std::uint32_t SizeImage = 0;
  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;
  std::uint32_t ClrUsed = 0;
  std::uint32_t ClrImportant = 0;
};

// A colour-table entry, in the platform's byte order.
struct TRgbQuad {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;
  bool operator==(const TRgbQuad&) const = default;
};

// The rows of an image wherever they are kept (in a TBmpImage, in a section's memory), with
// what reading a pixel needs.
struct TBmpView {
  const TBmpInfoHeader* Header = nullptr;
  const std::uint32_t* Masks = nullptr;
  std::span<const TRgbQuad> Colors;
  const std::uint8_t* Bits = nullptr;

  bool Empty() const { return !Header || Header->Width <= 0 || Header->Height == 0; }
  int Width() const { return Header->Width; }
  int Height() const { return Header->Height < 0 ? -Header->Height : Header->Height; }
  bool TopDown() const { return Header->Height < 0; }
  std::size_t Stride() const;
  // The first byte of a row counted from the top.
  const std::uint8_t* Row(int y) const;
  // The colour of the pixel at (x, y) from the top-left corner, as 0x00BBGGRR.
  std::uint32_t Pixel(int x, int y) const;
};

// An image as a bitmap keeps it: the description of its section, the colour table and the
// rows, uncompressed.
struct TBmpImage {
  // Compression is kBiRgb or kBiBitFields: compressed rows are decoded on reading.
  TBmpInfoHeader Header;
  // Red, green and blue masks of a bit-field image.
  std::uint32_t Masks[3] = {};
  std::vector<TRgbQuad> Colors;
  // |Height| rows of Stride() bytes: bottom-up, unless Height is negative.
  std::vector<std::uint8_t> Bits;
  // Read with the 12-byte header: written back the same way.
  bool OldFormat = false;
  // A compressed image's file as read: written back unchanged until the image changes.
  std::vector<std::uint8_t> SaveStream;

  TBmpView View() const { return TBmpView{&Header, Masks, Colors, Bits.data()}; }
  bool Empty() const { return View().Empty(); }
  int Width() const { return Header.Width; }
  int Height() const { return View().Height(); }
  bool TopDown() const { return Header.Height < 0; }
  std::size_t Stride() const { return View().Stride(); }
  std::uint32_t Pixel(int x, int y) const { return View().Pixel(x, y); }
};

// The bytes of one row of that width: rounded up to a multiple of 4.
std::size_t BmpStride(std::int64_t width, int bitCount);
// The colour-table size a header of that bit count implies when it names none.
std::size_t BmpDefaultColorCount(int bitCount);

// Reads a BMP file. No bytes give an empty image; anything that is not a correct BMP raises
// EInvalidGraphic SInvalidBitmap.
TBmpImage ReadBmp(std::span<const std::uint8_t> data);
// Only the headers, checked as ReadBmp checks them: the section's size is known before any
// pixel is decoded.
TBmpInfoHeader ReadBmpHeader(std::span<const std::uint8_t> data);

// The BMP file of an image: its save stream when it has one, else rebuilt from the section.
// An empty image gives no bytes.
std::vector<std::uint8_t> WriteBmp(const TBmpImage& image);

// A monochrome mask of the image: rows from the top, each padded to a multiple of rowAlign
// bytes, a 1 bit where the pixel has the colour (0x00BBGGRR; compared at the image's own
// precision) and 0 elsewhere.
std::vector<std::uint8_t> BuildBmpMask(const TBmpView& image, std::uint32_t color, int rowAlign);

// A new image filled with white, bottom-up: 1 bit per pixel with a black and white table, or
// 16 (5-5-5), 24 or 32 bits per pixel.
TBmpImage NewBmp(int width, int height, int bitCount);
// The image at another size, its format and row order kept: the common part is copied, the
// rest is white (the table's brightest entry for indexed images).
TBmpImage ResizeBmp(const TBmpView& image, int width, int height);
// The image with 1 bit per pixel (white stays white, any other colour becomes black) or 32.
TBmpImage ConvertBmp(const TBmpView& image, int bitCount);

}  // namespace tavelo
