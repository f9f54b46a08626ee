#include "streaming/tests/sample_classes.h"

#include <algorithm>

#include "streaming/classregistry.h"
#include "streaming/filerbase.h"
#include "streaming/fixups.h"

namespace tavelo::samples {

std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

TAVELO_PUBLISH(TSampleFont) {
  c.Property("Charset", &TSampleFont::Charset, &TSampleFont::SetCharset).Default(DEFAULT_CHARSET);
  c.Property("Color", &TSampleFont::Color, &TSampleFont::SetColor).Default(clWindowText);
  c.Property("Height", &TSampleFont::Height, &TSampleFont::SetHeight);
  c.Property("Name", &TSampleFont::Name, &TSampleFont::SetName);
  c.Property("Style", &TSampleFont::Style, &TSampleFont::SetStyle).Default({});
}

void TSampleFont::Assign(TPersistent* source) {
  if (auto* other = DynamicCast<TSampleFont>(source)) {
    name_ = other->name_;
    height_ = other->height_;
    charset_ = other->charset_;
    color_ = other->color_;
    style_ = other->style_;
    return;
  }
  TPersistent::Assign(source);
}

TAVELO_PUBLISH(TSampleControl) {
  c.Property("Accel", &TSampleControl::Accel, &TSampleControl::SetAccel).Default('\0');
  c.Property("Align", &TSampleControl::Align, &TSampleControl::SetAlign).Default(alNone);
  c.Property("Big", &TSampleControl::Big, &TSampleControl::SetBig);
  c.Property("Buddy", &TSampleControl::Buddy, &TSampleControl::SetBuddy);
  c.Property("Caption", &TSampleControl::Caption, &TSampleControl::SetCaption);
  c.Property("Color", &TSampleControl::Color, &TSampleControl::SetColor).Stored<&TSampleControl::IsColorStored>();
  c.Property("Cursor", &TSampleControl::Cursor, &TSampleControl::SetCursor).Default(crDefault);
  c.Property("Data", &TSampleControl::Data, &TSampleControl::SetData);
  c.Property("Font", &TSampleControl::Font, &TSampleControl::SetFont);
  c.Property("Hint", &TSampleControl::Hint, &TSampleControl::SetHint);
  c.Property("Left", &TSampleControl::Left, &TSampleControl::SetLeft);
  c.Property("Lines", &TSampleControl::Lines, &TSampleControl::SetLines);
  c.Property("Ratio", &TSampleControl::Ratio, &TSampleControl::SetRatio);
  c.Property("Visible", &TSampleControl::Visible, &TSampleControl::SetVisible).Default(true);
  c.Property("Width", &TSampleControl::Width, &TSampleControl::SetWidth).Default(0);
  c.Property("OnClick", &TSampleControl::OnClick, &TSampleControl::SetOnClick);
}

TSampleControl::TSampleControl(TComponent* owner)
    : TComponent(owner), font_(new TSampleFont), lines_(new TStringList) {}

TSampleControl::~TSampleControl() {
  delete font_;
  delete lines_;
}

void TSampleControl::SetParentComponent(TComponent* parent) {
  if (auto* control = DynamicCast<TSampleControl>(parent)) parent_ = control;
}

void TSampleControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (auto* control = DynamicCast<TSampleControl>(root->Components(i)); control && control->parent_ == this)
      proc(control);
}

void TSampleControl::Loaded() {
  TComponent::Loaded();
  LoadedLog().push_back(Name());
}

void TSampleControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove) {
    if (component == buddy_) buddy_ = nullptr;
    if (component == parent_) parent_ = nullptr;
  }
}

TAVELO_PUBLISH(TSamplePanel) {
  c.Property("Alignment", &TSamplePanel::Alignment, &TSamplePanel::SetAlignment).Default(taLeftJustify);
  c.Property("Text", &TSamplePanel::Text, &TSamplePanel::SetText);
  c.Property("Width", &TSamplePanel::Width, &TSamplePanel::SetWidth).Default(50);
}

void TSamplePanel::Assign(TPersistent* source) {
  if (auto* other = DynamicCast<TSamplePanel>(source)) {
    alignment_ = other->alignment_;
    width_ = other->width_;
    text_ = other->text_;
    return;
  }
  TCollectionItem::Assign(source);
}

TAVELO_PUBLISH(TSampleStatusBar) {
  c.Property("Panels", &TSampleStatusBar::Panels, &TSampleStatusBar::SetPanels);
}

TSampleStatusBar::TSampleStatusBar(TComponent* owner)
    : TSampleControl(owner), panels_(new TOwnedCollection(this, TSamplePanel::StaticClass())) {}

TSampleStatusBar::~TSampleStatusBar() { delete panels_; }

TAVELO_PUBLISH(TSampleImageList) {
  c.Property("Count", &TSampleImageList::Count, &TSampleImageList::SetCount).Default(0);
}

void TSampleImageList::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  auto* ancestor = DynamicCast<TSampleImageList>(filer.Ancestor());
  filer.DefineBinaryProperty(
      "Bitmap",
      [this](TStream& stream) {
        bitmap_.resize(static_cast<std::size_t>(stream.Size()));
        stream.ReadBuffer(bitmap_.data(), static_cast<std::int32_t>(bitmap_.size()));
      },
      [this](TStream& stream) { stream.WriteBuffer(bitmap_.data(), static_cast<std::int32_t>(bitmap_.size())); },
      ancestor ? bitmap_ != ancestor->bitmap_ : !bitmap_.empty());
}

TAVELO_PUBLISH(TSampleForm) {
  c.Property("ActiveControl", &TSampleForm::ActiveControl, &TSampleForm::SetActiveControl);
  c.Property("OnClose", &TSampleForm::OnClose, &TSampleForm::SetOnClose);
  c.Field("Memo1", &TSampleForm::Memo1);
  c.Field("Panel1", &TSampleForm::Panel1);
  c.Field("Button1", &TSampleForm::Button1);
  c.Field("StatusBar1", &TSampleForm::StatusBar1);
  c.Field("ImageList1", &TSampleForm::ImageList1);
  c.Method<&TSampleForm::FormClose>("FormClose");
  c.Method<&TSampleForm::ButtonClick>("ButtonClick");
  c.Method<&TSampleForm::Resized>("Resized");
}

void TSampleForm::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TSampleControl::GetChildren(proc, root);
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) proc(Components(i));
}

namespace {

std::vector<TComponent*>& Windows() {
  static std::vector<TComponent*> windows;
  return windows;
}

TComponent* FindSampleWindow(const String& name) {
  for (TComponent* window : Windows())
    if (SameName(window->Name(), name)) return window;
  return nullptr;
}

}  // namespace

void AddSampleWindow(TComponent* window) { Windows().push_back(window); }

void RemoveSampleWindow(TComponent* window) {
  Windows().erase(std::remove(Windows().begin(), Windows().end(), window), Windows().end());
}

TClass RegisterSamples() {
  static const bool done = [] {
    RegisterClasses({TSampleForm::StaticClass(), TSampleControl::StaticClass(), TSampleStatusBar::StaticClass(),
                     TSampleImageList::StaticClass()});
    RegisterFindGlobalComponentProc(FindSampleWindow);
    return true;
  }();
  (void)done;
  return TSampleForm::StaticClass();
}

}  // namespace tavelo::samples
