// Arbitrary bytes checked as an image list's "Bitmap" payload, in both of its forms. What the
// check accepts is handed whole to the platform's reader or the bitmap reader, so every
// extent it reports must lie inside the bytes; the older layout's files are decoded as the
// list decodes them. Any failure must be the reading or the bitmap error.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/exceptions.h"
#include "graphics/bmpformat.h"
#include "graphics/imagelistdata.h"

using namespace tavelo;

namespace {

// Reads every byte of the extent, so that the sanitizer sees one that is not there.
unsigned Touch(std::span<const std::uint8_t> data, const TBmpExtent& extent) {
  if (extent.Size == 0) return 0;
  if (extent.Offset > data.size() || extent.Size > data.size() - extent.Offset) __builtin_trap();
  unsigned sum = 0;
  for (std::uint8_t b : data.subspan(extent.Offset, extent.Size)) sum += b;
  return sum;
}

void Check(std::span<const std::uint8_t> data, int width, int height) {
  try {
    TImageListPayload p = CheckImageListPayload(data, width, height);
    if (p.Size > data.size() || p.Count < 0) __builtin_trap();
    if (p.Form == TImageListPayload::PlatformStream && p.Count > p.Header.Capacity) __builtin_trap();
    volatile unsigned sum = Touch(data, p.Image) + Touch(data, p.Mask);
    (void)sum;
    if (p.Form == TImageListPayload::TwoBitmaps) {
      // The two files are then decoded; the pictures must hold the cells the check counted.
      try {
        TBmpImage image = ReadBmp(data.subspan(p.Image.Offset, p.Image.Size));
        ReadBmp(data.subspan(p.Mask.Offset, p.Mask.Size));
        if (p.Count > 0 && static_cast<long long>(image.Width() / width) * (image.Height() / height) < p.Count)
          __builtin_trap();
      } catch (const EInvalidGraphic&) {
      }
    }
  } catch (const EReadError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  std::span<const std::uint8_t> bytes(data, size);
  Check(bytes, 16, 16);
  Check(bytes, 1, 1);
  return 0;
}
