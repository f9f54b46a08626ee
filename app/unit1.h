// The editor's main window: one document in the memo, the path it was last opened or saved
// under, and the memo's Tag as its modified flag. Everything it shows is built from its
// description; this class holds only the handlers its events name.
#pragma once

// First: the memo's header takes the platform's GetObject macro away before the string lists'
// member of that name is declared, as the tab control's strings expect.
#include "controls/memo.h"

#include "actions/customaction.h"
#include "actions/stdactns.h"
#include "actnman/actnman.h"
#include "actnman/actnmenus.h"
#include "actnman/actntoolbar.h"
#include "controls/comctrls.h"
#include "controls/forms.h"
#include "graphics/imglist.h"

namespace tavelo {

class TForm1 : public TForm {
  TAVELO_CLASS(TForm1, TForm)
public:
  explicit TForm1(TComponent* owner) : TForm(owner) {}

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TMemo* Memo1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TActionMainMenuBar* ActionMainMenuBar1 = nullptr;
  TActionToolBar* ActionToolBar1 = nullptr;
  TActionManager* ActionManager1 = nullptr;
  TAction* Action1 = nullptr;
  TFileOpen* FileOpen1 = nullptr;
  TAction* FichierEnregistrer = nullptr;
  TAction* Action3 = nullptr;
  TEditCut* EditCut1 = nullptr;
  TEditCopy* EditCopy1 = nullptr;
  TEditPaste* EditPaste1 = nullptr;
  TEditSelectAll* EditSelectAll1 = nullptr;
  TFileSaveAs* FileSaveAs1 = nullptr;
  TFileExit* FileExit1 = nullptr;
  TImageList* ImageList1 = nullptr;

  // New: an empty, untitled document. The modified flag stays as it was.
  void Action1Execute(TObject* sender);
  // Open: the accepted file replaces the text; one holding a NUL byte is refused whole.
  void FileOpen1Accept(TObject* sender);
  // Save: to the current file when it has a folder, else through Save As.
  void FichierEnregistrerExecute(TObject* sender);
  void FileSaveAs1BeforeExecute(TObject* sender);
  void FileSaveAs1Accept(TObject* sender);
  // About: the about box, modeless.
  void Action3Execute(TObject* sender);
  void Memo1Change(TObject* sender);
  // Every showing brings the splash up; its timer hides it.
  void FormShow(TObject* sender);
  // A changed document is offered for saving; the window stays unless the user let it go.
  void FormClose(TObject* sender, TCloseAction& action);

  // The path of the current document (what New, Open and Save As last set).
  const String& DocumentPath() const { return CurrentFile; }

protected:
  // The end of the user's session asks about a changed document as closing does.
  void Dispatch(TMessage& message) override;

private:
  // Whether the document may go: unchanged, the user said "&Non", or said "&Oui" and it was
  // saved. A cancelled dialog or a failed save (shown first) keeps it.
  bool ReleaseDocument();

  String CurrentFile;
};

extern TForm1* Form1;

// The file-system path of a shell special folder, or "" when it has none or the shell fails.
String GetSpecialFolderPath(int folder);

}  // namespace tavelo
