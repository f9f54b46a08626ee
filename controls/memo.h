// The platform's edit window as a control: the single-line edit and the multi-line memo
// whose lines live in the window itself.
#pragma once

#include <windows.h>
// The string lists' GetObject, not the platform's macro.
#undef GetObject

#include "controls/controls.h"
#include "core/stringlist.h"

namespace tavelo {

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
TAVELO_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
TAVELO_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

// The platform's "EDIT" window. Its modified flag, limit and password character are kept
// here while it has no window and given back to each new window.
class TCustomEdit : public TWinControl {
  TAVELO_CLASS(TCustomEdit, TWinControl)
public:
  explicit TCustomEdit(TComponent* owner);

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // Hides the base's: the height follows the font only with a single border.
  void SetAutoSize(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  // 0 leaves the platform's maximum.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // The window's own flag (not a document's).
  bool Modified();
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  String SelText();

  void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SelectAll();

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }

  void AdjustSize() override;
  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  // Tells the parent, then OnChange.
  virtual void Change();
  bool MultiLine();
  // Notifications raised while the window is made are not the user's.
  bool Creating() const { return creating_; }

private:
  void AdjustHeight();
  void UpdateHeightStyle();

  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  int maxLength_ = 0;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  bool creating_ = false;
  TNotifyEvent onChange_;
};

class TCustomMemo;

// The memo's lines: every read and write is a message to the memo's window; nothing is
// copied here.
class TMemoStrings : public TStrings {
  TAVELO_CLASS(TMemoStrings, TStrings)
public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  void Clear() override;
  void Delete(int index) override;
  void Insert(int index, String s) override;

protected:
  String Get(int index) const override;
  int GetCount() const override;
  void Put(int index, String s) override;
  // The whole text, lines as the window holds them: no line break is added after the last.
  String GetTextStr() const override;
  void SetTextStr(const String& value) override;
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
  TAVELO_CLASS(TCustomMemo, TCustomEdit)
public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* value) { lines_->Assign(value); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  // The caret as column (x) and line (y).
  TPoint CaretPos();
  void SetCaretPos(TPoint value);

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(char& key) override;
  void Loaded() override;
  TAlignment ControlsAlignment() const override { return alignment_; }

private:
  TAlignment alignment_ = taLeftJustify;
  std::unique_ptr<TMemoStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
  TAVELO_CLASS(TMemo, TCustomMemo)
public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

}  // namespace tavelo
