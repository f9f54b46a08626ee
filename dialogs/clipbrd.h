// TClipboard: the process's one view of the system clipboard. Opening nests, so a group of
// writes goes out under one platform opening; the first write of an opening replaces what
// the clipboard held, later ones add formats. Pictures and graphics go both ways.
#pragma once

#include <windows.h>

#include "core/persistent.h"
#include "core/sysutils.h"

namespace tavelo {

class TPicture;
class TGraphic;
class TBitmap;
struct TMessage;

// The formats registered under the family's names when the clipboard unit starts.
UINT PictureClipboardFormat();
UINT ComponentClipboardFormat();

class TClipboard : public TPersistent {
  TAVELO_CLASS(TClipboard, TPersistent)
public:
  TClipboard() = default;
  ~TClipboard() override;
  TClipboard(const TClipboard&) = delete;
  TClipboard& operator=(const TClipboard&) = delete;

  // The platform's clipboard stays open from the outermost Open to its Close. A refused
  // opening raises and counts for nothing.
  virtual void Open();
  virtual void Close();
  // Empties the clipboard.
  virtual void Clear();
  // The clipboard's own window's procedure, when it had to make one.
  virtual void WndProc(TMessage& message);

  int OpenCount() const { return openCount_; }
  HWND ClipboardWindow() const { return clipboardWindow_; }

  // True when the format is there; for the picture format, also when any format a picture
  // can read is there.
  bool HasFormat(UINT format);
  // The text on the clipboard (empty when there is none); setting replaces the clipboard's
  // content with it.
  String AsText();
  void SetAsText(const String& value);
  // Hands data to the clipboard, which owns it from then on.
  void SetAsHandle(UINT format, HANDLE value);
  HANDLE AsHandle(UINT format);

  // From a picture or a graphic: written to the clipboard.
  void Assign(TPersistent* source) override;

protected:
  // Into a picture or a bitmap: read from the clipboard.
  void AssignTo(TPersistent* dest) const override;
  // Before each write: the first in an opening empties the clipboard.
  void Adding();

private:
  void AssignPicture(TPicture* source);
  void AssignGraphic(TGraphic* source);
  template <class T> void AssignSaved(T* source);
  void AssignToPicture(TPicture* dest);
  void AssignToBitmap(TBitmap* dest);
  void WriteClipboardFormat(UINT format, HANDLE data, HPALETTE palette);

  int openCount_ = 0;
  HWND clipboardWindow_ = nullptr;
  bool allocated_ = false;
  bool emptied_ = false;
};

// The process's clipboard, made on first request.
TClipboard* Clipboard();

}  // namespace tavelo
