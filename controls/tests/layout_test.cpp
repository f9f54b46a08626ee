#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/controls.h"
#include "core/messages.h"
#include "core/publish.h"
#include "core/streams.h"
#include "streaming/classregistry.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo::testing {

// A panel-like control that publishes what a container streams, by naming the inherited
// accessors.
class TLayoutPanel : public TCustomControl {
  TAVELO_CLASS(TLayoutPanel, TCustomControl)
public:
  explicit TLayoutPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(0, 0, 185, 41);
  }
  void Open() { UpdateControlState(); }
  bool TopLevel = false;  // answers as a form when it is the top of a tree
  void Loading(bool on) {
    if (on) IncludeState(csLoading);
    else ExcludeState(csLoading);
  }

protected:
  bool IsForm() const override { return TopLevel; }
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    if (TopLevel) {
      params.Style = WS_POPUP | WS_CLIPCHILDREN;
      params.WndParent = nullptr;
    }
  }
};

TAVELO_PUBLISH(TLayoutPanel) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("BiDiMode", &Self::BiDiMode, &Self::SetBiDiMode).Default(bdLeftToRight);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Constraints", &Self::Constraints, &Self::SetConstraints);
  c.Property("ParentBiDiMode", &Self::ParentBiDiMode, &Self::SetParentBiDiMode).Default(true);
}

namespace {

class TLabelish : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void Loading(bool on) {
    if (on) IncludeState(csLoading);
    else ExcludeState(csLoading);
  }
  void Scale(int m, int d) { ChangeScale(m, d); }
};

class TFixedWidth : public TWinControl {
public:
  explicit TFixedWidth(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csFixedWidth});
  }
};

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    root = std::make_unique<TLayoutPanel>(nullptr);
    root->TopLevel = true;
    root->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override { root.reset(); }
  template <class T> T* Child(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(root.get());
    c->SetBounds(l, t, w, h);
    c->SetParent(parent);
    return c;
  }
  std::unique_ptr<TLayoutPanel> root;
};

TEST_F(LayoutTest, SettingBoundsAndFontHeightMarksTheScalingFlags) {
  TLabelish label(nullptr);
  label.SetScalingFlags({});
  label.SetLeft(3);
  label.SetWidth(label.Width());  // marked even when nothing changes
  EXPECT_EQ(label.ScalingFlags(), (TScalingFlags{sfLeft, sfWidth}));
  label.Font()->SetColor(clRed);
  EXPECT_FALSE(label.ScalingFlags().Contains(sfFont));
  label.Font()->SetHeight(label.Font()->Height() - 3);
  EXPECT_TRUE(label.ScalingFlags().Contains(sfFont));
  label.Scale(1, 1);
  EXPECT_EQ(label.ScalingFlags(), TScalingFlags{});  // a pass clears them, even 1 / 1
  EXPECT_EQ(label.Left(), 3);
}

TEST_F(LayoutTest, ScalingByThreeHalves) {
  auto* panel = Child<TLayoutPanel>(root.get(), 10, 20, 100, 60);
  auto* label = Child<TLabelish>(panel, 5, 7, 31, 13);
  auto* fixed = Child<TFixedWidth>(panel, 4, 10, 50, 20);
  label->Font()->SetSize(10);  // its own font
  ASSERT_FALSE(label->ParentFont());
  ASSERT_TRUE(fixed->ParentFont());
  int fixedFont = fixed->Font()->Size();
  root->ScaleControls(3, 2);
  // Not loading: everything scales; the right edge is scaled and the width follows from it.
  EXPECT_EQ(panel->Left(), 15);
  EXPECT_EQ(panel->Top(), 30);
  EXPECT_EQ(panel->Width(), 165 - 15);
  EXPECT_EQ(panel->Height(), 120 - 30);
  EXPECT_EQ(label->Left(), MulDiv(5, 3, 2));
  EXPECT_EQ(label->Width(), MulDiv(36, 3, 2) - MulDiv(5, 3, 2));
  EXPECT_EQ(label->Top(), MulDiv(7, 3, 2));
  EXPECT_EQ(label->Height(), MulDiv(20, 3, 2) - MulDiv(7, 3, 2));
  EXPECT_EQ(label->Font()->Size(), 15);
  EXPECT_EQ(fixed->Left(), 6);
  EXPECT_EQ(fixed->Width(), 50);  // fixed width stays
  EXPECT_EQ(fixed->Height(), 45 - 15);
  EXPECT_EQ(fixed->Font()->Size(), fixedFont);  // follows the parent's

  // While loading only what was marked scales: here the left alone.
  TLabelish loose(nullptr);
  loose.SetBounds(10, 10, 20, 20);
  loose.SetScalingFlags({});
  loose.SetLeft(30);
  loose.Font()->SetSize(8);
  loose.SetScalingFlags({sfLeft});
  loose.Loading(true);
  loose.Scale(3, 2);
  loose.Loading(false);
  EXPECT_EQ(loose.Left(), 45);
  EXPECT_EQ(loose.Top(), 10);
  EXPECT_EQ(loose.Width(), 20);
  EXPECT_EQ(loose.Height(), 20);
  EXPECT_EQ(loose.Font()->Size(), 8);
}

