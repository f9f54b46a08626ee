// The tool bar read from a window description, as the editor's main window holds it.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "actions/customaction.h"
#include "actnman/actnman.h"
#include "actnman/actntoolbar.h"
#include "controls/application.h"
#include "controls/forms.h"
#include "core/publish.h"
#include "core/system.h"
#include "tools/formtext.h"

namespace tavelo::testing {

class TToolBarForm : public TForm {
  TAVELO_CLASS(TToolBarForm, TForm)
public:
  explicit TToolBarForm(TComponent* owner) : TForm(owner) {}
  TActionToolBar* ActionToolBar1 = nullptr;
  TActionManager* ActionManager1 = nullptr;
  TAction* Action1 = nullptr;
  TAction* Action2 = nullptr;
  TAction* Action3 = nullptr;
};

TAVELO_PUBLISH(TToolBarForm) {
  c.Field("ActionToolBar1", &Self::ActionToolBar1);
  c.Field("ActionManager1", &Self::ActionManager1);
  c.Field("Action1", &Self::Action1);
  c.Field("Action2", &Self::Action2);
  c.Field("Action3", &Self::Action3);
}

namespace {

void Describe(const std::string& text) {
  static std::list<std::string> kept;
  formtext::TCompiled compiled = formtext::Compile(text, ".");
  kept.push_back(compiled.bytes);
  sys::RegisterResource(compiled.rootClass, sys::kRcData, kept.back().data(),
                        static_cast<std::int32_t>(kept.back().size()));
}

TEST(ToolBarDescription, TheBarIsReadWithItsPropertiesAndBoundToItsItemsAfterLoading) {
  TControlsSession session;
  Describe(
      "ToolBarForm: TToolBarForm {\n"
      "  Left = 10\n  Top = 10\n  ClientWidth = 688\n  ClientHeight = 200\n  Color = clBtnFace\n"
      "  ActionToolBar1: TActionToolBar {\n"
      "    Left = 0\n    Top = 0\n    Width = 688\n    Height = 29\n"
      "    ActionManager = ActionManager1\n    AllowHiding = True\n    Caption = \"ActionToolBar1\"\n"
      "    HorzSeparator = True\n    Orientation = boLeftToRight\n    PersistentHotKeys = False\n"
      "    Spacing = 0\n"
      "  }\n"
      "  ActionManager1: TActionManager {\n"
      "    ActionBars = <\n"
      "      { Items = <\n"
      "          { Action = Action1 }\n"
      "          { Action = Action2 }\n"
      "          { Action = Action3 }\n"
      "        >\n"
      "        ActionBar = ActionToolBar1 }\n"
      "    >\n"
      "    Action1: TAction { Caption = \"&Nouveau fichier...\" }\n"
      "    Action2: TAction { Caption = \"&Ouvrir...\" }\n"
      "    Action3: TAction { Caption = \"&Enregistrer...\" }\n"
      "  }\n"
      "}\n");
  auto* form = tavelo::NewForm<TToolBarForm>(nullptr);
  TActionToolBar* bar = form->ActionToolBar1;
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Align(), alTop);
  EXPECT_EQ(bar->HorzMargin(), 1);
  EXPECT_EQ(bar->VertMargin(), 1);
  EXPECT_TRUE(bar->EdgeBorders().Empty());
  EXPECT_EQ(bar->EdgeInner(), esRaised);
  EXPECT_EQ(bar->EdgeOuter(), esNone);
  EXPECT_TRUE(bar->HorzSeparator());
  EXPECT_EQ(bar->Spacing(), 0);
  EXPECT_EQ(bar->ActionManager(), form->ActionManager1);
  ASSERT_EQ(bar->ItemCount(), 3);
  EXPECT_EQ(bar->ControlAt(1)->ActionClient()->Action(), form->Action2);
  EXPECT_TRUE(bar->ControlAt(1)->Is<TCustomButtonControl>());
  EXPECT_EQ(bar->ControlAt(1)->Caption(), "&Ouvrir...");
  ASSERT_NE(bar->OverflowButton(), nullptr);
  form->Show();
  EXPECT_EQ(bar->Width(), 688);
  EXPECT_FALSE(bar->OverflowButton()->Enabled());
  EXPECT_EQ(bar->OverflowButton()->Left(), 688 - 11);
}

}  // namespace
}  // namespace tavelo::testing
