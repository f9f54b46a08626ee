#include "controls/stdctrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/tests/form_standin.h"
#include "core/messages.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {
namespace {

struct TCounter : TObject {
  void Count(TObject*) { ++count; }
  int count = 0;
};

std::vector<std::string> PublishedNames(TClass cls) {
  std::vector<std::string> names;
  for (const TPropInfo* p : cls->Properties()) names.push_back(p->Name());
  return names;
}

int LineHeight(TFont* font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}

int TextWidth(TFont* font, const char* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font->Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

class StdCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override { form = std::make_unique<TFormStandIn>(nullptr); }
  void TearDown() override {
    form.reset();
    EXPECT_EQ(HeldDeviceContextCount(), 0);
  }
  template <class T> T* Add(int l, int t, int w, int h) {
    auto* c = new T(form.get());  // the form owns and frees them
    c->SetBounds(l, t, w, h);
    c->SetParent(form.get());
    return c;
  }
  TButton* AddButton(const char* caption, TModalResult result) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->SetOnClick(TNotifyEvent::Bind<&TCounter::Count>(&clicks[b]));
    return b;
  }
  std::unique_ptr<TFormStandIn> form;
  std::map<TButton*, TCounter> clicks;
};

TEST(AcceleratorTest, TheCharacterAfterTheLastSingleAmpersandInAnyCase) {
  EXPECT_TRUE(IsAccelerator('n', "&Nom"));
  EXPECT_TRUE(IsAccelerator('N', "&nom"));
  EXPECT_FALSE(IsAccelerator('o', "&Nom"));
  EXPECT_TRUE(IsAccelerator('b', "&a &b"));
  EXPECT_FALSE(IsAccelerator('a', "&a &b"));
  EXPECT_FALSE(IsAccelerator('a', "&&a"));
  EXPECT_FALSE(IsAccelerator('&', "a&&b"));
  EXPECT_TRUE(IsAccelerator('x', "&&&x"));
  EXPECT_FALSE(IsAccelerator('n', "Nom"));
  EXPECT_FALSE(IsAccelerator('n', "Nom&"));
  EXPECT_TRUE(IsAccelerator(static_cast<unsigned char>('\xC9'), "&\xE9t\xE9"));  // É matches é
}

TEST_F(StdCtrlsTest, DefaultsAndPublishedProperties) {
  TLabel label(nullptr);
  EXPECT_EQ(label.Width(), 65);
  EXPECT_EQ(label.Height(), 17);
  EXPECT_TRUE(label.AutoSize());
  EXPECT_TRUE(label.ShowAccelChar());
  EXPECT_FALSE(label.Transparent());
  EXPECT_TRUE(label.ControlStyle().Contains(csOpaque));
  label.SetTransparent(true);
  EXPECT_FALSE(label.ControlStyle().Contains(csOpaque));
  EXPECT_EQ(PublishedNames(TLabel::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "Align", "Alignment", "Anchors", "AutoSize", "BiDiMode", "Caption", "Color", "Constraints", "Enabled", "FocusControl", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "ShowAccelChar", "ShowHint", "Transparent", "Layout", "Visible", "WordWrap", "OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave"}));

  TButton button(nullptr);
  EXPECT_EQ(button.Width(), 75);
  EXPECT_EQ(button.Height(), 25);
  EXPECT_TRUE(button.TabStop());
  EXPECT_EQ(button.ControlStyle(), (TControlStyle{csSetCaption, csOpaque, csDoubleClicks}));
  EXPECT_EQ(PublishedNames(TButton::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Left", "Top", "Width", "Height", "Cursor", "Hint", "Action", "Anchors", "BiDiMode", "Cancel", "Caption", "Constraints", "Default", "Enabled", "Font", "ModalResult", "ParentBiDiMode", "ParentFont", "ShowHint", "TabOrder", "TabStop", "Visible", "OnClick", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp"}));
  EXPECT_EQ(TButton::StaticClass()->FindProperty("TabStop")->Default(), 1);
}

