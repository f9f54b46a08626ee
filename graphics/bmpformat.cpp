#include "graphics/bmpformat.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "core/exceptions.h"
#include "graphics/graphconsts.h"

namespace tavelo {

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kOldHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;
// A header this long carries the bit-field masks inside it.
constexpr std::size_t kMasksInHeaderSize = 52;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(SInvalidBitmap); }

// Little-endian reads that never pass the end: a short read is an incorrect image.
class TByteReader {
public:
  explicit TByteReader(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t Left() const { return data_.size() - pos_; }
  std::size_t Position() const { return pos_; }
  const std::uint8_t* Here() const { return data_.data() + pos_; }
  void Skip(std::size_t count) {
    if (count > Left()) InvalidBitmap();
    pos_ += count;
  }
  std::uint16_t U16() {
    if (Left() < 2) InvalidBitmap();
    std::uint16_t value = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return value;
  }
  std::uint32_t U32() {
    if (Left() < 4) InvalidBitmap();
    std::uint32_t value = static_cast<std::uint32_t>(data_[pos_]) | static_cast<std::uint32_t>(data_[pos_ + 1]) << 8 |
                          static_cast<std::uint32_t>(data_[pos_ + 2]) << 16 |
                          static_cast<std::uint32_t>(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

class TByteWriter {
public:
  explicit TByteWriter(std::size_t capacity) { bytes_.reserve(capacity); }
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  void Bytes(const std::uint8_t* data, std::size_t count) { bytes_.insert(bytes_.end(), data, data + count); }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
  std::vector<std::uint8_t> bytes_;
};

struct THeaders {
  TBmpInfoHeader header;
  bool oldFormat = false;
  bool masksInHeader = false;
  std::uint32_t masks[3] = {};
};

// The file header and the information header, checked; the reader stops after them.
THeaders ReadHeaders(TByteReader& reader) {
  if (reader.Left() < kFileHeaderSize) InvalidBitmap();
  if (reader.U16() != kBmpSignature) InvalidBitmap();
  reader.Skip(kFileHeaderSize - 2);

  THeaders result;
  TBmpInfoHeader& header = result.header;
  std::uint32_t headerSize = reader.U32();
  if (headerSize == kOldHeaderSize) {
    header.Width = reader.U16();
    header.Height = reader.U16();
    header.Planes = reader.U16();
    header.BitCount = reader.U16();
    result.oldFormat = true;
  } else {
    // Later, longer headers begin with the same 40 bytes; the rest is skipped.
    if (headerSize < kInfoHeaderSize || headerSize - 4 > reader.Left()) InvalidBitmap();
    std::size_t start = reader.Position() - 4;
    header.Width = reader.I32();
    header.Height = reader.I32();
    header.Planes = reader.U16();
    header.BitCount = reader.U16();
    header.Compression = reader.U32();
    header.SizeImage = reader.U32();
    header.XPelsPerMeter = reader.I32();
    header.YPelsPerMeter = reader.I32();
    header.ClrUsed = reader.U32();
    header.ClrImportant = reader.U32();
    if (headerSize >= kMasksInHeaderSize) {
      for (std::uint32_t& mask : result.masks) mask = reader.U32();
      result.masksInHeader = true;
    }
    reader.Skip(start + headerSize - reader.Position());
  }
  header.Size = kInfoHeaderSize;

  if (header.Planes != 1) InvalidBitmap();
  switch (header.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: InvalidBitmap();
  }
  switch (header.Compression) {
    case kBiRgb: break;
    case kBiBitFields:
      if (header.BitCount != 16 && header.BitCount != 32) InvalidBitmap();
      break;
    // Compressed rows run bottom-up only.
    case kBiRle8:
      if (header.BitCount != 8 || header.Height < 0) InvalidBitmap();
      break;
    case kBiRle4:
      if (header.BitCount != 4 || header.Height < 0) InvalidBitmap();
      break;
    default: InvalidBitmap();
  }
  if (header.Width <= 0 || header.Height == 0 || header.Height == INT_MIN) InvalidBitmap();
  std::int64_t rows = header.Height < 0 ? -static_cast<std::int64_t>(header.Height) : header.Height;
  std::size_t stride = BmpStride(header.Width, header.BitCount);
  if (stride > kMaxBmpSectionSize || static_cast<std::size_t>(rows) > kMaxBmpSectionSize / stride) InvalidBitmap();
  return result;
}

// Runs of RLE8 or RLE4 data into bottom-up rows; whatever falls outside the image is dropped
// and the data may end anywhere.
void DecodeRle(std::span<const std::uint8_t> source, bool fourBits, TBmpImage& image) {
  const int width = image.Width();
  const int height = image.Height();
  const std::size_t stride = image.Stride();
  std::uint8_t* bits = image.Bits.data();
  int x = 0;
  int y = 0;
  auto put = [&](int px, std::uint8_t value) {
    if (px >= width || y >= height) return;
    std::uint8_t* row = bits + static_cast<std::size_t>(y) * stride;
    if (fourBits) {
      std::uint8_t& byte = row[px >> 1];
      byte = (px & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | value) : static_cast<std::uint8_t>((byte & 0x0F) | value << 4);
    } else {
      row[px] = value;
    }
  };
  std::size_t i = 0;
  const std::size_t size = source.size();
  while (i + 1 < size && y < height) {
    int count = source[i];
    std::uint8_t code = source[i + 1];
    i += 2;
    if (count > 0) {
      int drawn = std::min(count, width - x);
      for (int k = 0; k < drawn; ++k)
        put(x + k, fourBits ? static_cast<std::uint8_t>((k & 1) ? code & 0x0F : code >> 4) : code);
      x = std::min(x + count, width);
    } else if (code == 0) {
      x = 0;
      ++y;
    } else if (code == 1) {
      break;
    } else if (code == 2) {
      if (i + 1 >= size) break;
      x = std::min(x + source[i], width);
      y += source[i + 1];
      i += 2;
    } else {
      int pixels = code;
      std::size_t bytes = fourBits ? (static_cast<std::size_t>(pixels) + 1) / 2 : static_cast<std::size_t>(pixels);
      for (int k = 0; k < pixels && x + k < width; ++k) {
        std::size_t at = i + (fourBits ? static_cast<std::size_t>(k) / 2 : static_cast<std::size_t>(k));
        if (at >= size) break;
        std::uint8_t byte = source[at];
        put(x + k, fourBits ? static_cast<std::uint8_t>((k & 1) ? byte & 0x0F : byte >> 4) : byte);
      }
      x = std::min(x + pixels, width);
      // Absolute runs are padded to a whole word.
      i = std::min(size, i + bytes + (bytes & 1));
    }
  }
}

// A bit field scaled to 8 bits, its high bits repeated into the low ones.
std::uint32_t FieldValue(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  std::uint32_t field = mask >> shift;
  int length = std::bit_width(field);
  std::uint32_t value = (pixel >> shift) & field;
  if (length >= 8) return value >> (length - 8);
  std::uint32_t result = 0;
  int filled = 0;
  while (filled < 8) {
    int place = 8 - filled - length;
    result |= place >= 0 ? value << place : value >> -place;
    filled += length;
  }
  return result & 0xFF;
}

// A field reduced to at most 8 bits, for comparisons at the image's precision.
std::uint32_t FieldBits(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  std::uint32_t field = mask >> shift;
  int length = std::bit_width(field);
  std::uint32_t value = (pixel >> shift) & field;
  return length > 8 ? value >> (length - 8) : value;
}

int FieldLength(std::uint32_t mask) { return mask == 0 ? 0 : std::bit_width(mask >> std::countr_zero(mask)); }

const std::uint32_t k555Masks[3] = {0x7C00, 0x03E0, 0x001F};
const std::uint32_t k888Masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};

const std::uint32_t* DirectMasks(const TBmpView& image) {
  if (image.Header->Compression == kBiBitFields) return image.Masks;
  return image.Header->BitCount == 16 ? k555Masks : k888Masks;
}

std::uint32_t RawPixel(const TBmpView& image, int x, int y) {
  const std::uint8_t* row = image.Row(y);
  switch (image.Header->BitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 8: return row[x];
    case 16: return static_cast<std::uint32_t>(row[2 * x] | row[2 * x + 1] << 8);
    case 24: return static_cast<std::uint32_t>(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
    default:
      return static_cast<std::uint32_t>(row[4 * x]) | static_cast<std::uint32_t>(row[4 * x + 1]) << 8 |
             static_cast<std::uint32_t>(row[4 * x + 2]) << 16 | static_cast<std::uint32_t>(row[4 * x + 3]) << 24;
  }
}

std::uint32_t ColorOf(const TRgbQuad& quad) {
  return static_cast<std::uint32_t>(quad.Red) | static_cast<std::uint32_t>(quad.Green) << 8 |
         static_cast<std::uint32_t>(quad.Blue) << 16;
}

void SetRawPixel(std::uint8_t* row, int bitCount, int x, std::uint32_t value) {
  switch (bitCount) {
    case 1: {
      std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<std::uint8_t>(value & 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4:
      row[x >> 1] = static_cast<std::uint8_t>((x & 1) ? (row[x >> 1] & 0xF0) | (value & 0x0F)
                                                      : (row[x >> 1] & 0x0F) | (value & 0x0F) << 4);
      break;
    case 8: row[x] = static_cast<std::uint8_t>(value); break;
    case 16:
      row[2 * x] = static_cast<std::uint8_t>(value);
      row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
      break;
    case 24:
      for (int i = 0; i < 3; ++i) row[3 * x + i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
    default:
      for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
  }
}

std::uint8_t* MutableRow(TBmpImage& image, int y) { return const_cast<std::uint8_t*>(image.View().Row(y)); }

// The raw value of white in the image's format.
std::uint32_t WhiteValue(const TBmpView& image) {
  if (image.Header->BitCount <= 8) {
    std::uint32_t best = 0;
    int bestLevel = -1;
    for (std::size_t i = 0; i < image.Colors.size(); ++i) {
      const TRgbQuad& quad = image.Colors[i];
      int level = quad.Red + quad.Green + quad.Blue;
      if (level > bestLevel) {
        bestLevel = level;
        best = static_cast<std::uint32_t>(i);
      }
    }
    return best;
  }
  const std::uint32_t* masks = DirectMasks(image);
  return masks[0] | masks[1] | masks[2];
}

void FillWhite(TBmpImage& image) {
  std::uint32_t white = WhiteValue(image.View());
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = MutableRow(image, y);
    for (int x = 0; x < image.Width(); ++x) SetRawPixel(row, image.Header.BitCount, x, white);
  }
}

}  // namespace

std::size_t BmpStride(std::int64_t width, int bitCount) {
  return static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
}

std::size_t BmpDefaultColorCount(int bitCount) { return bitCount <= 8 ? std::size_t{1} << bitCount : 0; }

std::size_t TBmpView::Stride() const { return BmpStride(Header->Width, Header->BitCount); }

const std::uint8_t* TBmpView::Row(int y) const {
  int stored = TopDown() ? y : Height() - 1 - y;
  return Bits + static_cast<std::size_t>(stored) * Stride();
}

std::uint32_t TBmpView::Pixel(int x, int y) const {
  std::uint32_t raw = RawPixel(*this, x, y);
  if (Header->BitCount <= 8) return raw < Colors.size() ? ColorOf(Colors[raw]) : 0;
  const std::uint32_t* masks = DirectMasks(*this);
  return FieldValue(raw, masks[0]) | FieldValue(raw, masks[1]) << 8 | FieldValue(raw, masks[2]) << 16;
}

TBmpInfoHeader ReadBmpHeader(std::span<const std::uint8_t> data) {
  TByteReader reader(data);
  return ReadHeaders(reader).header;
}

TBmpImage ReadBmp(std::span<const std::uint8_t> data) {
  TBmpImage image;
  if (data.empty()) return image;
  TByteReader reader(data);
  THeaders headers = ReadHeaders(reader);
  TBmpInfoHeader& header = image.Header;
  header = headers.header;
  image.OldFormat = headers.oldFormat;
  bool compressed = header.Compression == kBiRle8 || header.Compression == kBiRle4;
  if (compressed) image.SaveStream.assign(data.begin(), data.end());

  if (header.Compression == kBiBitFields) {
    if (headers.masksInHeader) {
      std::copy(std::begin(headers.masks), std::end(headers.masks), image.Masks);
    } else {
      for (std::uint32_t& mask : image.Masks) mask = reader.U32();
    }
  }

  std::size_t entrySize = image.OldFormat ? 3 : 4;
  std::size_t colorCount = header.ClrUsed != 0 ? header.ClrUsed : BmpDefaultColorCount(header.BitCount);
  colorCount = std::min({colorCount, std::size_t{256}, reader.Left() / entrySize});
  if (header.BitCount < 8) colorCount = std::min(colorCount, BmpDefaultColorCount(header.BitCount));
  image.Colors.resize(colorCount);
  for (TRgbQuad& quad : image.Colors) {
    const std::uint8_t* entry = reader.Here();
    quad.Blue = entry[0];
    quad.Green = entry[1];
    quad.Red = entry[2];
    reader.Skip(entrySize);
  }

  const std::size_t sectionSize = image.Stride() * static_cast<std::size_t>(image.Height());
  std::size_t pixelBytes = header.SizeImage != 0 ? header.SizeImage : sectionSize;
  pixelBytes = std::min(pixelBytes, reader.Left());
  image.Bits.assign(sectionSize, 0);
  std::span<const std::uint8_t> pixels(reader.Here(), pixelBytes);
  if (compressed) {
    DecodeRle(pixels, header.Compression == kBiRle4, image);
    header.Compression = kBiRgb;
    header.SizeImage = static_cast<std::uint32_t>(sectionSize);
  } else {
    std::memcpy(image.Bits.data(), pixels.data(), std::min(pixelBytes, sectionSize));
  }
  // The table as read is the table the header names from now on.
  if (header.ClrUsed != 0) header.ClrUsed = static_cast<std::uint32_t>(image.Colors.size());
  return image;
}

std::vector<std::uint8_t> WriteBmp(const TBmpImage& image) {
  if (!image.SaveStream.empty()) return image.SaveStream;
  if (image.Empty()) return {};
  const TBmpInfoHeader& header = image.Header;
  // The old header holds 16-bit dimensions of bottom-up rows only.
  bool old = image.OldFormat && header.Compression == kBiRgb && header.Height > 0 && header.Width <= 0xFFFF &&
             header.Height <= 0xFFFF;
  std::size_t headerSize = old ? kOldHeaderSize : kInfoHeaderSize;
  std::size_t maskBytes = !old && header.Compression == kBiBitFields ? 12 : 0;
  std::size_t colorCount = std::min<std::size_t>(image.Colors.size(), 256);
  // A reader takes the old header's table as full, and a count of 0 as "all": an indexed
  // image's table is padded with black accordingly, which changes no pixel's colour.
  if (header.BitCount <= 8) {
    if (old) colorCount = BmpDefaultColorCount(header.BitCount);
    else if (colorCount == 0) colorCount = 1;
  }
  std::size_t colorBytes = colorCount * (old ? 3 : 4);
  std::size_t sectionSize = image.Stride() * static_cast<std::size_t>(image.Height());
  std::size_t offset = kFileHeaderSize + headerSize + maskBytes + colorBytes;
  std::size_t total = offset + sectionSize;

  TByteWriter out(total);
  out.U16(kBmpSignature);
  out.U32(static_cast<std::uint32_t>(total));
  out.U32(0);
  out.U32(static_cast<std::uint32_t>(offset));
  if (old) {
    out.U32(kOldHeaderSize);
    out.U16(static_cast<std::uint16_t>(header.Width));
    out.U16(static_cast<std::uint16_t>(header.Height));
    out.U16(1);
    out.U16(header.BitCount);
  } else {
    // A table that is exactly the implied one keeps the header's "none named".
    bool implied = header.ClrUsed == 0 && colorCount == BmpDefaultColorCount(header.BitCount);
    out.U32(kInfoHeaderSize);
    out.U32(static_cast<std::uint32_t>(header.Width));
    out.U32(static_cast<std::uint32_t>(header.Height));
    out.U16(1);
    out.U16(header.BitCount);
    out.U32(header.Compression);
    out.U32(header.SizeImage == 0 ? 0 : static_cast<std::uint32_t>(sectionSize));
    out.U32(static_cast<std::uint32_t>(header.XPelsPerMeter));
    out.U32(static_cast<std::uint32_t>(header.YPelsPerMeter));
    out.U32(implied ? 0 : static_cast<std::uint32_t>(colorCount));
    out.U32(std::min<std::uint32_t>(header.ClrImportant, static_cast<std::uint32_t>(colorCount)));
    if (maskBytes)
      for (std::uint32_t mask : image.Masks) out.U32(mask);
  }
  for (std::size_t i = 0; i < colorCount; ++i) {
    const TRgbQuad quad = i < image.Colors.size() ? image.Colors[i] : TRgbQuad();
    out.U8(quad.Blue);
    out.U8(quad.Green);
    out.U8(quad.Red);
    if (!old) out.U8(quad.Reserved);
  }
  out.Bytes(image.Bits.data(), std::min(sectionSize, image.Bits.size()));
  for (std::size_t i = image.Bits.size(); i < sectionSize; ++i) out.U8(0);
  return out.Take();
}

std::vector<std::uint8_t> BuildBmpMask(const TBmpView& image, std::uint32_t color, int rowAlign) {
  if (image.Empty()) return {};
  const int width = image.Width();
  const int height = image.Height();
  const std::size_t align = static_cast<std::size_t>(std::max(rowAlign, 1));
  const std::size_t stride = ((static_cast<std::size_t>(width) + 7) / 8 + align - 1) / align * align;
  std::vector<std::uint8_t> mask(stride * static_cast<std::size_t>(height), 0);
  color &= 0xFFFFFF;

  // What a pixel's raw value must be for the pixel to be transparent.
  std::vector<bool> transparentIndex;
  std::uint32_t wanted[3] = {};
  const std::uint32_t* masks = nullptr;
  if (image.Header->BitCount <= 8) {
    transparentIndex.assign(std::size_t{1} << image.Header->BitCount, false);
    for (std::size_t i = 0; i < image.Colors.size() && i < transparentIndex.size(); ++i)
      transparentIndex[i] = ColorOf(image.Colors[i]) == color;
  } else {
    masks = DirectMasks(image);
    const std::uint32_t channels[3] = {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
    for (int c = 0; c < 3; ++c) {
      int length = std::min(FieldLength(masks[c]), 8);
      wanted[c] = channels[c] >> (8 - length);
    }
  }

  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = mask.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      std::uint32_t raw = RawPixel(image, x, y);
      bool transparent;
      if (masks) {
        transparent = FieldBits(raw, masks[0]) == wanted[0] && FieldBits(raw, masks[1]) == wanted[1] &&
                      FieldBits(raw, masks[2]) == wanted[2];
      } else {
        transparent = transparentIndex[raw];
      }
      if (transparent) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
  }
  return mask;
}

TBmpImage NewBmp(int width, int height, int bitCount) {
  TBmpImage image;
  if (bitCount != 1 && bitCount != 16 && bitCount != 24) bitCount = 32;
  image.Header.Width = std::max(width, 0);
  image.Header.Height = std::max(height, 0);
  image.Header.BitCount = static_cast<std::uint16_t>(bitCount);
  if (bitCount == 1) image.Colors = {TRgbQuad{0, 0, 0, 0}, TRgbQuad{0xFF, 0xFF, 0xFF, 0}};
  if (image.Empty()) return image;
  std::size_t size = image.Stride() * static_cast<std::size_t>(image.Height());
  if (size > kMaxBmpSectionSize) InvalidBitmap();
  image.Header.SizeImage = static_cast<std::uint32_t>(size);
  image.Bits.assign(size, 0);
  FillWhite(image);
  return image;
}

TBmpImage ResizeBmp(const TBmpView& source, int width, int height) {
  TBmpImage image;
  image.Header = *source.Header;
  std::copy(source.Masks, source.Masks + 3, image.Masks);
  image.Colors.assign(source.Colors.begin(), source.Colors.end());
  width = std::max(width, 0);
  height = std::max(height, 0);
  image.Header.Width = width;
  image.Header.Height = source.TopDown() ? -height : height;
  if (image.Empty()) {
    image.Header.SizeImage = 0;
    return image;
  }
  std::size_t size = image.Stride() * static_cast<std::size_t>(height);
  if (size > kMaxBmpSectionSize) InvalidBitmap();
  image.Header.SizeImage = static_cast<std::uint32_t>(size);
  image.Bits.assign(size, 0);
  FillWhite(image);
  if (source.Empty()) return image;
  int commonWidth = std::min(width, source.Width());
  int commonHeight = std::min(height, source.Height());
  for (int y = 0; y < commonHeight; ++y) {
    std::uint8_t* row = MutableRow(image, y);
    for (int x = 0; x < commonWidth; ++x) SetRawPixel(row, image.Header.BitCount, x, RawPixel(source, x, y));
  }
  return image;
}

TBmpImage ConvertBmp(const TBmpView& source, int bitCount) {
  if (bitCount != 1) bitCount = 32;
  TBmpImage image = NewBmp(source.Empty() ? 0 : source.Width(), source.Empty() ? 0 : source.Height(), bitCount);
  if (source.Empty()) return image;
  if (source.TopDown()) image.Header.Height = -image.Header.Height;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = MutableRow(image, y);
    for (int x = 0; x < image.Width(); ++x) {
      std::uint32_t color = source.Pixel(x, y);
      std::uint32_t value = image.Header.BitCount == 1 ? (color == 0xFFFFFF ? 1u : 0u)
                                                       : (color >> 16 & 0xFF) | (color & 0xFF00) | (color & 0xFF) << 16;
      SetRawPixel(row, image.Header.BitCount, x, value);
    }
  }
  return image;
}

}  // namespace tavelo