TEST_F(LayoutTest, ScalingScalesTheRecordedParentSize) {
  root->Open();
  auto* corner = Child<TLabelish>(root.get(), 300, 200, 50, 40);
  corner->SetAnchors({akRight, akBottom});
  ASSERT_EQ(corner->RecordedParentSize().x, 400);
  root->DisableAlign();
  corner->Scale(1, 2);
  root->EnableAlign();
  EXPECT_EQ(corner->RecordedParentSize().x, 200);
  EXPECT_EQ(corner->RecordedParentSize().y, 150);
}

TEST_F(LayoutTest, AutomaticSizeFitsTheChildrenAndMovesThemToTheCorner) {
  root->Open();
  auto* panel = Child<TLayoutPanel>(root.get(), 10, 10, 200, 100);
  panel->SetBorderWidth(2);
  auto* a = Child<TLabelish>(panel, 30, 20, 50, 10);
  auto* b = Child<TWinControl>(panel, 40, 40, 20, 20);
  ASSERT_TRUE(panel->Showing());
  panel->SetAutoSize(true);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(a->Top(), 0);
  EXPECT_EQ(b->Left(), 10);
  EXPECT_EQ(b->Top(), 20);
  EXPECT_EQ(panel->Width(), 50 + 4);
  EXPECT_EQ(panel->Height(), 40 + 4);
  EXPECT_EQ(panel->Left(), 10);  // the control itself stays where it is
  // A new child out of the extents grows it through the alignment.
  Child<TLabelish>(panel, 70, 5, 10, 10);
  EXPECT_EQ(panel->Width(), 80 + 4);
  // Aligned at the top, it only decides its height; the width is the alignment's.
  panel->SetAlign(alTop);
  EXPECT_EQ(panel->Width(), 400);
  EXPECT_EQ(panel->Height(), 44);
  EXPECT_EQ(panel->Top(), 0);
  // Without visible children the size is 0 in the dimension it decides.
  a->Hide();
  b->Hide();
  for (int i = 0; i < panel->ControlCount(); ++i) panel->Controls(i)->Hide();
  panel->Realign();
  EXPECT_EQ(panel->Height(), 0);
  // A client-aligned control is never sized by its children.
  panel->SetAlign(alClient);
  EXPECT_EQ(panel->Height(), 300);
}