TEST_F(StdCtrlsTest, AutoSizedLabelsFitTheirText) {
  auto* empty = Add<TLabel>(10, 10, 65, 40);
  auto* right = Add<TLabel>(50, 60, 65, 17);
  auto* wrapped = Add<TLabel>(10, 100, 100, 17);
  int line = LineHeight(empty->Font());
  ASSERT_GT(line, 0);

  // An empty caption still measures one line.
  empty->SetCaption("x");
  empty->SetCaption("");
  EXPECT_EQ(empty->Height(), line);
  EXPECT_EQ(empty->Width(), TextWidth(empty->Font(), " "));
  empty->SetCaption("&");
  EXPECT_EQ(empty->Height(), line);

  right->SetAlignment(taRightJustify);
  right->SetCaption("Bonjour");
  EXPECT_EQ(right->Width(), TextWidth(right->Font(), "Bonjour"));
  EXPECT_EQ(right->Left() + right->Width(), 115);

  wrapped->SetWordWrap(true);
  wrapped->SetCaption("un deux trois quatre cinq six sept huit neuf dix onze douze");
  EXPECT_EQ(wrapped->Width(), 100);
  EXPECT_GE(wrapped->Height(), 3 * line);
  EXPECT_EQ(wrapped->Height() % line, 0);

  // A larger font grows it.
  empty->SetCaption("Bonjour");
  int before = empty->Height();
  empty->Font()->SetSize(empty->Font()->Size() * 2);
  EXPECT_GT(empty->Height(), before);
  EXPECT_EQ(empty->Height(), LineHeight(empty->Font()));

  // Without AutoSize nothing moves.
  wrapped->SetAutoSize(false);
  int height = wrapped->Height();
  wrapped->SetCaption("un");
  EXPECT_EQ(wrapped->Height(), height);
  wrapped->SetAutoSize(true);
  EXPECT_EQ(wrapped->Height(), line);
}

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsControlAndForgetsAFreedOne) {
  auto* label = Add<TLabel>(10, 10, 65, 17);
  label->SetCaption("&Nom :");
  auto* edit = Add<TCustomControl>(80, 10, 100, 20);
  label->SetFocusControl(edit);
  form->Open();

  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'x', 0), 0);
  EXPECT_EQ(form->FocusRequests, 0);
  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'n', 0), 1);
  EXPECT_EQ(form->Focused, edit);
  EXPECT_EQ(GetFocus(), edit->Handle());

  form->Focused = nullptr;
  label->SetShowAccelChar(false);
  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'n', 0), 0);
  label->SetShowAccelChar(true);
  label->SetEnabled(false);
  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'n', 0), 0);
  label->SetEnabled(true);
  edit->SetVisible(false);  // a hidden control cannot take the focus
  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'N', 0), 0);
  EXPECT_EQ(form->Focused, nullptr);

  // A control of another owner tells the label when it goes.
  auto other = std::make_unique<TCustomControl>(nullptr);
  label->SetFocusControl(other.get());
  other.reset();
  EXPECT_EQ(label->FocusControl(), nullptr);
}

// Paints the form's windowless children on a blue surface.
void PaintForm(TFormStandIn& form, TSurface& surface) {
  surface.Fill(RGB(0, 0, 255));
  form.PaintTo(surface.Dc(), 0, 0);
}

TEST_F(StdCtrlsTest, ADisabledLabelIsEmbossedHighlightBelowRightThenShadow) {
  auto* label = Add<TLabel>(10, 10, 60, 30);
  label->SetAutoSize(false);
  label->SetTransparent(true);
  label->Font()->SetColor(clBlack);
  label->Font()->SetSize(14);
  label->SetCaption("HI");
  form->Open();
  TSurface enabled(100, 60), disabled(100, 60);
  PaintForm(*form, enabled);
  label->SetEnabled(false);
  PaintForm(*form, disabled);

  const COLORREF ink = RGB(0, 0, 0), background = RGB(0, 0, 255);
  COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_NE(highlight, shadow);
  int glyph = 0, shadowed = 0, lit = 0, edges = 0;
  for (int y = 1; y < 60; ++y) {
    for (int x = 1; x < 100; ++x) {
      if (enabled.At(x, y) == ink) {
        ++glyph;
        if (disabled.At(x, y) == shadow) ++shadowed;
      }
      // Where the text leaves the background untouched, the copy one pixel up and left
      // shows through in the highlight colour.
      if (enabled.At(x - 1, y - 1) == ink && enabled.At(x, y) == background) {
        ++edges;
        if (disabled.At(x, y) == highlight) ++lit;
      }
    }
  }
  ASSERT_GT(glyph, 20);
  ASSERT_GT(edges, 5);
  EXPECT_EQ(shadowed, glyph);
  EXPECT_EQ(lit, edges);
}

TEST_F(StdCtrlsTest, LabelLayoutMovesTheTextDownAndMouseTrackingFiresItsEvents) {
  auto* label = Add<TLabel>(0, 0, 60, 50);
  label->SetAutoSize(false);
  label->SetColor(clWhite);
  label->Font()->SetColor(clBlack);
  label->SetCaption("HI");
  form->Open();
  auto inkRows = [&] {
    TSurface surface(60, 50);
    PaintForm(*form, surface);
    int top = 50, bottom = -1;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 60; ++x)
        if (surface.At(x, y) == RGB(0, 0, 0)) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return std::make_pair(top, bottom);
  };
  auto atTop = inkRows();
  int line = LineHeight(label->Font());
  label->SetLayout(tlBottom);
  auto atBottom = inkRows();
  EXPECT_EQ(atBottom.first - atTop.first, 50 - line);
  label->SetLayout(tlCenter);
  EXPECT_EQ(inkRows().first - atTop.first, (50 - line) / 2);

  TCounter entered, left;
  label->SetOnMouseEnter(TNotifyEvent::Bind<&TCounter::Count>(&entered));
  label->SetOnMouseLeave(TNotifyEvent::Bind<&TCounter::Count>(&left));
  label->Perform(FM_MOUSE_ENTER, 0, 0);
  EXPECT_EQ(entered.count, 1);
  EXPECT_EQ(left.count, 0);
  label->Perform(FM_MOUSE_LEAVE, 0, 0);
  EXPECT_EQ(left.count, 1);
}

