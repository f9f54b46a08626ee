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

// A click at the middle of a window.
void Click(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  INPUT inputs[3] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  inputs[0].mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].type = INPUT_MOUSE;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
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

}  // namespace
