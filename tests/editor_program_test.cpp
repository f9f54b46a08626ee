// The editor as its user meets it: the real program started in its own process, its windows
// found by their captions and classes, and every step made with real input (keys and clicks
// through SendInput), then checked from the outside: the files written, the memo's text, the
// status panels, the clipboard. A screenshot of the desktop is kept at each step
// (screens/*.bmp beside this program's working folder).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr DWORD kDeadline = 15000;

// Polls until done() holds or the deadline passes; the wait is for the other process, whose
// messages this one does not pump.
bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = kDeadline) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return true;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

struct TSearch {
  DWORD process;
  std::string className, caption;
  HWND found = nullptr;
  HWND except = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window) || window == search->except) return TRUE;
  if (!search->className.empty() && ClassOf(window) != search->className) return TRUE;
  if (!search->caption.empty() && TextOf(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindChild(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  if (ClassOf(window) != search->className) return TRUE;
  if (!search->caption.empty() && TextOf(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND ChildOf(HWND parent, const std::string& className, const std::string& caption = std::string()) {
  TSearch search{0, className, caption};
  EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(fermé)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

struct TWindowList {
  DWORD process;
  std::string list;
};

BOOL CALLBACK ListWindow(HWND window, LPARAM data) {
  auto* all = reinterpret_cast<TWindowList*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == all->process)
    all->list += ClassOf(window) + (IsWindowVisible(window) ? "+" : "-") + "\"" + TextOf(window) + "\" ";
  return TRUE;
}

// ---- Real input ----

void Send(std::vector<INPUT> inputs) { SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)); }

INPUT Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Press(std::initializer_list<WORD> modifiers, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(Key(m, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) inputs.push_back(Key(*it, true));
  Send(inputs);
}

// Each character as the keys that make it on this keyboard; a line break is Enter.
void Type(const std::string& text) {
  for (char c : text) {
    if (c == '\n') {
      Press({}, VK_RETURN);
      continue;
    }
    SHORT scan = VkKeyScanA(c);
    ASSERT_NE(scan, -1) << "no key for " << c;
    std::vector<WORD> modifiers;
    if (scan & 0x100) modifiers.push_back(VK_SHIFT);
    if (scan & 0x200) modifiers.push_back(VK_CONTROL);
    if (scan & 0x400) modifiers.push_back(VK_MENU);
    std::vector<INPUT> inputs;
    for (WORD m : modifiers) inputs.push_back(Key(m, false));
    inputs.push_back(Key(LOBYTE(scan), false));
    inputs.push_back(Key(LOBYTE(scan), true));
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(Key(*it, true));
    Send(inputs);
  }
}

// The pointer goes to the point and the test waits until the platform reports it there; then
// each button event carries the point again, so that no event can land where the pointer was
// before the move reached the display.
INPUT MouseAt(POINT p, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  // Rounded up: the platform takes the whole part of the scaled-back coordinate.
  input.mi.dx = static_cast<LONG>((p.x * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((p.y * 65536 + height - 1) / height);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  return input;
}

bool PointerAt(POINT p) {
  POINT now{};
  return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
}

bool MoveTo(POINT p) {
  Send({MouseAt(p, 0)});
  return WaitFor([&] { return PointerAt(p); });
}

void ClickAt(POINT p) {
  POINT now{};
  ASSERT_TRUE(MoveTo(p)) << "the pointer does not reach " << p.x << "," << p.y << ": "
                         << (GetCursorPos(&now), now.x) << "," << now.y;
  Send({MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)});
}

// A click at the middle of a window.
void Click(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// ---- What is drawn on a bar ----

// The screen's pixels of a rectangle, top row first, as 0x00RRGGBB.
std::vector<DWORD> Pixels(const RECT& r) {
  int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<DWORD> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD* source = static_cast<const DWORD*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The horizontal runs of a bar where something other than its background is drawn (a
// caption, an image), split wherever at least `gap` columns are bare: one run per button.
std::vector<std::pair<int, int>> DrawnRuns(HWND bar, int gap) {
  RECT r;
  GetWindowRect(bar, &r);
  // Inside the bar's edges, which are drawn the whole width.
  InflateRect(&r, -3, -4);
  std::vector<DWORD> pixels = Pixels(r);
  int w = r.right - r.left, h = r.bottom - r.top;
  DWORD background = pixels[static_cast<std::size_t>(h / 2 * w + w - 1)];
  std::vector<std::pair<int, int>> runs;
  int bare = gap;
  for (int x = 0; x < w; ++x) {
    bool drawn = false;
    for (int y = 0; y < h && !drawn; ++y) drawn = pixels[static_cast<std::size_t>(y * w + x)] != background;
    if (drawn) {
      if (bare >= gap) runs.push_back({r.left + x, r.left + x});
      runs.back().second = r.left + x;
      bare = 0;
    } else {
      ++bare;
    }
  }
  return runs;
}

std::string Describe(const std::vector<std::pair<int, int>>& runs) {
  std::string text;
  for (const auto& run : runs) text += std::to_string(run.first) + "-" + std::to_string(run.second) + " ";
  return text;
}

// The middle of the index-th of `count` items of an open popup, which stacks its items of one
// height between margins of three pixels.
POINT PopupItem(HWND popup, int index, int count) {
  RECT r;
  GetWindowRect(popup, &r);
  int itemHeight = (r.bottom - r.top - 6) / count;
  return POINT{(r.left + r.right) / 2, r.top + 3 + itemHeight * index + itemHeight / 2};
}

// ---- Screenshots ----

void Screenshot(const std::string& name) {
  CreateDirectoryA("screens", nullptr);
  int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u), size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + size;
  info.bmiHeader.biSizeImage = size;
  std::ofstream out("screens/" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  out.write(static_cast<const char*>(bits), size);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// ---- The program ----

class EditorProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "tavelo-programme-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string program = TAVELO_PROGRAM;
    if (!program.empty() && program[0] == '/') program = "Z:" + program;
    for (char& c : program)
      if (c == '/') c = '\\';
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + program + "\"";
    // Started in the test's own folder, where a relative save would land.
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process))
        << program << " " << GetLastError();
    ASSERT_TRUE(WaitFor([&] { return (main = TopLevel("TForm1", "Tavelo")) != nullptr; }))
        << "no main window; windows: " << Windows();
    memo = ChildOf(main, "TMemo");
    status = ChildOf(main, "TStatusBar");
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(status, nullptr);
    // The splash comes up with the main window and goes at its timer's first tick; until
    // then it lies over the memo and would take the clicks.
    Screenshot("00-demarrage");
    ASSERT_TRUE(WaitFor([&] { return TopLevel("TForm2") == nullptr; }, 3000)) << "the splash stays";
  }
  void TearDown() override {
    if (process.hProcess) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kDeadline);
      }
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    for (const std::string& name : written) DeleteFileA(Path(name).c_str());
    RemoveDirectoryA(folder.c_str());
  }

  HWND TopLevel(const std::string& className, const std::string& caption = std::string(),
               HWND except = nullptr) const {
    TSearch search{process.dwProcessId, className, caption, nullptr, except};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  std::string Path(const std::string& name) const { return folder + "\\" + name; }
  // The editor's top-level windows, for a failure's message.
  std::string Windows() const {
    TWindowList all{process.dwProcessId, ""};
    EnumWindows(&ListWindow, reinterpret_cast<LPARAM>(&all));
    return all.list;
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    written.push_back(name);
  }
  // A status panel's text, read through a buffer in the editor's own memory.
  std::string Panel(int index) const {
    HANDLE target = process.hProcess;
    void* remote = VirtualAllocEx(target, nullptr, 1024, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return "(pas de mémoire)";
    SendMessageA(status, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote));
    char text[1024] = {};
    SIZE_T read = 0;
    ReadProcessMemory(target, remote, text, sizeof text - 1, &read);
    VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    // The platform's centring marks go before a centred panel's text.
    std::string result = text;
    return result.substr(std::min(result.find_first_not_of('\t'), result.size()));
  }
  bool Ended() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }
  void Focus() {
    SetForegroundWindow(main);
    Click(memo);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
  }
  // A file dialog of the editor by its title; its name box is where the keys go.
  HWND FileDialog(const char* title) { return TopLevel("#32770", title); }
  void AnswerFileDialog(const char* title, const std::string& path) {
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FileDialog(title)) != nullptr; })) << title;
    Screenshot(std::string("dialogue-") + (title[0] == 'E' ? "enregistrer" : "ouvrir"));
    HWND box = GetDlgItem(dialog, 0x47c);
    if (!box) box = GetDlgItem(dialog, 0x480);
    ASSERT_NE(box, nullptr);
    preset = TextOf(box);
    // What is there is selected and replaced by what is typed.
    Press({VK_CONTROL}, 'A');
    Type(path);
    Press({}, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return FileDialog(title) == nullptr; })) << title << " still open";
  }

  // The middle of the bar's index-th button of `count`, found by what the bar draws.
  POINT BarButton(const char* barClass, int gap, int index, int count) {
    HWND bar = ChildOf(main, barClass);
    EXPECT_NE(bar, nullptr) << barClass;
    if (!bar) return POINT{};
    // A button the pointer or a menu just left may still be drawn framed, which hides a gap:
    // wait until the bar has repainted.
    std::vector<std::pair<int, int>> runs;
    WaitFor([&] { return (runs = DrawnRuns(bar, gap)).size() == static_cast<std::size_t>(count); });
    EXPECT_EQ(runs.size(), static_cast<std::size_t>(count)) << barClass << ": " << Describe(runs);
    if (runs.size() != static_cast<std::size_t>(count)) return POINT{};
    RECT r;
    GetWindowRect(bar, &r);
    return POINT{(runs[index].first + runs[index].second) / 2, (r.top + r.bottom) / 2};
  }
  POINT MenuBarButton(int index) { return BarButton("TActionMainMenuBar", 5, index, 3); }
  // Six buttons, then the overflow button at the bar's end.
  POINT ToolButton(int index) { return BarButton("TActionToolBar", 6, index, 7); }
  // Opens a menu of the bar by a click on its button; the popup that shows.
  HWND OpenMenu(int index) {
    POINT button = MenuBarButton(index);
    ClickAt(button);
    HWND popup = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (popup = TopLevel("TStandardMenuPopup")) != nullptr; }))
        << "no menu after a click at " << button.x << "," << button.y << "; windows: " << Windows();
    return popup;
  }
  void Choose(int menu, int item, int count) {
    HWND popup = OpenMenu(menu);
    ASSERT_NE(popup, nullptr);
    ClickAt(PopupItem(popup, item, count));
    ASSERT_TRUE(WaitFor([&] { return TopLevel("TStandardMenuPopup") == nullptr; })) << "the menu stays";
  }
  // The memo's selection, start and end.
  std::pair<int, int> Selection() const {
    DWORD both = static_cast<DWORD>(SendMessageA(memo, EM_GETSEL, 0, 0));
    return {LOWORD(both), HIWORD(both)};
  }

  PROCESS_INFORMATION process{};
  std::string folder;
  std::vector<std::string> written;
  HWND main = nullptr, memo = nullptr, status = nullptr;
  std::string preset;
};

