#include "dialogs/clipbrd.h"

#include <cstring>
#include <memory>

#include "controls/application.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/rtlconsts.h"
#include "dialogs/dialogconsts.h"
#include "graphics/bitmap.h"
#include "graphics/graphic.h"

namespace tavelo {

namespace {

UINT pictureFormat = ::RegisterClipboardFormatA(SPictureClipboardFormatName);
UINT componentFormat = ::RegisterClipboardFormatA(SComponentClipboardFormatName);

std::unique_ptr<TClipboard>& ClipboardInstance() {
  static std::unique_ptr<TClipboard> instance;
  return instance;
}

constexpr const char* kWindowClass = "TavClipboardWindow";

LRESULT CALLBACK ClipboardWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* clipboard = reinterpret_cast<TClipboard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!clipboard) return DefWindowProcA(window, msg, wParam, lParam);
  TMessage message{};
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  // No exception may unwind through the platform's frames.
  try {
    clipboard->WndProc(message);
  } catch (...) {
    if (Application()) Application()->HandleException(clipboard);
  }
  return message.Result;
}

HWND AllocateClipboardWindow(TClipboard* clipboard) {
  static const ATOM atom = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &ClipboardWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassA(&windowClass);
  }();
  if (!atom) throw EOutOfResources(SOutOfResources);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) throw EOutOfResources(SOutOfResources);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(clipboard));
  return window;
}

}  // namespace

UINT PictureClipboardFormat() { return pictureFormat; }
UINT ComponentClipboardFormat() { return componentFormat; }

TAVELO_CLASS_IMPL(TClipboard)

TClipboard::~TClipboard() {
  if (allocated_ && clipboardWindow_) DestroyWindow(clipboardWindow_);
}

void TClipboard::Open() {
  if (openCount_ == 0) {
    HWND window = Application() ? Application()->Handle() : nullptr;
    bool allocated = false;
    if (!window) {
      window = AllocateClipboardWindow(this);
      allocated = true;
    }
    // Only an opening the platform granted counts: a refused one leaves the count at 0, so
    // the next Open tries again and no Close will close what was never opened.
    if (!OpenClipboard(window)) {
      if (allocated) DestroyWindow(window);
      throw Exception(SCannotOpenClipboard);
    }
    clipboardWindow_ = window;
    allocated_ = allocated;
    emptied_ = false;
  }
  ++openCount_;
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ > 0) return;
  CloseClipboard();
  if (allocated_) {
    DestroyWindow(clipboardWindow_);
    allocated_ = false;
  }
  clipboardWindow_ = nullptr;
}

void TClipboard::Clear() {
  Open();
  try {
    EmptyClipboard();
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::WndProc(TMessage& message) {
  message.Result = DefWindowProcA(clipboardWindow_, message.Msg, message.WParam, message.LParam);
}

void TClipboard::Adding() {
  if (openCount_ > 0 && !emptied_) {
    Clear();
    emptied_ = true;
  }
}

bool TClipboard::HasFormat(UINT format) {
  if (IsClipboardFormatAvailable(format)) return true;
  if (format != pictureFormat) return false;
  bool found = false;
  Open();
  try {
    for (UINT f = EnumClipboardFormats(0); f != 0 && !found; f = EnumClipboardFormats(f))
      found = TPicture::SupportsClipboardFormat(f);
  } catch (...) {
    Close();
    throw;
  }
  Close();
  return found;
}

void TClipboard::SetAsHandle(UINT format, HANDLE value) {
  Open();
  try {
    Adding();
    SetClipboardData(format, value);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

HANDLE TClipboard::AsHandle(UINT format) {
  Open();
  HANDLE data = GetClipboardData(format);
  Close();
  return data;
}

void TClipboard::SetAsText(const String& value) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, value.size() + 1);
  if (!block) throw EOutOfMemory(SOutOfMemory);
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    throw EOutOfMemory(SOutOfMemory);
  }
  std::memcpy(bytes, value.c_str(), value.size() + 1);
  GlobalUnlock(block);
  try {
    SetAsHandle(CF_TEXT, block);
  } catch (...) {
    GlobalFree(block);
    throw;
  }
}

String TClipboard::AsText() {
  String text;
  Open();
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      // The block may be larger than its text; the text ends at its NUL.
      text = String(bytes, strnlen(bytes, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  Close();
  return text;
}

void TClipboard::WriteClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  SetClipboardData(format, data);
  if (palette) SetClipboardData(CF_PALETTE, palette);
}

// A picture and a graphic save themselves alike: one way onto the clipboard for both.
template <class T> void TClipboard::AssignSaved(T* source) {
  Open();
  try {
    Adding();
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    source->SaveToClipboardFormat(format, data, palette);
    WriteClipboardFormat(format, data, palette);
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AssignPicture(TPicture* source) { AssignSaved(source); }
void TClipboard::AssignGraphic(TGraphic* source) { AssignSaved(source); }

void TClipboard::Assign(TPersistent* source) {
  if (auto* picture = DynamicCast<TPicture>(source)) return AssignPicture(picture);
  if (auto* graphic = DynamicCast<TGraphic>(source)) return AssignGraphic(graphic);
  TPersistent::Assign(source);
}

void TClipboard::AssignToPicture(TPicture* dest) {
  Open();
  try {
    UINT format = EnumClipboardFormats(0);
    while (format != 0 && !TPicture::SupportsClipboardFormat(format)) format = EnumClipboardFormats(format);
    if (format == 0) throw Exception(SInvalidClipFmt);
    dest->LoadFromClipboardFormat(format, GetClipboardData(format), static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)));
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AssignToBitmap(TBitmap* dest) {
  Open();
  try {
    dest->LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)));
  } catch (...) {
    Close();
    throw;
  }
  Close();
}

void TClipboard::AssignTo(TPersistent* dest) const {
  // Reading still opens and closes: the count is state of the object, not of its content.
  auto* self = const_cast<TClipboard*>(this);
  if (auto* picture = DynamicCast<TPicture>(dest)) return self->AssignToPicture(picture);
  if (auto* bitmap = DynamicCast<TBitmap>(dest)) return self->AssignToBitmap(bitmap);
  TPersistent::AssignTo(dest);
}

TClipboard* Clipboard() {
  auto& instance = ClipboardInstance();
  if (!instance) instance = std::make_unique<TClipboard>();
  return instance.get();
}

}  // namespace tavelo
