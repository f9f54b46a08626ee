// What the Windows benchmarks of controls share: a precise clock, a top-level parent window
// that may show, as a form would be, a JavaScript-like document of a given size and the
// temporary file that holds it.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "controls/controls.h"

namespace tavelo::bench {

inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Now() {
  LARGE_INTEGER zero{}, now;
  ::QueryPerformanceCounter(&now);
  return Seconds(zero, now);
}

// Lets the windows handle what their creation and destruction queued.
inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class TBenchHost : public TCustomControl {
public:
  explicit TBenchHost(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(0, 0, 800, 600);
  }
  void Open() { UpdateControlState(); }

protected:
  bool IsForm() const override { return true; }
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE;
    params.WndParent = nullptr;
  }
};

// Lines of minified and of ordinary code, CR LF between them, about `size` bytes.
inline std::string JavaScriptText(std::size_t size) {
  static const char* lines[] = {
      "function f(a, b) {",
      "  var total = 0;",
      "  for (var i = 0; i < a.length; i++) { total += a[i] * b; }",
      "  return total;",
      "}",
      "!function(e){var t={};function n(r){if(t[r])return t[r].exports;var o=t[r]={i:r,l:!1,exports:{}};"
      "return e[r].call(o.exports,o,o.exports,n),o.l=!0,o.exports}n.m=e,n.c=t}([]);",
      "",
  };
  std::string text;
  text.reserve(size + 256);
  for (std::size_t i = 0; text.size() < size; ++i) {
    text += lines[i % (sizeof lines / sizeof *lines)];
    text += "\r\n";
  }
  return text;
}

// Writes `text` to `name` in the temporary folder and returns the file's whole path.
inline std::string WriteTemp(const std::string& text, const std::string& name) {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return path;
}

inline std::string ReadWholeFile(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::fseek(f, 0, SEEK_END);
  text.resize(static_cast<std::size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  text.resize(std::fread(text.data(), 1, text.size(), f));
  std::fclose(f);
  return text;
}

}  // namespace tavelo::bench
