#include "dialogs/dialogs.h"

#include <vector>

#include "controls/application.h"
#include "controls/screen.h"
#include "core/publish.h"
#include "core/sysutils.h"
#include "dialogs/dialogconsts.h"
#include "streaming/reader.h"

namespace tavelo {

LRESULT CALLBACK CommonDialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

// The dialog notifications, as the signed codes they are.
enum : int {
  kIncludeItem = -608, kTypeChange = -607, kFileOk = -606, kFolderChange = -603, kSelectionChange = -602, kInitDone = -601
};

const UINT helpMessage = RegisterWindowMessageA("commdlg_help");

// The dialog whose platform window is being made: the hooks take it from here on the
// window's first message.
TCommonDialog* creatingDialog = nullptr;

constexpr const char* kDialogProperty = "TavCommonDialog";

constexpr DWORD kOptionFlags[] = {
    OFN_READONLY,        OFN_OVERWRITEPROMPT,  OFN_HIDEREADONLY,     OFN_NOCHANGEDIR,      OFN_SHOWHELP,
    OFN_NOVALIDATE,      OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST,  OFN_FILEMUSTEXIST,
    OFN_CREATEPROMPT,    OFN_SHAREAWARE,       OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON,
    0x40000 /* no long names */, 0x80000 /* old style: the explorer flag, toggled */, OFN_NODEREFERENCELINKS,
    OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING, OFN_DONTADDTORECENT, OFN_FORCESHOWHIDDEN};
static_assert(std::size(kOptionFlags) == ofForceShowHidden + 1);

// The platforms that know the structure's trailing fields.
bool FullStructure() {
  const DWORD version = GetVersion();
  const unsigned major = LOBYTE(LOWORD(version));
  const unsigned minor = HIBYTE(LOWORD(version));
  if (version < 0x80000000u) return major > 4;
  return major > 3 && minor >= 90;
}

// On the monitor of the active form (else the main form, else the primary one), a third of
// the way down.
void CenterWindow(HWND window) {
  HMONITOR monitor = nullptr;
  TCustomForm* form = Screen() ? Screen()->ActiveCustomForm() : nullptr;
  if (!form && Application()) form = Application()->MainForm();
  if (form && form->HandleAllocated()) monitor = MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST);
  else monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(monitor, &info);
  RECT rect;
  GetWindowRect(window, &rect);
  const int monitorWidth = info.rcMonitor.right - info.rcMonitor.left;
  const int monitorHeight = info.rcMonitor.bottom - info.rcMonitor.top;
  const int x = info.rcMonitor.left + (monitorWidth - (rect.right - rect.left)) / 2;
  const int y = info.rcMonitor.top + (monitorHeight - (rect.bottom - rect.top)) / 3;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
}

UINT_PTR TakeOver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TCommonDialog* dialog = creatingDialog;
  creatingDialog = nullptr;
  if (!dialog) return 0;
  return CallWindowProcA(CommonDialogWndProc, window, msg, wParam, lParam) ? 1 : 0;
}

}  // namespace

// The window procedure every taken-over dialog window gets: it finds its dialog by the
// window's property, as a thunk bound to the object would.
LRESULT CALLBACK CommonDialogWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* dialog = static_cast<TCommonDialog*>(GetPropA(window, kDialogProperty));
  if (!dialog) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{};
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  try {
    dialog->WndProc(message);
  } catch (...) {
    if (Application()) Application()->HandleException(dialog);
  }
  return message.Result;
}

UINT_PTR CALLBACK DialogHook(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_INITDIALOG) return 0;
  CenterWindow(window);
  if (creatingDialog) creatingDialog->Subclass(window);
  return TakeOver(window, msg, wParam, lParam);
}

UINT_PTR CALLBACK ExplorerHook(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    if (creatingDialog) creatingDialog->Subclass(window);
    return TakeOver(window, msg, wParam, lParam);
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(CDN_INITDONE))
    CenterWindow(GetParent(window));
  return 0;
}

// ---- TCommonDialog ----

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