TEST_F(StdCtrlsTest, EnterClicksTheActiveButtonAndEscapeTheCancelOneWithoutModifiers) {
  auto* ok = AddButton("OK", ResultOk);
  auto* cancel = AddButton("&Annuler", ResultCancel);
  auto* retry = AddButton("Réessayer", ResultRetry);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  form->Open();
  EXPECT_TRUE(ok->Active());
  EXPECT_FALSE(cancel->Active());

  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_RETURN, 0), 1);
  EXPECT_EQ(clicks[ok].count, 1);
  EXPECT_EQ(form->ModalResult, ResultOk);
  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(clicks[cancel].count, 1);
  EXPECT_EQ(form->ModalResult, ResultCancel);
  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_TAB, 0), 0);

  // Alt comes with the key data; Ctrl and Shift from the keyboard.
  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_RETURN, 0x20000000), 0);
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE held[256];
  std::copy(std::begin(keys), std::end(keys), std::begin(held));
  held[VK_CONTROL] = 0x80;
  SetKeyboardState(held);
  std::intptr_t withCtrl = form->Perform(FM_DIALOG_KEY, VK_RETURN, 0);
  SetKeyboardState(keys);
  EXPECT_EQ(withCtrl, 0);
  EXPECT_EQ(clicks[ok].count, 1);

  // With the focus on another button, Enter clicks that one.
  form->Announce(retry);
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(retry->Active());
  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_RETURN, 0), 1);
  EXPECT_EQ(clicks[retry].count, 1);
  EXPECT_EQ(clicks[ok].count, 1);
  EXPECT_EQ(form->ModalResult, ResultRetry);

  // A button that cannot take the focus does not answer.
  form->Announce(nullptr);
  ok->SetEnabled(false);
  EXPECT_EQ(form->Perform(FM_DIALOG_KEY, VK_RETURN, 0), 0);

  // The accelerator clicks too.
  EXPECT_EQ(form->Perform(FM_DIALOG_CHAR, 'a', 0), 1);
  EXPECT_EQ(clicks[cancel].count, 2);
}

TEST_F(StdCtrlsTest, TheActiveButtonCarriesThePlatformsDefaultStyle) {
  auto* ok = AddButton("OK", ResultOk);
  auto* other = AddButton("Autre", ResultNone);
  ok->SetDefault(true);
  form->Open();
  auto style = [](TButton* b) { return GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_TYPEMASK; };
  EXPECT_EQ(style(ok), BS_DEFPUSHBUTTON);
  EXPECT_EQ(style(other), BS_PUSHBUTTON);
  form->Announce(other);
  EXPECT_EQ(style(ok), BS_PUSHBUTTON);
  EXPECT_EQ(style(other), BS_DEFPUSHBUTTON);
  // A control that is not a button gives Enter back to the default one.
  auto* edit = Add<TCustomControl>(0, 100, 50, 20);
  form->Announce(edit);
  EXPECT_EQ(style(ok), BS_DEFPUSHBUTTON);
  EXPECT_EQ(style(other), BS_PUSHBUTTON);
  // Setting Default asks the form to tell every button again.
  form->Focused = nullptr;
  ok->SetDefault(false);
  other->SetDefault(true);
  EXPECT_EQ(style(ok), BS_PUSHBUTTON);
  EXPECT_EQ(style(other), BS_DEFPUSHBUTTON);
  EXPECT_TRUE(other->Active());
}

TEST_F(StdCtrlsTest, ThePlatformsClickNotificationClicksAfterTheFocusMoved) {
  auto* ok = AddButton("OK", ResultOk);
  auto* other = AddButton("Autre", ResultNone);
  other->SetTop(40);
  form->Open();

  // The notification as the parent receives it, reflected to the button.
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok->Handle()), BN_CLICKED),
               reinterpret_cast<LPARAM>(ok->Handle()));
  EXPECT_EQ(clicks[ok].count, 1);
  EXPECT_EQ(form->ModalResult, ResultOk);

  // A press on an unfocused button focuses it first; the click follows the release.
  form->ModalResult = ResultNone;
  SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->Focused, ok);
  EXPECT_EQ(GetFocus(), ok->Handle());
  EXPECT_EQ(clicks[ok].count, 2);
  EXPECT_EQ(form->ModalResult, ResultOk);

  // When the form keeps the focus elsewhere the press is swallowed.
  form->RefuseFocus = true;
  SendMessageA(other->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks[other].count, 0);
  EXPECT_NE(GetFocus(), other->Handle());
}

}  // namespace
}  // namespace tavelo::testing
