#include "app/program.h"

// Before any other header that brings the platform's in (see unit1.h).
#include "app/unit1.h"

#include "app/about.h"
#include "app/splash.h"
#include "controls/application.h"
#include "streaming/classregistry.h"

namespace tavelo {

void RegisterProgramClasses() {
  RegisterClasses({TAboutBox::StaticClass(), TForm2::StaticClass(), TPanel::StaticClass(), TImage::StaticClass(),
                   TLabel::StaticClass(), TTimer::StaticClass(), TButton::StaticClass()});
  // Every class the main window's description names.
  RegisterClasses({TForm1::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(), TMemo::StaticClass(),
                   TStatusBar::StaticClass(), TActionMainMenuBar::StaticClass(), TActionToolBar::StaticClass(),
                   TActionManager::StaticClass(), TAction::StaticClass(), TFileOpen::StaticClass(),
                   TEditCut::StaticClass(), TEditCopy::StaticClass(), TEditPaste::StaticClass(),
                   TEditSelectAll::StaticClass(), TFileSaveAs::StaticClass(), TFileExit::StaticClass(),
                   TImageList::StaticClass()});
}

void CreateProgramForms() {
  Application()->CreateForm(Form1);
  Application()->CreateForm(AboutBox);
  Application()->CreateForm(Form2);
}

}  // namespace tavelo