TEST_F(EditorProgramTest, StartTypeSaveOpenEditAndClose) {
  Screenshot("01-demarre");
  EXPECT_EQ(Panel(0), "Tavelo");
  EXPECT_EQ(Panel(1), "");
  EXPECT_EQ(Panel(2), "");

  Focus();
  Type("var a = 1;\nfin");
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == "var a = 1;\r\nfin"; })) << TextOf(memo);
  EXPECT_TRUE(WaitFor([&] { return Panel(2) == "Modifié"; })) << Panel(2);
  Screenshot("02-saisie");

  // Ctrl+S on an untitled document asks where.
  Press({VK_CONTROL}, 'S');
  AnswerFileDialog("Enregistrer sous", Path("premier.js"));
  written.push_back("premier.js");
  ASSERT_TRUE(WaitFor([&] { return ReadFile(Path("premier.js")) == "var a = 1;\r\nfin"; }))
      << ReadFile(Path("premier.js"));
  EXPECT_EQ(preset, "");
  ASSERT_TRUE(WaitFor([&] { return Panel(1) == Path("premier.js"); })) << Panel(1);
  EXPECT_TRUE(WaitFor([&] { return Panel(2) == "Modifié"; })) << Panel(2);
  Screenshot("03-enregistre");

  // Ctrl+O: a file with lone line feeds shows CR LF.
  Write("lf.js", "un\ndeux\n");
  Press({VK_CONTROL}, 'O');
  AnswerFileDialog("Ouverture de fichier", Path("lf.js"));
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == "un\r\ndeux\r\n"; })) << TextOf(memo);
  ASSERT_TRUE(WaitFor([&] { return Panel(1) == Path("lf.js"); })) << Panel(1);
  Screenshot("04-ouvert");

  // The edit commands through their shortcuts.
  EmptyTheClipboard();
  Click(memo);
  Press({VK_CONTROL}, 'A');
  Press({VK_CONTROL}, 'C');
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == "un\r\ndeux\r\n"; })) << ClipboardText();
  Press({VK_CONTROL}, 'X');
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo).empty(); })) << TextOf(memo);
  Press({VK_CONTROL}, 'V');
  Press({VK_CONTROL}, 'V');
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo) == "un\r\ndeux\r\nun\r\ndeux\r\n"; })) << TextOf(memo);
  Screenshot("05-edition");

  // Closing asks; the question closed by its caption keeps everything.
  PostMessageA(main, WM_CLOSE, 0, 0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = TopLevel("TMessageForm", "Avertissement")) != nullptr; }));
  Screenshot("06-question");
  EXPECT_NE(ChildOf(question, "TButton", "&Oui"), nullptr);
  EXPECT_NE(ChildOf(question, "TButton", "&Non"), nullptr);
  // Its text, as Ctrl+C copies it.
  EmptyTheClipboard();
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == question; }));
  Press({VK_CONTROL}, 'C');
  EXPECT_TRUE(WaitFor([] {
    std::string text = ClipboardText();
    return text.find("le texte a ete modifi\xE9\rsauver les changements?") != std::string::npos &&
           text.find("Oui   Non   ") != std::string::npos;
  })) << ClipboardText();
  PostMessageA(question, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return TopLevel("TMessageForm") == nullptr; }));
  EXPECT_FALSE(Ended());
  EXPECT_EQ(TextOf(memo), "un\r\ndeux\r\nun\r\ndeux\r\n");

  // "&Oui", then the save dialog cancelled: still there.
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return (question = TopLevel("TMessageForm", "Avertissement")) != nullptr; }));
  // "&Oui" has the focus: Enter presses it.
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == question; }));
  Press({}, VK_RETURN);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FileDialog("Enregistrer sous")) != nullptr; }));
  Screenshot("07-enregistrer-en-fermant");
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; }));
  Press({}, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return FileDialog("Enregistrer sous") == nullptr; }));
  EXPECT_FALSE(WaitFor([&] { return Ended(); }, 500));
  EXPECT_TRUE(IsWindowVisible(main));

  // "&Non": closed, nothing written.
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return (question = TopLevel("TMessageForm", "Avertissement")) != nullptr; }));
  // Tab takes the focus to "&Non", the space bar presses it.
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == question; }));
  Press({}, VK_TAB);
  HWND no = ChildOf(question, "TButton", "&Non");
  ASSERT_TRUE(WaitFor([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process.dwThreadId, &info) && info.hwndFocus == no;
  }));
  Screenshot("08-non");
  Press({}, VK_SPACE);
  EXPECT_TRUE(WaitFor([&] { return Ended(); }));
  Screenshot("09-ferme");
  EXPECT_EQ(ReadFile(Path("lf.js")), "un\ndeux\n");
}

