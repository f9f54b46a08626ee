// A small but realistic set of registered classes for the stream tests, the fuzz target and
// the benchmarks: a form with nested controls, a font, a status bar with a collection of
// panels, an image list with binary data, events, references and string lists.
#pragma once

#include <string>
#include <vector>

#include "core/collection.h"
#include "core/component.h"
#include "core/stringlist.h"
#include "graphics/colors.h"
#include "controls/cursors.h"

namespace tavelo::testing {

enum TSampleAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
TAVELO_ENUM(TSampleAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
enum TSampleFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
TAVELO_ENUM(TSampleFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TSampleFontStyles = TSet<TSampleFontStyle>;
enum TSampleAlignment { taLeftJustify, taRightJustify, taCenter };
TAVELO_ENUM(TSampleAlignment, taLeftJustify, taRightJustify, taCenter)

// What the Loaded calls of the samples record, in order.
std::vector<std::string>& LoadedLog();

class TSampleFont : public TPersistent {
  TAVELO_CLASS(TSampleFont, TPersistent)
public:
  String Name() const { return name_; }
  void SetName(const String& value) { name_ = value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset value) { charset_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TSampleFontStyles Style() const { return style_; }
  void SetStyle(TSampleFontStyles value) { style_ = value; }
  void Assign(TPersistent* source) override;

private:
  String name_ = "MS Sans Serif";
  int height_ = -11;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TColor color_ = clWindowText;
  TSampleFontStyles style_;
};

class TSampleControl : public TComponent {
  TAVELO_CLASS(TSampleControl, TComponent)
public:
  explicit TSampleControl(TComponent* owner);
  ~TSampleControl() override;

  TSampleAlign Align() const { return align_; }
  void SetAlign(TSampleAlign value) { align_ = value; }
  String Caption() const { return caption_; }
  void SetCaption(const String& value) { caption_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value) { cursor_ = value; }
  TSampleFont* Font() const { return font_; }
  void SetFont(TSampleFont* value) { font_->Assign(value); }
  WideString Hint() const { return hint_; }
  void SetHint(const WideString& value) { hint_ = value; }
  int Left() const { return left_; }
  void SetLeft(int value) { left_ = value; }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  long double Ratio() const { return ratio_; }
  void SetRatio(long double value) { ratio_ = value; }
  char Accel() const { return accel_; }
  void SetAccel(char value) { accel_ = value; }
  long long Big() const { return big_; }
  void SetBig(long long value) { big_ = value; }
  TStringList* Lines() const { return lines_; }
  void SetLines(TStringList* value) { lines_->Assign(value); }
  TSampleControl* Buddy() const { return buddy_; }
  void SetBuddy(TSampleControl* value) { buddy_ = value; }
  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent value) { onClick_ = value; }
  TVariant Data() const { return data_; }
  void SetData(const TVariant& value) { data_ = value; }
  bool IsColorStored() const { return color_ != clBtnFace; }

  TSampleControl* Parent() const { return parent_; }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TSampleAlign align_ = alNone;
  String caption_;
  TColor color_ = clBtnFace;
  TCursor cursor_ = crDefault;
  TSampleFont* font_;
  WideString hint_;
  int left_ = 0;
  int width_ = 0;
  bool visible_ = true;
  long double ratio_ = 0;
  char accel_ = '\0';
  long long big_ = 0;
  TStringList* lines_;
  TSampleControl* buddy_ = nullptr;
  TNotifyEvent onClick_;
  TVariant data_;
  TSampleControl* parent_ = nullptr;
};

class TSamplePanel : public TCollectionItem {
  TAVELO_CLASS(TSamplePanel, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  TSampleAlignment Alignment() const { return alignment_; }
  void SetAlignment(TSampleAlignment value) { alignment_ = value; }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }
  String Text() const { return text_; }
  void SetText(const String& value) { text_ = value; }
  void Assign(TPersistent* source) override;

private:
  TSampleAlignment alignment_ = taLeftJustify;
  int width_ = 50;
  String text_;
};

class TSampleStatusBar : public TSampleControl {
  TAVELO_CLASS(TSampleStatusBar, TSampleControl)
public:
  explicit TSampleStatusBar(TComponent* owner);
  ~TSampleStatusBar() override;
  TOwnedCollection* Panels() const { return panels_; }
  void SetPanels(TOwnedCollection* value) { panels_->Assign(value); }

private:
  TOwnedCollection* panels_;
};

class TSampleImageList : public TComponent {
  TAVELO_CLASS(TSampleImageList, TComponent)
public:
  using TComponent::TComponent;
  const std::string& Bitmap() const { return bitmap_; }
  void SetBitmap(const std::string& value) { bitmap_ = value; }
  int Count() const { return count_; }
  void SetCount(int value) { count_ = value; }

protected:
  void DefineProperties(TFiler& filer) override;

private:
  std::string bitmap_;
  int count_ = 0;
};

class TSampleForm : public TSampleControl {
  TAVELO_CLASS(TSampleForm, TSampleControl)
public:
  explicit TSampleForm(TComponent* owner) : TSampleControl(owner) {}

  TSampleControl* ActiveControl() const { return active_; }
  void SetActiveControl(TSampleControl* value) { active_ = value; }
  TNotifyEvent OnClose() const { return onClose_; }
  void SetOnClose(TNotifyEvent value) { onClose_ = value; }
  void FormClose(TObject* sender) { closedBy = sender; }
  void ButtonClick(TObject* sender) { clickedBy = sender; }
  void Resized(TObject*, int) {}
  // Reports its controls and then the components that have no parent, as windows do.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  TSampleControl* Memo1 = nullptr;
  TSampleControl* Panel1 = nullptr;
  TSampleControl* Button1 = nullptr;
  TSampleStatusBar* StatusBar1 = nullptr;
  TSampleImageList* ImageList1 = nullptr;
  TObject* closedBy = nullptr;
  TObject* clickedBy = nullptr;

private:
  TSampleControl* active_ = nullptr;
  TNotifyEvent onClose_;
};

// Registers the sample classes (once) and returns the form class.
TClass RegisterSamples();

// Resolves top-level names among the forms the tests create.
void AddSampleWindow(TComponent* window);
void RemoveSampleWindow(TComponent* window);

}  // namespace tavelo::testing