TCommonDialog::~TCommonDialog() {
  if (handle_) {
    RemovePropA(handle_, kDialogProperty);
    SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
  }
  if (creatingDialog == this) creatingDialog = nullptr;
}

UINT TCommonDialog::HelpMessage() { return helpMessage; }

void TCommonDialog::Subclass(HWND window) {
  handle_ = window;
  SetPropA(window, kDialogProperty, this);
  defWndProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CommonDialogWndProc)));
}

void TCommonDialog::DoShow() {
  if (onShow_) onShow_(this);
}

void TCommonDialog::DoClose() {
  if (onClose_) onClose_(this);
}

void TCommonDialog::DefaultHandler(TMessage& message) {
  if (handle_ && defWndProc_)
    message.Result = CallWindowProcA(defWndProc_, handle_, message.Msg, message.WParam, message.LParam);
  else
    TComponent::DefaultHandler(message);
}

void TCommonDialog::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_INITDIALOG:
      DoShow();
      message.Result = 0;
      break;
    case WM_DESTROY:
      DefaultHandler(message);
      DoClose();
      break;
    case WM_NCDESTROY: {
      HWND window = handle_;
      DefaultHandler(message);
      RemovePropA(window, kDialogProperty);
      handle_ = nullptr;
      break;
    }
    default:
      if (handle_) DefaultHandler(message);
  }
}

bool TCommonDialog::MessageHook(void* data, TMessage& message) {
  auto* dialog = static_cast<TCommonDialog*>(data);
  if (message.Msg != helpMessage || dialog->helpContext_ == 0) return false;
  // Context help needs a help system, which the application does not carry: the message
  // is taken and goes no further.
  return true;
}

