#include "app/unit1.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "app/about.h"
#include "app/appconsts.h"
#include "app/splash.h"
#include "controls/application.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/streams.h"
#include "dialogs/msgdlg.h"

namespace tavelo {

TForm1* Form1 = nullptr;

TAVELO_PUBLISH(TForm1) {
  c.Field("PageControl1", &Self::PageControl1);
  c.Field("TabSheet1", &Self::TabSheet1);
  c.Field("Memo1", &Self::Memo1);
  c.Field("StatusBar1", &Self::StatusBar1);
  c.Field("ActionMainMenuBar1", &Self::ActionMainMenuBar1);
  c.Field("ActionToolBar1", &Self::ActionToolBar1);
  c.Field("ActionManager1", &Self::ActionManager1);
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
  c.Field("ImageList1", &Self::ImageList1);
  c.Method<&Self::Action1Execute>("Action1Execute");
  c.Method<&Self::FileOpen1Accept>("FileOpen1Accept");
  c.Method<&Self::FichierEnregistrerExecute>("FichierEnregistrerExecute");
  c.Method<&Self::FileSaveAs1BeforeExecute>("FileSaveAs1BeforeExecute");
  c.Method<&Self::FileSaveAs1Accept>("FileSaveAs1Accept");
  c.Method<&Self::Action3Execute>("Action3Execute");
  c.Method<&Self::Memo1Change>("Memo1Change");
  c.Method<&Self::FormShow>("FormShow");
  c.Method<&Self::FormClose>("FormClose");
}

namespace {

constexpr int kPathPanel = 1;
constexpr int kModifiedPanel = 2;
constexpr int kModifiedFlag = 1;
// The shell's desktop-directory folder: where the closing save starts.
constexpr int kDesktopDirectory = CSIDL_DESKTOPDIRECTORY;

// Everything up to and including the last path separator or drive colon.
String DirectoryPart(const String& path) {
  std::size_t at = path.find_last_of("\\/:");
  return at == String::npos ? String() : path.substr(0, at + 1);
}

// Saving over an existing file asks first; the description leaves the option off.
void AskBeforeReplacing(TSaveDialog* dialog) {
  TOpenOptions options = dialog->Options();
  options.Include(ofOverwritePrompt);
  dialog->SetOptions(options);
}

}  // namespace

String GetSpecialFolderPath(int folder) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list)) || !list) return String();
  char buffer[MAX_PATH + 1];
  std::memset(buffer, 0, sizeof buffer);
  bool converted = SHGetPathFromIDListA(list, buffer) != FALSE;
  ILFree(list);
  if (!converted) return String();
  buffer[MAX_PATH] = '\0';
  return String(buffer);
}

void TForm1::Action1Execute(TObject*) {
  Memo1->Clear();
  CurrentFile = SUntitled;
  StatusBar1->Panels()->Items(kPathPanel)->SetText(CurrentFile);
}

void TForm1::FileOpen1Accept(TObject*) {
  String fileName = FileOpen1->Dialog()->FileName();
  // The memo keeps only what comes before a NUL, so such a file would come back truncated
  // on the next save: it is refused before anything changes.
  TMemoryStream data;
  data.LoadFromFile(fileName);
  if (data.Size() > 0 && std::memchr(data.Memory(), 0, static_cast<std::size_t>(data.Size())) != nullptr)
    throw EFOpenError(SNulInDocument, {fileName});
  data.SetPosition(0);
  Memo1->Lines()->LoadFromStream(data);
  CurrentFile = FileOpen1->Dialog()->FileName();
  StatusBar1->Panels()->Items(kPathPanel)->SetText(CurrentFile);
}

void TForm1::FichierEnregistrerExecute(TObject*) {
  if (!CurrentFile.empty() && !DirectoryPart(CurrentFile).empty()) {
    Memo1->Lines()->SaveToFile(CurrentFile);
    return;
  }
  // A name without a folder (a new document's) would land wherever the process happens to
  // run: the user chooses the place, starting from that name.
  if (!CurrentFile.empty()) FileSaveAs1->Dialog()->SetFileName(CurrentFile);
  FileSaveAs1->Trigger();
}

void TForm1::FileSaveAs1BeforeExecute(TObject*) {
  FileSaveAs1->Dialog()->SetInitialDir(DirectoryPart(CurrentFile));
  AskBeforeReplacing(FileSaveAs1->Dialog());
}

void TForm1::FileSaveAs1Accept(TObject*) {
  Memo1->Lines()->SaveToFile(FileSaveAs1->Dialog()->FileName());
  CurrentFile = FileSaveAs1->Dialog()->FileName();
  StatusBar1->Panels()->Items(kPathPanel)->SetText(CurrentFile);
}

void TForm1::Action3Execute(TObject*) { AboutBox->Show(); }

void TForm1::Memo1Change(TObject*) {
  Memo1->SetTag(kModifiedFlag);
  StatusBar1->Panels()->Items(kModifiedPanel)->SetText(SModified);
}

void TForm1::FormShow(TObject*) { Form2->Show(); }

void TForm1::FormClose(TObject*, TCloseAction& action) {
  if (!ReleaseDocument()) action = caNone;
}

bool TForm1::ReleaseDocument() {
  if (Memo1->Tag() != kModifiedFlag) return true;
  TModalResult answer = ShowMessageDialog(SSaveChanges, DialogWarning, TDialogButtons{ButtonYes, ButtonNo}, 0);
  if (answer == ResultNo) return true;
  // Closed by its caption button: neither yes nor no, so nothing is lost.
  if (answer != ResultYes) return false;
  // The user always chooses the file anew, starting on the desktop.
  TSaveDialog* dialog = FileSaveAs1->Dialog();
  dialog->SetInitialDir(GetSpecialFolderPath(kDesktopDirectory));
  dialog->SetFileName(String());
  dialog->SetDefaultExt(SScriptExtension);
  AskBeforeReplacing(dialog);
  if (!dialog->Execute()) return false;
  try {
    Memo1->Lines()->SaveToFile(dialog->FileName());
  } catch (...) {
    if (Application()) Application()->HandleException(this, std::current_exception());
    return false;
  }
  return true;
}

void TForm1::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_QUERYENDSESSION:
      inherited::Dispatch(message);
      if (message.Result != 0 && !ReleaseDocument()) message.Result = 0;
      break;
    default:
      inherited::Dispatch(message);
  }
}

}  // namespace tavelo