TEST_F(LayoutTest, BidirectionalModeNeedsTheSystemAndFollowsTheParent) {
  struct TLocale {
    bool saved = SysLocale().MiddleEast;
    ~TLocale() { SysLocale().MiddleEast = saved; }
  } restore;
  TAlignment a = taLeftJustify;
  ChangeBiDiModeAlignment(a);
  EXPECT_EQ(a, taRightJustify);
  ChangeBiDiModeAlignment(a);
  EXPECT_EQ(a, taLeftJustify);
  a = taCenter;
  ChangeBiDiModeAlignment(a);
  EXPECT_EQ(a, taCenter);

  auto* child = Child<TLayoutPanel>(root.get(), 0, 0, 50, 50);
  SysLocale().MiddleEast = false;
  root->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(child->BiDiMode(), bdRightToLeft);  // inherited like the font
  EXPECT_TRUE(child->ParentBiDiMode());
  EXPECT_FALSE(child->UseRightToLeftReading());  // but the system has no right-to-left
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_LEFT), static_cast<std::uint32_t>(DT_LEFT));

  SysLocale().MiddleEast = true;
  EXPECT_TRUE(child->UseRightToLeftReading());
  EXPECT_TRUE(child->UseRightToLeftAlignment());
  EXPECT_TRUE(child->UseRightToLeftScrollBar());
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_LEFT), static_cast<std::uint32_t>(DT_RIGHT | DT_RTLREADING));
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_RIGHT | DT_WORDBREAK), static_cast<std::uint32_t>(DT_WORDBREAK | DT_RTLREADING));
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_CENTER), static_cast<std::uint32_t>(DT_CENTER | DT_RTLREADING));
  root->Open();
  LONG_PTR ex = GetWindowLongPtrA(child->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT),
            WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT);

  child->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_FALSE(child->ParentBiDiMode());
  EXPECT_TRUE(child->UseRightToLeftReading());
  EXPECT_FALSE(child->UseRightToLeftAlignment());
  EXPECT_FALSE(child->UseRightToLeftScrollBar());
  EXPECT_EQ(child->DrawTextBiDiModeFlags(DT_LEFT), static_cast<std::uint32_t>(DT_RTLREADING));
  ex = GetWindowLongPtrA(child->Handle(), GWL_EXSTYLE);  // the window was made again
  EXPECT_EQ(ex & (WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR | WS_EX_RIGHT), WS_EX_RTLREADING);
  child->SetBiDiMode(bdRightToLeftNoAlign);
  EXPECT_TRUE(child->UseRightToLeftScrollBar());
  EXPECT_FALSE(child->UseRightToLeftAlignment());
  root->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(child->BiDiMode(), bdRightToLeftNoAlign);  // it has its own now
  child->SetParentBiDiMode(true);
  EXPECT_EQ(child->BiDiMode(), bdLeftToRight);
}

TEST_F(LayoutTest, ADescriptionIsReadIntoAControlTree) {
  RegisterClasses({TLayoutPanel::StaticClass()});
  std::string bytes;
  {
    TLayoutPanel source(nullptr);
    source.SetName("Fenetre");
    source.SetBounds(10, 20, 300, 200);
    auto* top = new TLayoutPanel(&source);
    top->SetName("Barre");
    top->SetBounds(0, 0, 300, 30);
    top->SetAlign(alTop);
    top->SetCaption("Outils");
    top->Constraints()->SetMinHeight(25);
    top->SetParent(&source);
    auto* inner = new TLayoutPanel(&source);
    inner->SetName("Bouton");
    inner->SetBounds(4, 5, 60, 22);
    inner->SetHint("Ouvrir|Ouvre un fichier");
    inner->SetCursor(crHandPoint);
    inner->SetParent(top);
    TMemoryStream stream;
    WriteComponentToStream(stream, &source);
    bytes.assign(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
  }
  // Defaults are not written: the cursor of the panels but one, the zero constraints.
  EXPECT_EQ(bytes.find("MaxWidth"), std::string::npos);
  EXPECT_NE(bytes.find("MinHeight"), std::string::npos);
  EXPECT_EQ(bytes.find("crDefault"), std::string::npos);
  EXPECT_NE(bytes.find("crHandPoint"), std::string::npos);
  EXPECT_EQ(bytes.find("ParentBiDiMode"), std::string::npos);

  TLayoutPanel read(nullptr);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.SetPosition(0);
  ReadComponentFromStream(stream, &read);
  EXPECT_EQ(read.Name(), String("Fenetre"));
  EXPECT_EQ(read.Width(), 300);
  ASSERT_EQ(read.ControlCount(), 1);
  auto* bar = DynamicCast<TLayoutPanel>(read.Controls(0));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Name(), String("Barre"));
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->Caption(), String("Outils"));
  EXPECT_EQ(bar->Constraints()->MinHeight(), 25);
  EXPECT_EQ(bar->Height(), 30);
  ASSERT_EQ(bar->ControlCount(), 1);
  auto* button = bar->Controls(0);
  EXPECT_EQ(button->Name(), String("Bouton"));
  EXPECT_EQ(button->Owner(), &read);
  EXPECT_EQ(button->BoundsRect().left, 4);
  EXPECT_EQ(button->Top(), 5);
  EXPECT_EQ(button->Width(), 60);
  EXPECT_EQ(button->Hint(), String("Ouvrir|Ouvre un fichier"));
  EXPECT_EQ(button->Cursor(), crHandPoint);
}

}  // namespace
}  // namespace tavelo::testing