BOOL TCommonDialog::TaskModalDialog(TDialogFunc dialogFunc, void* dialogData) {
  HWND activeWindow = GetActiveWindow();
  HWND focus = GetFocus();
  const int focusCount = FocusCount();
  std::vector<HWND> disabled = DisableTaskWindows(nullptr);
  TApplication* application = Application();
  if (application) application->HookMainWindow(&TCommonDialog::MessageHook, this);
  creatingDialog = this;
  auto restore = [&] {
    creatingDialog = nullptr;
    if (application) application->UnhookMainWindow(&TCommonDialog::MessageHook, this);
    EnableTaskWindows(disabled);
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    if (focus && IsWindow(focus)) SetFocus(focus);
    FocusCount() = focusCount;
  };
  BOOL result;
  try {
    result = dialogFunc(dialogData);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

TAVELO_PUBLISH(TCommonDialog) {
  c.Property("Ctl3D", &Self::Ctl3D, &Self::SetCtl3D).Default(true);
  c.Property("HelpContext", &Self::HelpContext, &Self::SetHelpContext).Default(0);
  c.Event("OnClose", &Self::OnClose, &Self::SetOnClose);
  c.Event("OnShow", &Self::OnShow, &Self::SetOnShow);
}

// ---- helpers ----

DWORD OpenOptionFlags(TOpenOptions options) {
  DWORD flags = 0;
  for (int o = 0; o <= ofForceShowHidden; ++o)
    if (options.Contains(static_cast<TOpenOption>(o))) flags |= kOptionFlags[o];
  return flags;
}

String PlatformFilter(const String& filter) {
  if (filter.empty()) return String();
  String result = filter;
  for (char& c : result)
    if (c == '|') c = '\0';
  result += '\0';  // with the string's own terminator, the list ends in two NULs
  return result;
}

bool& ForceCurrentDirectory() {
  static bool force = false;
  return force;
}

// ---- TOpenDialog ----

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), files_(std::make_unique<TStringList>()), historyList_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::OldStyle() const { return options_.Contains(ofOldStyleDialog); }

String TOpenDialog::FileName() const {
  if (Handle() && !OldStyle()) {
    char path[261] = {};
    // The explorer dialog's hook window is a child of the dialog that knows the path.
    if (SendMessageA(GetParent(Handle()), CDM_GETFILEPATH, sizeof(path), reinterpret_cast<LPARAM>(path)) > 0)
      return String(path);
  }
  return fileName_;
}

int TOpenDialog::FilterIndex() const { return Handle() ? currentFilterIndex_ : filterIndex_; }

void TOpenDialog::SetInitialDir(const String& value) {
  String dir = value;
  if (dir.size() > 1 && dir.back() == '\\' && dir[dir.size() - 2] != ':') dir.pop_back();
  initialDir_ = dir;
}

bool TOpenDialog::DoCanClose() {
  bool canClose = true;
  if (onCanClose_) onCanClose_(this, canClose);
  return canClose;
}

void TOpenDialog::GetFileNames(const char* buffer, std::size_t length) {
  const bool multi = options_.Contains(ofAllowMultiSelect);
  const char separator = multi && OldStyle() ? ' ' : '\0';
  std::vector<String> items;
  std::size_t i = 0;
  while (i < length && buffer[i] != '\0') {
    std::size_t start = i;
    while (i < length && buffer[i] != separator && buffer[i] != '\0') ++i;
    items.emplace_back(buffer + start, i - start);
    if (i < length && buffer[i] == separator) ++i;
    if (!multi) break;
  }
  if (items.empty()) items.emplace_back();
  if (!multi || items.size() == 1) {
    files_->Add(items[0]);
  } else {
    String folder = items[0];
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    for (std::size_t n = 1; n < items.size(); ++n) {
      const String& name = items[n];
      const bool absolute = (!name.empty() && name[0] == '\\') || (name.size() >= 4 && name[1] == ':' && name[2] == '\\');
      files_->Add(absolute ? name : folder + name);
    }
  }
  fileName_ = files_->Strings(0);
}

void TOpenDialog::WndProc(TMessage& message) {
  message.Result = 0;
  if (message.Msg == WM_INITDIALOG && !OldStyle()) return;
  if (message.Msg == WM_NOTIFY && message.LParam) {
    auto* notify = reinterpret_cast<OFNOTIFYA*>(message.LParam);
    switch (static_cast<int>(notify->hdr.code)) {
      case kIncludeItem: {
        bool include = true;
        if (onIncludeItem_) onIncludeItem_(*reinterpret_cast<OFNOTIFYEXA*>(message.LParam), include);
        message.Result = include;
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, include);
        return;
      }
      case kTypeChange:
        if (static_cast<int>(notify->lpOFN->nFilterIndex) != currentFilterIndex_) {
          currentFilterIndex_ = static_cast<int>(notify->lpOFN->nFilterIndex);
          if (onTypeChange_) onTypeChange_(this);
        }
        break;
      case kFileOk: {
        GetFileNames(notify->lpOFN->lpstrFile, notify->lpOFN->nMaxFile);
        const bool canClose = DoCanClose();
        files_->Clear();
        if (!canClose) {
          message.Result = 1;
          SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, 1);
          return;
        }
        break;
      }
      case kFolderChange:
        if (onFolderChange_) onFolderChange_(this);
        break;
      case kSelectionChange:
        if (onSelectionChange_) onSelectionChange_(this);
        break;
      case kInitDone:
        DoShow();
        break;
    }
  }
  TCommonDialog::WndProc(message);
}

void TOpenDialog::DefineProperties(TFiler& filer) {
  TCommonDialog::DefineProperties(filer);
  // Streams of old still carry the file edit's style, which nothing uses any more.
  filer.DefineProperty("FileEditStyle", [](TReader& reader) { reader.SkipValue(); }, nullptr, false);
}