TEST_F(EditorProgramTest, SaveAfterNewAsksWhereWithTheUntitledName) {
  Focus();
  Press({VK_CONTROL}, 'N');
  ASSERT_TRUE(WaitFor([&] { return Panel(1) == "Sans titre.js"; })) << Panel(1);
  Click(memo);
  Type("neuf");
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == "neuf"; })) << TextOf(memo);
  Press({VK_CONTROL}, 'S');
  AnswerFileDialog("Enregistrer sous", Path("neuf.js"));
  written.push_back("neuf.js");
  EXPECT_EQ(preset, "Sans titre.js");
  ASSERT_TRUE(WaitFor([&] { return ReadFile(Path("neuf.js")) == "neuf"; }));
  // Nothing was written where the program runs.
  EXPECT_EQ(GetFileAttributesA(Path("Sans titre.js").c_str()), INVALID_FILE_ATTRIBUTES);
  Screenshot("10-nouveau-enregistre");

  // Saving over a file asks first; "Non" leaves it as it was.
  Write("garde.js", "garde");
  Press({VK_CONTROL}, 'N');
  Click(memo);
  Type("autre");
  Press({VK_CONTROL}, 'S');
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FileDialog("Enregistrer sous")) != nullptr; }));
  Press({VK_CONTROL}, 'A');
  Type(Path("garde.js"));
  Press({}, VK_RETURN);
  HWND confirm = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (confirm = TopLevel("#32770", std::string(), dialog)) != nullptr; }))
      << "no question before replacing";
  Screenshot("11-remplacer");
  Press({}, 'N');
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(confirm); }));
  Press({}, VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return FileDialog("Enregistrer sous") == nullptr; }));
  EXPECT_EQ(ReadFile(Path("garde.js")), "garde");
}

