// What the dialog tests share: a step run from a thread timer while a modal dialog runs (the
// test's only way in while the dialog's loop holds the thread), and synthesised keys.
#pragma once

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace tavelo::testing {

// Calls step on every tick until it returns true or the deadline passes; on the deadline,
// expire runs once (to end the dialog so that a failing test does not hang).
class TModalDriver {
public:
  TModalDriver(std::function<bool()> step, std::function<void()> expire, DWORD milliseconds = 10000)
      : step_(std::move(step)), expire_(std::move(expire)), deadline_(GetTickCount() + milliseconds) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 40, &Tick);
  }
  ~TModalDriver() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  TModalDriver(const TModalDriver&) = delete;
  TModalDriver& operator=(const TModalDriver&) = delete;
  bool Done() const { return done_; }
  bool Expired() const { return expired_; }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TModalDriver* self = current_;
    if (!self || self->done_ || self->running_) return;
    self->running_ = true;
    if (self->step_()) {
      self->done_ = true;
    } else if (static_cast<LONG>(GetTickCount() - self->deadline_) > 0) {
      self->done_ = self->expired_ = true;
      self->expire_();
    }
    self->running_ = false;
  }
  static inline TModalDriver* current_ = nullptr;
  std::function<bool()> step_;
  std::function<void()> expire_;
  DWORD deadline_;
  UINT_PTR timer_ = 0;
  bool done_ = false;
  bool expired_ = false;
  bool running_ = false;
};

// Key presses as the keyboard would make them, modifiers first and released last; with key 0
// the modifiers alone go down and up.
inline void PressKeys(const std::vector<WORD>& modifiers, WORD key) {
  std::vector<INPUT> input;
  auto add = [&](WORD vk, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = flags;
    input.push_back(i);
  };
  for (WORD m : modifiers) add(m, 0);
  if (key) {
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
  }
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) add(*it, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The platform clipboard's text, or "(rien)".
inline std::string PlatformClipboardText() {
  std::string text = "(rien)";
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

inline void SetPlatformClipboardText(const char* text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  const std::size_t size = strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  memcpy(GlobalLock(block), text, size);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

}  // namespace tavelo::testing