bool TOpenDialog::DoExecute(TOpenFunc func) {
  files_->Clear();
  OPENFILENAMEA ofn{};
  const bool full = FullStructure();
  ofn.lStructSize = full ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
  ofn.hInstance = GetModuleHandleA(nullptr);
  const String filter = PlatformFilter(filter_);
  if (!filter.empty()) ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex_);
  currentFilterIndex_ = filterIndex_;
  const std::size_t length = options_.Contains(ofAllowMultiSelect) ? 65519 : MAX_PATH;
  std::vector<char> buffer(length + 2, '\0');
  fileName_.copy(buffer.data(), std::min(fileName_.size(), length));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(length);
  const String initialDir = initialDir_.empty() && ForceCurrentDirectory() ? String(".") : initialDir_;
  if (!initialDir.empty()) ofn.lpstrInitialDir = initialDir.c_str();
  if (!title_.empty()) ofn.lpstrTitle = title_.c_str();
  // The platform draws new-style controls everywhere the program runs: the explorer flag is
  // toggled, so that the explorer style is on unless the old style was asked for.
  ofn.Flags = OFN_ENABLEHOOK | OpenOptionFlags(options_);
  ofn.Flags ^= OFN_EXPLORER;
  if (full) ofn.FlagsEx = optionsEx_.Bits();
  const bool explorer = (ofn.Flags & OFN_EXPLORER) != 0;
  String defaultExt = defaultExt_;
  if (defaultExt.empty() && !explorer) {
    const std::size_t dot = fileName_.find_last_of(".\\:");
    if (dot != String::npos && fileName_[dot] == '.') defaultExt = fileName_.substr(dot + 1);
  }
  if (!defaultExt.empty()) ofn.lpstrDefExt = defaultExt.c_str();
  ofn.lpfnHook = explorer ? &ExplorerHook : &DialogHook;
  if (Template()) {
    ofn.Flags |= OFN_ENABLETEMPLATE;
    ofn.lpTemplateName = Template();
  }
  ofn.hwndOwner = Application() ? Application()->Handle() : nullptr;

  if (!TaskModalDialog(reinterpret_cast<TDialogFunc>(func), &ofn)) {
    // A failure of the platform is not the user's cancel: say so rather than look like one.
    if (DWORD error = CommDlgExtendedError(); error != 0 && Application())
      Application()->MessageBox(Format(SFileDialogFailed, {static_cast<unsigned>(error)}), Application()->Title(),
                                MB_OK | MB_ICONSTOP);
    return false;
  }
  GetFileNames(buffer.data(), length);
  if (ofn.Flags & OFN_EXTENSIONDIFFERENT) options_.Include(ofExtensionDifferent);
  else options_.Exclude(ofExtensionDifferent);
  if (ofn.Flags & OFN_READONLY) options_.Include(ofReadOnly);
  else options_.Exclude(ofReadOnly);
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  return true;
}

bool TOpenDialog::Execute() { return DoExecute(&GetOpenFileNameA); }

TAVELO_PUBLISH(TOpenDialog) {
  c.Property("DefaultExt", &Self::DefaultExt, &Self::SetDefaultExt);
  c.Property("FileName", &Self::FileName, &Self::SetFileName);
  c.Property("Filter", &Self::Filter, &Self::SetFilter);
  c.Property("FilterIndex", &Self::FilterIndex, &Self::SetFilterIndex).Default(1);
  c.Property("InitialDir", &Self::InitialDir, &Self::SetInitialDir);
  c.Property("Options", &Self::Options, &Self::SetOptions).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
  c.Property("OptionsEx", &Self::OptionsEx, &Self::SetOptionsEx).Default(TOpenOptionsEx{});
  c.Property("Title", &Self::Title, &Self::SetTitle);
  c.Event("OnCanClose", &Self::OnCanClose, &Self::SetOnCanClose);
  c.Event("OnFolderChange", &Self::OnFolderChange, &Self::SetOnFolderChange);
  c.Event("OnSelectionChange", &Self::OnSelectionChange, &Self::SetOnSelectionChange);
  c.Event("OnTypeChange", &Self::OnTypeChange, &Self::SetOnTypeChange);
  c.Event("OnIncludeItem", &Self::OnIncludeItem, &Self::SetOnIncludeItem);
}

// ---- TSaveDialog ----

TAVELO_CLASS_IMPL(TSaveDialog)

bool TSaveDialog::Execute() { return DoExecute(&GetSaveFileNameA); }

}  // namespace tavelo
