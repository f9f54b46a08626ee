// A JavaScript-like document of 1 MB and of 10 MB loaded into a memo through its lines, up to
// the window's first paint, against the bare platform edit window given the same text with
// one WM_SETTEXT; then keystrokes at the end of a 1 MB document, through the memo with a
// change handler, against the bare window. A Windows program, run under Wine by
// scripts/bench.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/window_bench_support.h"
#include "controls/memo.h"

using namespace tavelo;
using namespace tavelo::bench;

namespace {

int kRuns = 3;
int kKeys = 200;

struct TChangeCounter : TObject {
  void Change(TObject*) { ++count; }
  int count = 0;
};

TMemo* NewMemo(TBenchHost& host, TChangeCounter& counter) {
  auto* memo = new TMemo(&host);
  memo->SetAlign(alClient);
  memo->SetScrollBars(ssVertical);
  memo->SetParent(&host);
  memo->SetOnChange(TNotifyEvent::Bind<&TChangeCounter::Change>(&counter));
  memo->HandleNeeded();
  Pump();
  return memo;
}

HWND NewBare(TBenchHost& host, HFONT font) {
  HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 800, 600,
                                host.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(window, EM_LIMITTEXT, 0, 0);
  Pump();
  return window;
}

// File to first paint.
double LoadMemo(TBenchHost& host, const std::string& file) {
  TChangeCounter counter;
  TMemo* memo = NewMemo(host, counter);
  double start = Now();
  memo->Lines()->LoadFromFile(file);
  UpdateWindow(memo->Handle());
  double spent = Now() - start;
  if (counter.count != 1) std::fprintf(stderr, "OnChange : %d fois\n", counter.count);
  delete memo;
  Pump();
  return spent;
}

double LoadBare(TBenchHost& host, const std::string& file, HFONT font) {
  HWND window = NewBare(host, font);
  double start = Now();
  std::string text = ReadWholeFile(file);
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(window);
  double spent = Now() - start;
  DestroyWindow(window);
  Pump();
  return spent;
}

// One character typed at the end, painted; per key.
double TypeInto(HWND window) {
  int length = GetWindowTextLengthA(window);
  SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(length), length);
  double start = Now();
  for (int i = 0; i < kKeys; ++i) {
    SendMessageA(window, WM_CHAR, 'x', 1);
    UpdateWindow(window);
  }
  return (Now() - start) / kKeys;
}

double KeysMemo(TBenchHost& host, const std::string& file) {
  TChangeCounter counter;
  TMemo* memo = NewMemo(host, counter);
  memo->Lines()->LoadFromFile(file);
  UpdateWindow(memo->Handle());
  double spent = TypeInto(memo->Handle());
  if (counter.count != kKeys + 1) std::fprintf(stderr, "OnChange : %d fois\n", counter.count);
  delete memo;
  Pump();
  return spent;
}

double KeysBare(TBenchHost& host, const std::string& file, HFONT font) {
  HWND window = NewBare(host, font);
  std::string text = ReadWholeFile(file);
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(window);
  double spent = TypeInto(window);
  DestroyWindow(window);
  Pump();
  return spent;
}

}  // namespace

// memo_bench [RUNS [KEYS]]
int main(int argc, char** argv) {
  if (argc > 1) kRuns = std::max(1, std::atoi(argv[1]));
  if (argc > 2) kKeys = std::max(1, std::atoi(argv[2]));
  TBenchHost host(nullptr);
  host.Open();
  Pump();
  TMemo fontSource(nullptr);
  HFONT font = fontSource.Font()->Handle();
  std::string small = WriteTemp(JavaScriptText(1 << 20), "memo_bench_1mo.js");
  std::string large = WriteTemp(JavaScriptText(10 << 20), "memo_bench_10mo.js");
  LoadMemo(host, small);  // registers the class once

  std::string report;
  char line[256];
  for (auto [file, label] : {std::pair{small, "1 Mo"}, std::pair{large, "10 Mo"}}) {
    double memo = 1e9, bare = 1e9;
    for (int run = 0; run < kRuns; ++run) {
      memo = std::min(memo, LoadMemo(host, file));
      bare = std::min(bare, LoadBare(host, file, font));
    }
    std::snprintf(line, sizeof line,
                  "chargement %s jusqu'à la première peinture\n"
                  "  mémo       %9.2f ms\n  plateforme %9.2f ms\n  rapport    %9.2f\n",
                  label, memo * 1e3, bare * 1e3, memo / bare);
    report += line;
  }
  double memo = 1e9, bare = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    memo = std::min(memo, KeysMemo(host, small));
    bare = std::min(bare, KeysBare(host, small, font));
  }
  std::snprintf(line, sizeof line,
                "frappe en fin d'un document de 1 Mo (%d touches, avec OnChange)\n"
                "  mémo       %9.3f ms par touche\n  plateforme %9.3f ms par touche\n  rapport    %9.2f\n",
                kKeys, memo * 1e3, bare * 1e3, memo / bare);
  report += line;
  std::remove(small.c_str());
  std::remove(large.c_str());
  std::fputs(AnsiToUtf8(report).c_str(), stdout);
  return 0;
}