TEST_F(EditorProgramTest, AboutBoxByMouseShowsTheSameWindowEachTime) {
  Focus();
  HWND popup = OpenMenu(2);
  ASSERT_NE(popup, nullptr);
  Screenshot("20-menu-aide");
  ClickAt(PopupItem(popup, 0, 1));
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = TopLevel("TAboutBox", "A propos")) != nullptr; })) << Windows();
  EXPECT_EQ(TopLevel("TStandardMenuPopup"), nullptr);
  Screenshot("21-a-propos");
  RECT first;
  GetWindowRect(about, &first);
  HWND ok = ChildOf(about, "TButton", "OK");
  ASSERT_NE(ok, nullptr);
  Click(ok);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); })) << "OK leaves the box";
  EXPECT_TRUE(IsWindow(about));
  EXPECT_FALSE(Ended());
  Screenshot("22-a-propos-ferme");

  // Again: the very same window, where it was, as it was.
  Choose(2, 0, 1);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(about); })) << Windows();
  EXPECT_EQ(TopLevel("TAboutBox"), about);
  RECT second;
  GetWindowRect(about, &second);
  EXPECT_TRUE(EqualRect(&first, &second)) << second.left << "," << second.top << " instead of " << first.left
                                          << "," << first.top;
  EXPECT_EQ(TextOf(about), "A propos");
  EXPECT_EQ(ChildOf(about, "TButton", "OK"), ok);
  Screenshot("23-a-propos-encore");
  Click(ok);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }));
}

