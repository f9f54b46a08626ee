// The editor against the bare platform program (bare_editor), side by side in one run:
// process start to the main window's first paint, each program started in its own process;
// a 10 MB JavaScript-like file opened through the main window's open handler (driven in this
// process on the window built from its description) to the first paint of its text, against
// a bare edit window given the same text; and the processor time the idle editor spends in
// 10 s once its splash window has gone. A Windows program, run under Wine by scripts/bench.sh.
//
// A window counts as painted once it and every window inside it have nothing left to paint
// and its thread has answered a message sent after that: the answer comes only between two
// messages, so the paint that emptied the last update region has returned.

// Before any other header that brings the platform's in (see unit1.h).
#include "app/unit1.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/program.h"
#include "app/splash.h"
#include "bench/window_bench_support.h"
#include "controls/application.h"

using namespace tavelo;
using namespace tavelo::bench;

namespace {

int kRuns = 5;
int kOpenRuns = 3;  // each takes tens of seconds under Wine
constexpr DWORD kDeadline = 20000;
constexpr DWORD kIdle = 10000;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// ---- Another process's windows ----

std::string TextOf(HWND window) {
  // Read from the window's record, without waiting for its thread.
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct TSearch {
  DWORD process;
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  if (TextOf(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND VisibleWindow(DWORD process, const char* caption) {
  TSearch search{process, caption, nullptr};
  EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK FindPending(HWND window, LPARAM data) {
  if (!IsWindowVisible(window) || !GetUpdateRect(window, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(data) = true;
  return FALSE;
}

bool NothingToPaint(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool pending = false;
  EnumChildWindows(window, &FindPending, reinterpret_cast<LPARAM>(&pending));
  return !pending;
}

bool Painted(HWND window) {
  if (!NothingToPaint(window)) return false;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, kDeadline, &result)) return false;
  return NothingToPaint(window);
}

std::string WindowsPath(const char* path) {
  std::string result = path;
  if (!result.empty() && result[0] == '/') result = "Z:" + result;
  for (char& c : result)
    if (c == '/') c = '\\';
  return result;
}

class TStarted {
public:
  explicit TStarted(const char* program) {
    std::string command = "\"" + WindowsPath(program) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    start_ = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
      std::fprintf(stderr, "impossible de lancer %s (%lu)\n", command.c_str(), GetLastError());
      std::exit(1);
    }
  }
  ~TStarted() {
    if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, kDeadline) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, kDeadline);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  TStarted(const TStarted&) = delete;
  TStarted& operator=(const TStarted&) = delete;

  // Seconds from the process's start to its main window's first paint; negative past the
  // deadline.
  double FirstPaint() {
    DWORD begun = GetTickCount();
    while (GetTickCount() - begun < kDeadline) {
      if (!main_) main_ = VisibleWindow(info_.dwProcessId, "Tavelo");
      if (main_ && Painted(main_)) return Now() - start_;
      Sleep(1);
    }
    return -1;
  }
  bool Gone(const char* caption) const { return VisibleWindow(info_.dwProcessId, caption) == nullptr; }
  // Processor time, kernel and user, in 100 ns units.
  ULONGLONG ProcessorTime() const {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(info_.hProcess, &created, &ended, &kernel, &user)) return 0;
    auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
  }
  HANDLE Process() const { return info_.hProcess; }

private:
  PROCESS_INFORMATION info_{};
  double start_ = 0;
  HWND main_ = nullptr;
};

double Startup(const char* program) {
  TStarted started(program);
  return started.FirstPaint();
}

// Processor time over the idle period, in ms, once the splash window (if any) has gone; and
// what the process had spent before, which shows the measure works across processes.
double Idle(const char* program, const char* splash, double& before_ms) {
  TStarted started(program);
  if (started.FirstPaint() < 0) return -1;
  if (splash) {
    DWORD begun = GetTickCount();
    while (!started.Gone(splash) && GetTickCount() - begun < kDeadline) Sleep(10);
  }
  ULONGLONG before = started.ProcessorTime();
  before_ms = static_cast<double>(before) / 1e4;
  WaitForSingleObject(started.Process(), kIdle);
  return static_cast<double>(started.ProcessorTime() - before) / 1e4;
}

// ---- Opening a document ----

// The main window's open handler given the dialog's file name, then every message it queued
// handled, the paints among them.
double OpenInEditor(const std::string& file) {
  Form1->Action1Execute(Form1);
  Pump();
  Form1->FileOpen1->Dialog()->SetFileName(file);
  double start = Now();
  Form1->FileOpen1Accept(Form1);
  Pump();
  double spent = Now() - start;
  if (!NothingToPaint(Form1->Handle())) std::fprintf(stderr, "fenêtre principale non peinte\n");
  return spent;
}

double OpenInBare(TBenchHost& host, const std::string& file, HFONT font, int width, int height) {
  HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, width,
                                height, host.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(window, EM_LIMITTEXT, 0, 0);
  Pump();
  double start = Now();
  std::string text = ReadWholeFile(file);
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(window);
  Pump();
  double spent = Now() - start;
  DestroyWindow(window);
  Pump();
  return spent;
}

void Opening(double& editor, double& bare, int& length) {
  std::string file = WriteTemp(JavaScriptText(10 << 20), "editor_bench_10mo.js");
  TControlsSession session;
  RegisterProgramClasses();
  Application()->Initialize();
  CreateProgramForms();
  Form1->Show();
  // The splash lies over the memo until its timer's first tick.
  DWORD begun = GetTickCount();
  while (Form2->Visible() && GetTickCount() - begun < kDeadline) {
    Application()->ProcessMessages();
    Sleep(5);
  }
  Pump();
  std::vector<double> times;
  for (int run = 0; run < kOpenRuns; ++run) times.push_back(OpenInEditor(file));
  editor = Median(times);
  length = GetWindowTextLengthA(Form1->Memo1->Handle());
  RECT client;
  GetClientRect(Form1->Memo1->Handle(), &client);
  HFONT font = Form1->Memo1->Font()->Handle();
  Form1->Hide();
  Pump();

  TBenchHost host(nullptr);
  host.Open();
  Pump();
  times.clear();
  for (int run = 0; run < kOpenRuns; ++run) times.push_back(OpenInBare(host, file, font, client.right, client.bottom));
  bare = Median(times);
  std::remove(file.c_str());
}

}  // namespace

// editor_bench [RUNS [OPENING_RUNS]]
int main(int argc, char** argv) {
  if (argc > 1) kRuns = std::max(1, std::atoi(argv[1]));
  if (argc > 2) kOpenRuns = std::max(1, std::atoi(argv[2]));
  std::vector<double> editorStart, bareStart;
  for (int run = 0; run < kRuns; ++run) {
    editorStart.push_back(Startup(TAVELO_PROGRAM));
    bareStart.push_back(Startup(TAVELO_BARE_PROGRAM));
  }
  double editorBefore = 0, bareBefore = 0;
  double editorIdle = Idle(TAVELO_PROGRAM, "Information", editorBefore);
  double bareIdle = Idle(TAVELO_BARE_PROGRAM, nullptr, bareBefore);
  double editorOpen = 0, bareOpen = 0;
  int length = 0;
  Opening(editorOpen, bareOpen, length);

  std::string report;
  char line[512];
  std::snprintf(line, sizeof line,
                "                                               éditeur   plateforme      écart\n"
                "lancement jusqu'à la première peinture   %9.1f ms %9.1f ms %+9.1f ms  (médiane de %d)\n"
                "ouverture de 10 Mo jusqu'à la peinture   %9.1f ms %9.1f ms %+9.1f ms  (médiane de %d)\n"
                "processeur au repos pendant %2lu s          %9.1f ms %9.1f ms %+9.1f ms\n",
                Median(editorStart) * 1e3, Median(bareStart) * 1e3, (Median(editorStart) - Median(bareStart)) * 1e3,
                kRuns, editorOpen * 1e3, bareOpen * 1e3, (editorOpen - bareOpen) * 1e3, kOpenRuns, kIdle / 1000,
                editorIdle, bareIdle, editorIdle - bareIdle);
  report += line;
  std::snprintf(line, sizeof line,
                "(processeur avant le repos : %.1f ms et %.1f ms ; %d caractères dans le mémo après ouverture)\n",
                editorBefore, bareBefore, length);
  report += line;
  std::fputs(AnsiToUtf8(report).c_str(), stdout);
  return 0;
}
