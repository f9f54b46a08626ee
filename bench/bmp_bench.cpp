// Decoding a 1024 x 1024 24-bit BMP through the portable reader, and writing it back.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "graphics/bmpformat.h"

namespace {

using namespace tavelo;

std::vector<std::uint8_t> MakeBmp24(int size) {
  TBmpImage image;
  image.Header.Width = size;
  image.Header.Height = size;
  image.Header.BitCount = 24;
  image.Bits.resize(image.Stride() * static_cast<std::size_t>(size));
  for (std::size_t i = 0; i < image.Bits.size(); ++i) image.Bits[i] = static_cast<std::uint8_t>(i * 31 + (i >> 12));
  return WriteBmp(image);
}

void BM_ReadBmp24(benchmark::State& state) {
  std::vector<std::uint8_t> bytes = MakeBmp24(1024);
  for (auto _ : state) {
    TBmpImage image = ReadBmp(bytes);
    benchmark::DoNotOptimize(image.Bits.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadBmp24)->Unit(benchmark::kMillisecond);

void BM_WriteBmp24(benchmark::State& state) {
  TBmpImage image = ReadBmp(MakeBmp24(1024));
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes = WriteBmp(image);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_WriteBmp24)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
