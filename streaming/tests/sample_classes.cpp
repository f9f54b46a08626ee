#include "streaming/tests/sample_classes.h"

#include <algorithm>

#include "streaming/classregistry.h"
#include "core/filer.h"
#include "streaming/fixups.h"

namespace tavelo::testing {

std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

TAVELO_PUBLISH(TSampleFont) {
  c.Property("Charset", &Self::Charset, &Self::SetCharset).Default(DEFAULT_CHARSET);
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clWindowText);
  c.Property("Height", &Self::Height, &Self::SetHeight);
  c.Property("Name", &Self::Name, &Self::SetName);
  c.Property("Style", &Self::Style, &Self::SetStyle).Default({});
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
  c.Property("Accel", &Self::Accel, &Self::SetAccel).Default('\0');
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Big", &Self::Big, &Self::SetBig);
  c.Property("Buddy", &Self::Buddy, &Self::SetBuddy);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Color", &Self::Color, &Self::SetColor).Stored<&Self::IsColorStored>();
  c.Property("Cursor", &Self::Cursor, &Self::SetCursor).Default(crDefault);
  c.Property("Data", &Self::Data, &Self::SetData);
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("Hint", &Self::Hint, &Self::SetHint);
  c.Property("Left", &Self::Left, &Self::SetLeft);
  c.Property("Lines", &Self::Lines, &Self::SetLines);
  c.Property("Ratio", &Self::Ratio, &Self::SetRatio);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Property("Width", &Self::Width, &Self::SetWidth).Default(0);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
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
  c.Property("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taLeftJustify);
  c.Property("Text", &Self::Text, &Self::SetText);
  c.Property("Width", &Self::Width, &Self::SetWidth).Default(50);
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
  c.Property("Panels", &Self::Panels, &Self::SetPanels);
}

TSampleStatusBar::TSampleStatusBar(TComponent* owner)
    : TSampleControl(owner), panels_(new TOwnedCollection(this, TSamplePanel::StaticClass())) {}

TSampleStatusBar::~TSampleStatusBar() { delete panels_; }

TAVELO_PUBLISH(TSampleImageList) {
  c.Property("Count", &Self::Count, &Self::SetCount).Default(0);
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
  c.Property("ActiveControl", &Self::ActiveControl, &Self::SetActiveControl);
  c.Event("OnClose", &Self::OnClose, &Self::SetOnClose);
  c.Field("Memo1", &Self::Memo1);
  c.Field("Panel1", &Self::Panel1);
  c.Field("Button1", &Self::Button1);
  c.Field("StatusBar1", &Self::StatusBar1);
  c.Field("ImageList1", &Self::ImageList1);
  c.Method<&Self::FormClose>("FormClose");
  c.Method<&Self::ButtonClick>("ButtonClick");
  c.Method<&Self::Resized>("Resized");
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

}  // namespace tavelo::testing
