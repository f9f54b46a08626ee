// Arbitrary bytes read as a BMP file. Any failure must be the system's exception; a crash, a
// leak or a sanitizer report is a finding, and so is an image that, written back, does not
// read again to the same rows and colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/exceptions.h"
#include "graphics/bmpformat.h"

using namespace tavelo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  std::span<const std::uint8_t> bytes(data, size);
  try {
    // Correct but huge sections only slow the search down.
    TBmpInfoHeader header = ReadBmpHeader(bytes);
    std::size_t rows = static_cast<std::size_t>(header.Height < 0 ? -static_cast<std::int64_t>(header.Height) : header.Height);
    if (BmpStride(header.Width, header.BitCount) * rows > (std::size_t{256} << 10)) return 0;
  } catch (const Exception&) {
  }
  try {
    TBmpImage image = ReadBmp(bytes);
    if (image.Empty()) return 0;
    std::uint32_t bottomLeft = image.Pixel(0, image.Height() - 1);
    (void)BuildBmpMask(image.View(), bottomLeft, 2);
    (void)WriteBmp(image);

    image.SaveStream.clear();
    TBmpImage again = ReadBmp(WriteBmp(image));
    if (again.Bits != image.Bits || again.Width() != image.Width() || again.Height() != image.Height()) std::abort();
    int samples = 0;
    for (int y = 0; y < image.Height() && samples < 4096; ++y)
      for (int x = 0; x < image.Width() && samples < 4096; ++x, ++samples)
        if (again.Pixel(x, y) != image.Pixel(x, y)) std::abort();
  } catch (const Exception&) {
  }
  return 0;
}