TEST_F(EditorProgramTest, CutCopyPasteAndSelectAllThroughTheMenuAndTheToolBar) {
  enum { kCut, kCopy, kPaste, kSelectAll };
  Focus();
  Type("abc def");
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == "abc def"; })) << TextOf(memo);
  EmptyTheClipboard();

  // Nothing selected and nothing to paste: only "Tout sélectionner" is there to choose.
  HWND popup = OpenMenu(1);
  ASSERT_NE(popup, nullptr);
  Screenshot("30-edition-sans-selection");
  ClickAt(PopupItem(popup, kCut, 4));
  ClickAt(PopupItem(popup, kCopy, 4));
  EXPECT_NE(TopLevel("TStandardMenuPopup"), nullptr) << "a disabled item closed the menu";
  ClickAt(PopupItem(popup, kSelectAll, 4));
  ASSERT_TRUE(WaitFor([&] { return TopLevel("TStandardMenuPopup") == nullptr; }));
  EXPECT_EQ(TextOf(memo), "abc def");
  EXPECT_EQ(ClipboardText(), "");
  ASSERT_TRUE(WaitFor([&] { return Selection() == std::make_pair(0, 7); }))
      << Selection().first << "-" << Selection().second;
  Screenshot("31-tout-selectionne");

  Choose(1, kCopy, 4);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == "abc def"; })) << ClipboardText();
  EXPECT_EQ(TextOf(memo), "abc def");
  EmptyTheClipboard();
  Choose(1, kCut, 4);
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo).empty(); })) << TextOf(memo);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == "abc def"; })) << ClipboardText();
  popup = OpenMenu(1);
  ASSERT_NE(popup, nullptr);
  Screenshot("32-edition-coller");
  ClickAt(PopupItem(popup, kPaste, 4));
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo) == "abc def"; })) << TextOf(memo);
  Screenshot("33-colle-par-le-menu");

  // The tool bar's last three buttons: "Couper", "Copier", "Coller".
  POINT cut = ToolButton(3), copy = ToolButton(4), paste = ToolButton(5);
  ASSERT_FALSE(HasFailure());
  Press({VK_CONTROL}, 'A');
  ASSERT_TRUE(WaitFor([&] { return Selection() == std::make_pair(0, 7); }));
  EmptyTheClipboard();
  Screenshot("34-barre-selection");
  ClickAt(copy);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == "abc def"; })) << ClipboardText();
  EXPECT_EQ(TextOf(memo), "abc def");
  EmptyTheClipboard();
  ClickAt(cut);
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo).empty(); })) << TextOf(memo);
  EXPECT_TRUE(WaitFor([] { return ClipboardText() == "abc def"; })) << ClipboardText();
  Screenshot("35-barre-coupe");
  ClickAt(paste);
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo) == "abc def"; })) << TextOf(memo);
  ClickAt(paste);
  EXPECT_TRUE(WaitFor([&] { return TextOf(memo) == "abc defabc def"; })) << TextOf(memo);
  EXPECT_EQ(ClipboardText(), "abc def");
  Screenshot("36-barre-colle");
}

TEST_F(EditorProgramTest, NewFileFromTheKeyboardThroughTheFileMenu) {
  Focus();
  Type("vieux");
  ASSERT_TRUE(WaitFor([&] { return TextOf(memo) == "vieux"; })) << TextOf(memo);
  Press({VK_MENU}, 'F');
  HWND popup = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (popup = TopLevel("TStandardMenuPopup")) != nullptr; })) << Windows();
  Screenshot("40-menu-fichier");
  // The first item is the one chosen when the menu opens from the keyboard; Down then Up
  // comes back to it.
  Press({}, VK_DOWN);
  Press({}, VK_UP);
  Press({}, VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return TopLevel("TStandardMenuPopup") == nullptr; })) << "the menu stays";
  ASSERT_TRUE(WaitFor([&] { return Panel(1) == "Sans titre.js"; })) << Panel(1);
  EXPECT_EQ(TextOf(memo), "");
  EXPECT_EQ(FileDialog("Ouverture de fichier"), nullptr);
  Screenshot("41-nouveau-par-le-clavier");
}

}  // namespace
