// The image list's stream payloads, checked without the platform before anything reads
// them: the platform's own image-list stream, and the older layout of two BMP files. A
// payload comes from a form description or a file, so every count and size in it is
// checked against the bytes that are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavelo {

// The platform's creation flag of lists whose images have masks.
inline constexpr std::uint16_t kImageListMasked = 0x0001;
// Images per row of the platform stream's pictures.
inline constexpr int kImageListColumns = 4;

// The 28-byte header of the platform's stream, field by field.
struct TImageListHeader {
  std::uint16_t Magic = 0x4C49;  // "IL"
  std::uint16_t Version = 0x0101;
  std::uint16_t Count = 0;
  std::uint16_t Capacity = 0;
  std::uint16_t Growth = 0;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint32_t BkColor = 0xFFFFFFFF;
  std::uint16_t Flags = 0;
  std::int16_t Overlays[4] = {-1, -1, -1, -1};
};
inline constexpr std::size_t kImageListHeaderSize = 28;

// Where one BMP file lies in the payload, and what its headers say.
struct TBmpExtent {
  std::size_t Offset = 0;
  std::size_t Size = 0;  // the file's bytes, pixels included
  int Width = 0;
  int Height = 0;  // rows, whatever their order
  int BitCount = 0;
};

struct TImageListPayload {
  enum TForm { PlatformStream, TwoBitmaps } Form = PlatformStream;
  TImageListHeader Header;  // the platform stream's
  int Count = 0;            // images in the payload
  TBmpExtent Image;
  TBmpExtent Mask;  // Size 0: the platform stream of an unmasked list
  std::size_t Size = 0;  // the bytes the platform's reader consumes
};

// Which form a payload has: the platform's stream when its first two 32-bit words differ
// and it begins with "IL"; the two-bitmap layout otherwise.
bool IsImageListStream(std::span<const std::uint8_t> data);

// Checks a payload of either form. In the platform's form the count must fit the capacity,
// the capacity's grid of width × height cells the colour picture, the mask the same grid,
// and both BMP files the payload. In the two-bitmap layout (a 32-bit size of the first
// file, a 32-bit image count, the image file, then the mask file) the first file must lie
// within its size and the payload, the mask after it, and the count fit the cells of
// width × height that both pictures hold. Anything else raises EReadError SImageReadFail.
TImageListPayload CheckImageListPayload(std::span<const std::uint8_t> data, int width, int height);

// The 28 header bytes of a platform stream.
TImageListHeader ReadImageListHeader(std::span<const std::uint8_t> data);

}  // namespace tavelo
