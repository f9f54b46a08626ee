// 500 windowed controls created on one parent, aligned, shown and destroyed, against 500 bare
// windows of the same class created and destroyed with the platform's calls, side by side
// in one run. A Windows program, run under Wine by scripts/bench.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/window_bench_support.h"

using namespace tavelo;
using namespace tavelo::bench;

namespace {

int kControls = 500;
int kRuns = 5;
double phases[3];  // inserting, painting, destroying: of the last framework run

// Controls: created, stacked at the top (alTop), shown with the parent, destroyed.
double Framework(TBenchHost& host) {
  LARGE_INTEGER start, inserted, painted, stop;
  ::QueryPerformanceCounter(&start);
  {
    std::vector<std::unique_ptr<TCustomControl>> controls;
    controls.reserve(static_cast<std::size_t>(kControls));
    for (int i = 0; i < kControls; ++i) {
      controls.push_back(std::make_unique<TCustomControl>(nullptr));
      TCustomControl& c = *controls.back();
      c.SetBounds(0, i, 800, 1);  // where the alignment keeps it, as read from a form
      c.SetAlign(alTop);
      c.SetParent(&host);
    }
    ::QueryPerformanceCounter(&inserted);
    Pump();
    ::QueryPerformanceCounter(&painted);
    // Taking the top control of a stack moves all the others up, each time: many go with
    // the alignment suspended, as when a form closes.
    host.DisableAlign();
    controls.clear();
    host.EnableAlign();
  }
  Pump();
  ::QueryPerformanceCounter(&stop);
  phases[0] = Seconds(start, inserted);
  phases[1] = Seconds(inserted, painted);
  phases[2] = Seconds(painted, stop);
  return Seconds(start, stop);
}

// The same windows with the platform alone: same class, same places, shown, destroyed.
double Bare(HWND parent, const char* className) {
  LARGE_INTEGER start, stop;
  ::QueryPerformanceCounter(&start);
  std::vector<HWND> windows;
  windows.reserve(kControls);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (int i = 0; i < kControls; ++i)
    windows.push_back(CreateWindowExA(0, className, "", WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE, 0, i, 800, 1, parent,
                                      nullptr, instance, nullptr));
  Pump();
  for (HWND w : windows)
    if (!w) std::fprintf(stderr, "CreateWindowEx a échoué : %lu\n", GetLastError());
  for (HWND w : windows) DestroyWindow(w);
  Pump();
  ::QueryPerformanceCounter(&stop);
  return Seconds(start, stop);
}

}  // namespace

// controls_bench [CONTROLS [RUNS]]
int main(int argc, char** argv) {
  if (argc > 1) kControls = std::max(1, std::atoi(argv[1]));
  if (argc > 2) kRuns = std::max(1, std::atoi(argv[2]));
  TBenchHost host(nullptr);
  host.Open();
  Pump();
  Framework(host);  // registers the class and makes the shared objects once
  double framework = 1e9, bare = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    framework = std::min(framework, Framework(host));
    bare = std::min(bare, Bare(host.Handle(), "TCustomControl"));
  }
  char text[512];
  std::snprintf(text, sizeof text,
                "contrôles : %d fenêtres créées, alignées, montrées, détruites\n"
                "  cadre      %9.2f ms  (%.1f µs par contrôle)\n"
                "  plateforme %9.2f ms  (%.1f µs par fenêtre)\n"
                "  rapport    %9.2f  (objectif : 1,5 au plus)\n"
                "  (cadre, dernier passage : insertion %.2f ms, peinture %.2f ms, destruction %.2f ms)\n",
                kControls, framework * 1e3, framework * 1e6 / kControls, bare * 1e3, bare * 1e6 / kControls,
                framework / bare, phases[0] * 1e3, phases[1] * 1e3, phases[2] * 1e3);
  // The program's code page; the console shows UTF-8.
  std::fputs(AnsiToUtf8(text).c_str(), stdout);
  return 0;
}
