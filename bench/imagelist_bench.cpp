// The main window's image list drawn 100 times, all 45 images, enabled and then disabled,
// into a memory bitmap: what a tool bar and its menus cost to paint. A Windows program, run
// under Wine by scripts/bench.sh with the generated list's path.
//   imagelist_bench PATH/toolbar.imagelist
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/exceptions.h"
#include "graphics/imglist.h"
#include "streaming/filer.h"

using namespace tavelo;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The best of several runs of 100 passes over the 45 images, in seconds.
double Measure(TImageList& list, TCanvas& canvas, bool enabled) {
  const int kPasses = 100, kRuns = 7;
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    LARGE_INTEGER start, stop;
    ::QueryPerformanceCounter(&start);
    for (int pass = 0; pass < kPasses; ++pass)
      for (int i = 0; i < list.Count(); ++i) list.Draw(&canvas, i * 16, 0, i, enabled);
    ::GdiFlush();
    ::QueryPerformanceCounter(&stop);
    best = std::min(best, Seconds(start, stop));
  }
  return best;
}

// Messages are in the program's code page; the console shows UTF-8.
void Print(const String& text) { std::fputs(AnsiToUtf8(text).c_str(), stdout); }

String Figures(double seconds, double images) {
  char text[96];
  std::snprintf(text, sizeof text, "%8.2f ms  (%.2f µs par image)\n", seconds * 1e3, seconds * 1e6 / images);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage : imagelist_bench toolbar.imagelist\n");
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    std::string payload((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The list reads its payload as a form description hands it over.
    TMemoryStream stream;
    {
      TWriter writer(stream, 4096);
      writer.WriteSignature();
      writer.WritePrefix(0, 0);
      writer.WriteStr("TImageList");
      writer.WriteStr("ImageList1");
      writer.WriteStr("Bitmap");
      writer.WriteBinary(payload.data(), static_cast<std::int32_t>(payload.size()));
      writer.WriteListEnd();
      writer.WriteListEnd();
    }
    stream.SetPosition(0);
    TImageList list(nullptr);
    ReadComponentFromStream(stream, &list);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 45 * 16;
    info.bmiHeader.biHeight = 17;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP section = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, section);
    double enabled = 0, disabled = 0;
    {
      TCanvas canvas;
      canvas.SetHandle(dc);
      enabled = Measure(list, canvas, true);
      disabled = Measure(list, canvas, false);
      canvas.SetHandle(nullptr);
    }
    ::SelectObject(dc, old);
    ::DeleteObject(section);
    ::DeleteDC(dc);

    const double images = 100.0 * list.Count();
    Print(Format("imagelist_bench : les %d images de la liste dessinées 100 fois\n", {list.Count()}));
    Print("  actives   : " + Figures(enabled, images));
    Print("  inactives : " + Figures(disabled, images));
  } catch (const Exception& e) {
    std::fputs(AnsiToUtf8("imagelist_bench : " + e.Message() + "\n").c_str(), stderr);
    return 1;
  }
  return 0;
}
