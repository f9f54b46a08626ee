#include "actnman/tests/actnman_test_support.h"

#include "controls/application.h"
#include "core/publish.h"
#include "core/system.h"
#include "core/streams.h"
#include "streaming/classregistry.h"
#include "streaming/namespacelock.h"
#include "streaming/reader.h"
#include "tools/formtext.h"

namespace tavelo::testing {

TAVELO_PUBLISH(TTestActionBar) {
  c.Property("ActionManager", &Self::ActionManager, &Self::SetActionManager);
  c.Property("AllowHiding", &Self::AllowHiding, &Self::SetAllowHiding).Default(true);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("EdgeOuter", &Self::EdgeOuter, &Self::SetEdgeOuter).Default(esLowered);
  c.Property("HorzSeparator", &Self::HorzSeparator, &Self::SetHorzSeparator);
  c.Property("Orientation", &Self::Orientation, &Self::SetOrientation);
  c.Property("Spacing", &Self::Spacing, &Self::SetSpacing);
}

TAVELO_PUBLISH(TManagerForm) {
  c.Field("MenuBar1", &Self::MenuBar1);
  c.Field("ToolBar1", &Self::ToolBar1);
  c.Field("ActionManager1", &Self::ActionManager1);
  c.Field("ImageList1", &Self::ImageList1);
  c.Field("Action1", &Self::Action1);
  c.Field("FileOpen1", &Self::FileOpen1);
  c.Field("FichierEnregistrer", &Self::FichierEnregistrer);
  c.Field("Action3", &Self::Action3);
  c.Field("EditCut1", &Self::EditCut1);
  c.Field("EditCopy1", &Self::EditCopy1);
  c.Field("EditPaste1", &Self::EditPaste1);
  c.Field("EditSelectAll1", &Self::EditSelectAll1);
  c.Field("FileSaveAs1", &Self::FileSaveAs1);
  c.Field("FileExit1", &Self::FileExit1);
}

std::string ManagerFormText(const std::string& extra) {
  return R"(ManagerForm: TManagerForm {
  Left = 20
  Top = 20
  Width = 696
  Height = 200
  Caption = "Barres"
  MenuBar1: TTestActionBar {
    Left = 0
    Top = 0
    Width = 688
    Height = 29
    ActionManager = ActionManager1
    Caption = "MenuBar1"
    EdgeOuter = esNone
    Spacing = 0
  }
  ToolBar1: TTestActionBar {
    Left = 0
    Top = 29
    Width = 688
    Height = 29
    ActionManager = ActionManager1
    AllowHiding = True
    Caption = "ToolBar1"
    HorzSeparator = True
    Orientation = boLeftToRight
    Spacing = 0
  }
  ActionManager1: TActionManager {
)" + extra + R"(    ActionBars.SessionCount = 1
    ActionBars = <
      { Items = <
          { Caption = "&Fichier"
            Items = <
              { Action = Action1; ImageIndex = 6; ShortCut = 16462 }
              { Action = FileOpen1; ImageIndex = 7; ShortCut = 16463 }
              { Action = FichierEnregistrer; ImageIndex = 8; ShortCut = 16467 }
              { Action = FileSaveAs1; ImageIndex = 30 }
              { Action = FileExit1; ImageIndex = 43 }
            > }
          { Caption = "&Edition"
            Items = <
              { Action = EditCut1; ImageIndex = 0; ShortCut = 16472 }
              { Action = EditCopy1; ImageIndex = 1; ShortCut = 16451 }
              { Action = EditPaste1; ImageIndex = 2; ShortCut = 16470 }
              { Action = EditSelectAll1; ShortCut = 16449 }
            > }
          { Caption = "?"
            Items = <
              { Action = Action3 }
            > }
        >
        ActionBar = MenuBar1 }
      { Items = <
          { Action = Action1; ImageIndex = 6; ShortCut = 16462 }
          { Action = FileOpen1; ImageIndex = 7; ShortCut = 16463 }
        > }
      { Items = <
          { Action = Action1; ImageIndex = 6; ShortCut = 16462 }
          { Action = FileOpen1; ImageIndex = 7; ShortCut = 16463 }
          { Action = FichierEnregistrer; ImageIndex = 8; ShortCut = 16467 }
          { Action = EditCut1; ImageIndex = 0; ShortCut = 16472 }
          { Action = EditCopy1; ImageIndex = 1; ShortCut = 16451 }
          { Action = EditPaste1; ImageIndex = 2; ShortCut = 16470 }
        >
        ActionBar = ToolBar1 }
    >
    Images = ImageList1
    LinkedActionLists = <>
    Left = 336
    Top = 224
    Action1: TAction {
      Category = "Fichier"
      Caption = "&Nouveau fichier..."
      ImageIndex = 5
      ShortCut = 16462
    }
    FileOpen1: TAction {
      Category = "Fichier"
      Caption = "&Ouvrir..."
      Hint = "Ouvrir|Ouvrir un fichier existant"
      ImageIndex = 7
      ShortCut = 16463
    }
    FichierEnregistrer: TAction {
      Category = "Fichier"
      Caption = "&Enregistrer..."
      ImageIndex = 8
      ShortCut = 16467
    }
    Action3: TAction {
      Category = "?"
      Caption = "&A propos..."
    }
    EditCut1: TAction {
      Category = "Edition"
      Caption = "Cou&per"
      ImageIndex = 0
      ShortCut = 16472
    }
    EditCopy1: TAction {
      Category = "Edition"
      Caption = "&Copier"
      ImageIndex = 1
      ShortCut = 16451
    }
    EditPaste1: TAction {
      Category = "Edition"
      Caption = "Co&ller"
      ImageIndex = 2
      ShortCut = 16470
    }
    EditSelectAll1: TAction {
      Category = "Edition"
      Caption = "&Tout s)" "\xC3\xA9" R"(lectionner"
      ShortCut = 16449
    }
    FileSaveAs1: TAction {
      Category = "Fichier"
      Caption = "Enregistrer &sous..."
      ImageIndex = 30
    }
    FileExit1: TAction {
      Category = "Fichier"
      Caption = "&Quitter"
      ImageIndex = 43
    }
  }
  ImageList1: TImageList {
    Left = 72
    Top = 128
  }
}
)";
}

TManagerForm* ReadManagerForm(const std::string& text) {
  RegisterClasses({TTestActionBar::StaticClass(), TActionManager::StaticClass(), TAction::StaticClass(),
                   TImageList::StaticClass()});
  formtext::TCompiled compiled = formtext::Compile(text, ".");
  TMemoryStream stream;
  stream.WriteBuffer(compiled.bytes.data(), static_cast<std::int32_t>(compiled.bytes.size()));
  stream.SetPosition(0);
  auto* form = new TManagerForm(Application(), 0);
  // One loaded list for the whole read, walked afterwards, as a window's own loading does.
  TLoadedListScope loaded;
  ReadComponentFromStream(stream, form);
  for (TComponent* component : loaded.List()) component->Loaded();
  return form;
}

}  // namespace tavelo::testing
