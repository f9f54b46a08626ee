// The editor's handlers on its window built from a description of the document's components
// (the memo on its page, the status bar, the ten actions in a plain action list), driven as a
// user drives them: the message dialog's buttons, names typed into the file dialogs, keys.
// Before any other header that brings the platform's in (see unit1.h).
#include "app/unit1.h"

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "actions/actionlist.h"
#include "app/about.h"
#include "app/appconsts.h"
#include "app/program.h"
#include "app/splash.h"
#include "controls/application.h"
#include "controls/screen.h"
#include "controls/tests/control_test_support.h"
#include "core/system.h"
#include "dialogs/msgdlg.h"
#include "dialogs/tests/dialog_test_support.h"
#include "streaming/classregistry.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

const char* const kDocumentForm = R"(Form1: TForm1 {
  Left = 40
  Top = 40
  Width = 480
  Height = 320
  Caption = "Tavelo"
  OldCreateOrder = False
  OnClose = FormClose
  OnShow = FormShow
  PageControl1: TPageControl {
    ActivePage = TabSheet1
    Align = alClient
    TabSheet1: TTabSheet {
      Caption = "   Js"
      Memo1: TMemo {
        Align = alClient
        ScrollBars = ssVertical
        OnChange = Memo1Change
      }
    }
  }
  StatusBar1: TStatusBar {
    Panels = <
      { Alignment = taCenter; Bevel = pbNone; Text = "Tavelo"; Width = 90 }
      { Alignment = taCenter; Width = 350 }
      { Alignment = taCenter; Bevel = pbRaised; Width = 100 }
      { Alignment = taCenter; Width = 200 }
    >
  }
  ActionList1: TCustomActionList {
    Action1: TAction { Caption = "&Nouveau fichier..."; ShortCut = 16462; OnExecute = Action1Execute }
    FileOpen1: TFileOpen {
      Caption = "&Ouvrir..."
      Dialog.DefaultExt = "js"
      Dialog.Filter = "Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*"
      Dialog.Title = "Ouverture de fichier"
      ShortCut = 16463
      OnAccept = FileOpen1Accept
    }
    FichierEnregistrer: TAction { Caption = "&Enregistrer..."; ShortCut = 16467; OnExecute = FichierEnregistrerExecute }
    Action3: TAction { Caption = "&A propos..."; OnExecute = Action3Execute }
    EditCut1: TEditCut { Caption = "Cou&per"; ShortCut = 16472 }
    EditCopy1: TEditCopy { Caption = "&Copier"; ShortCut = 16451 }
    EditPaste1: TEditPaste { Caption = "Co&ller"; ShortCut = 16470 }
    EditSelectAll1: TEditSelectAll { Caption = "&Tout sélectionner"; ShortCut = 16449 }
    FileSaveAs1: TFileSaveAs {
      Caption = "Enregistrer &sous..."
      Dialog.DefaultExt = "js"
      Dialog.Filter = "Fichiers javascripts (*.js*)|*.js|Tous les fichiers (*.*)|*.*"
      Dialog.Title = "Enregistrer sous"
      BeforeExecute = FileSaveAs1BeforeExecute
      OnAccept = FileSaveAs1Accept
    }
    FileExit1: TFileExit { Caption = "&Quitter" }
  }
}
)";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// ---- The windows the handlers raise ----

// The platform dialog's own window: the taken-over window's parent for the explorer style.
HWND DialogWindow(const TCommonDialog& dialog) { return dialog.Handle() ? GetParent(dialog.Handle()) : nullptr; }

HWND FileNameEdit(HWND dialog) {
  for (int id : {0x47c, 0x480})
    if (HWND control = GetDlgItem(dialog, id)) return control;
  return nullptr;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The thread's visible platform message box (the overwrite question).
BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
  char cls[16] = {};
  GetClassNameA(window, cls, sizeof cls);
  // The file dialogs are of the same class, with unnamed labels too, but have a name box.
  if (std::string(cls) == "#32770" && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) &&
      !FileNameEdit(window)) {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

HWND ThreadMessageBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindMessageBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

// The message dialog on show, if one is up.
TMessageForm* ShownMessageForm() {
  for (int i = 0; i < Screen()->CustomFormCount(); ++i)
    if (auto* form = DynamicCast<TMessageForm>(Screen()->CustomForms(i)))
      if (form->HandleAllocated() && IsWindowVisible(form->Handle())) return form;
  return nullptr;
}

// A button of the message dialog, pressed as a click does.
void Press(TMessageForm* form, const char* name) {
  auto* button = DynamicCast<TButton>(form->FindComponent(name));
  ASSERT_NE(button, nullptr) << name;
  PostMessageA(button->Handle(), BM_CLICK, 0, 0);
}

// Ends whatever window of the editor waits for the user.
void CancelEverything() {
  if (HWND box = ThreadMessageBox()) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  if (TMessageForm* form = ShownMessageForm()) PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  for (TCommonDialog* dialog : {static_cast<TCommonDialog*>(Form1->FileSaveAs1->Dialog()),
                                static_cast<TCommonDialog*>(Form1->FileOpen1->Dialog())})
    if (HWND window = DialogWindow(*dialog)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
}

// The windows of the editor that wait for the user now.
std::set<HWND> WaitingWindows() {
  std::set<HWND> windows;
  if (HWND box = ThreadMessageBox()) windows.insert(box);
  if (TMessageForm* form = ShownMessageForm()) windows.insert(form->Handle());
  for (TCommonDialog* dialog : {static_cast<TCommonDialog*>(Form1->FileSaveAs1->Dialog()),
                                static_cast<TCommonDialog*>(Form1->FileOpen1->Dialog())})
    if (HWND window = DialogWindow(*dialog)) windows.insert(window);
  return windows;
}

// What the user does in each window that comes up, in order; each step returns true once
// its window has been answered. A window that comes up after the last step, or is still
// open on the deadline, fails the test and is cancelled.
class TUser {
public:
  using TStep = std::function<bool()>;
  TUser& Then(TStep step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // Runs the steps while action() runs its modal windows.
  void While(const std::function<void()>& action) {
    TModalDriver driver(
        [this] {
          if (next_ < steps_.size()) {
            while (next_ < steps_.size() && steps_[next_]()) ++next_;
            // The last one answered may take a moment to go.
            if (next_ == steps_.size()) answered_ = WaitingWindows();
            return false;
          }
          for (HWND window : WaitingWindows())
            if (!answered_.count(window)) {
              ADD_FAILURE() << "a window came up that the user did not expect";
              CancelEverything();
            }
          return false;
        },
        [] {
          ADD_FAILURE() << "a window was still waiting for the user on the deadline";
          CancelEverything();
        });
    action();
    EXPECT_EQ(next_, steps_.size()) << "steps taken";
  }

private:
  std::vector<TStep> steps_;
  std::size_t next_ = 0;
  std::set<HWND> answered_;
};

// The closing question: its text, kind and buttons, then the given answer ("Yes", "No", or
// the caption's close button).
TUser::TStep Answer(const char* button) {
  return [button] {
    TMessageForm* form = ShownMessageForm();
    if (!form) return false;
    EXPECT_EQ(form->Caption(), "Avertissement");
    EXPECT_EQ(form->Message->Caption(), "le texte a ete modifié\rsauver les changements?");
    auto* yes = DynamicCast<TButton>(form->FindComponent("Yes"));
    auto* no = DynamicCast<TButton>(form->FindComponent("No"));
    EXPECT_TRUE(yes && yes->Caption() == "&Oui");
    EXPECT_TRUE(no && no->Caption() == "&Non");
    if (button)
      Press(form, button);
    else
      PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    return true;
  };
}

// The save dialog: check what it shows, then type name and accept (or cancel with no name).
TUser::TStep SaveAs(std::optional<std::string> name, std::function<void(HWND edit)> check = nullptr) {
  return [name, check] {
    HWND window = DialogWindow(*Form1->FileSaveAs1->Dialog());
    HWND edit = window ? FileNameEdit(window) : nullptr;
    if (!edit || !IsWindowVisible(window)) return false;
    if (check) check(edit);
    if (name) {
      SetWindowTextA(edit, name->c_str());
      PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    } else {
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return true;
  };
}

// The platform's question before replacing a file: answered no, then the dialog cancelled.
TUser::TStep RefuseReplacing(std::string* text) {
  return [text] {
    HWND box = ThreadMessageBox();
    if (!box) return false;
    *text = WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    return true;
  };
}

TUser::TStep CancelSaveDialog() { return SaveAs(std::nullopt); }

class EditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    RegisterProgramClasses();
    RegisterClasses({TCustomActionList::StaticClass()});
    static const formtext::TCompiled compiled = formtext::Compile(kDocumentForm, ".");
    static const bool registered = (sys::RegisterResource(compiled.rootClass, sys::kRcData, compiled.bytes.data(),
                                                          static_cast<std::int32_t>(compiled.bytes.size())),
                                    true);
    (void)registered;
    CreateProgramForms();
    Form1->Show();
    SetForegroundWindow(Form1->Handle());
    ASSERT_TRUE(PumpUntil([] { return GetFocus() != nullptr; }));
    Application()->SetOnException(TExceptionEvent::Bind<&TErrorLog::Caught>(&errors));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "tavelo-editeur-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override {
    StopControls();
    Form1 = nullptr;
    AboutBox = nullptr;
    Form2 = nullptr;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryA(path.c_str()); else DeleteFileA(path.c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
  }

  std::string Path(const char* name) const { return folder + "\\" + name; }
  TMemo* Memo() const { return Form1->Memo1; }
  String Panel(int index) const { return Form1->StatusBar1->Panels()->Items(index)->Text(); }
  // The user's own text, as the memo's window holds it.
  void Type(const char* text) { Memo()->Lines()->SetText(text); }
  void Open(const std::string& path) {
    Form1->FileOpen1->Dialog()->SetFileName(path);
    Form1->FileOpen1Accept(Form1->FileOpen1);
  }
  // The window's close button, as the caption's is: the close path, then the end.
  void CloseWindow() { SendMessageA(Form1->Handle(), WM_CLOSE, 0, 0); }
  // Whether closing ended the program: the quit message is already queued when it did.
  bool Ended() const {
    Application()->ProcessMessages();
    return Application()->Terminated();
  }

  std::string folder;
  // What the application's exception display was given.
  struct TErrorLog : TObject {
    void Caught(TObject*, Exception& error) { messages.push_back(error.Message()); }
    std::vector<String> messages;
  } errors;
};

// ---- The document's state ----

TEST_F(EditorTest, ANewWindowHasAnEmptyUntitledUnchangedDocument) {
  EXPECT_EQ(Memo()->Text(), "");
  EXPECT_EQ(Form1->DocumentPath(), "");
  EXPECT_EQ(Memo()->Tag(), 0);
  EXPECT_EQ(Panel(0), "Tavelo");
  EXPECT_EQ(Panel(1), "");
  EXPECT_EQ(Panel(2), "");
  EXPECT_EQ(Panel(3), "");
}

TEST_F(EditorTest, NewEmptiesTheMemoNamesTheDocumentAndLeavesTheFlag) {
  Form1->Action1->Trigger();
  EXPECT_EQ(Form1->DocumentPath(), SUntitled);
  EXPECT_EQ(Panel(1), "Sans titre.js");
  // Clearing an empty memo is no change.
  EXPECT_EQ(Memo()->Tag(), 0);
  EXPECT_EQ(Panel(2), "");

  Type("var a;");
  EXPECT_EQ(Memo()->Tag(), 1);
  EXPECT_EQ(Panel(2), "Modifié");
  Form1->Action1->Trigger();
  EXPECT_EQ(Memo()->Text(), "");
  // Never reset: the flag and panel 2 survive New.
  EXPECT_EQ(Memo()->Tag(), 1);
  EXPECT_EQ(Panel(2), "Modifié");
  EXPECT_EQ(Panel(0), "Tavelo");
  EXPECT_EQ(Panel(3), "");
}

TEST_F(EditorTest, TypingMarksTheDocumentModified) {
  Memo()->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Memo()->Handle(); }));
  PressKeys({}, 'A');
  ASSERT_TRUE(PumpUntil([&] { return Memo()->Text() == "a"; }));
  EXPECT_EQ(Memo()->Tag(), 1);
  EXPECT_EQ(Panel(2), "Modifié");
}

TEST_F(EditorTest, OpenShowsLoneLineFeedsAsCrLfAndCountsAsAChange) {
  WriteFile(Path("lf.js"), "var a;\nvar b;\n\nfin");
  Open(Path("lf.js"));
  EXPECT_EQ(Memo()->Text(), "var a;\r\nvar b;\r\n\r\nfin");
  EXPECT_EQ(Form1->DocumentPath(), Path("lf.js"));
  EXPECT_EQ(Panel(1), Path("lf.js"));
  EXPECT_EQ(Memo()->Tag(), 1);
  EXPECT_EQ(Panel(2), "Modifié");
}

TEST_F(EditorTest, OpeningTheSameTextAsShownIsNoChange) {
  WriteFile(Path("vide.js"), "");
  Open(Path("vide.js"));
  EXPECT_EQ(Memo()->Tag(), 0);
  EXPECT_EQ(Panel(2), "");
  EXPECT_EQ(Panel(1), Path("vide.js"));
}

TEST_F(EditorTest, AFileWithANulByteIsRefusedAndNothingChanges) {
  WriteFile(Path("a.js"), "avant");
  Open(Path("a.js"));
  WriteFile(Path("binaire.js"), std::string("début\0fin", 10));
  try {
    Open(Path("binaire.js"));
    ADD_FAILURE() << "opened";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Le fichier " + Path("binaire.js") +
                               " contient un caractère nul : ce n'est pas un texte, il n'a pas été ouvert");
  }
  EXPECT_EQ(Memo()->Text(), "avant");
  EXPECT_EQ(Form1->DocumentPath(), Path("a.js"));
  EXPECT_EQ(Panel(1), Path("a.js"));
}

TEST_F(EditorTest, AFileThatCannotBeOpenedLeavesTheDocumentAsItWas) {
  Type("texte");
  EXPECT_THROW(Open(Path("absent.js")), EFOpenError);
  EXPECT_EQ(Memo()->Text(), "texte");
  EXPECT_EQ(Form1->DocumentPath(), "");
  EXPECT_EQ(Panel(1), "");
}

// ---- Saving ----

TEST_F(EditorTest, SaveWritesExactlyTheMemosBytesToTheCurrentFileWithoutAsking) {
  WriteFile(Path("doc.js"), "ancien\n");
  Open(Path("doc.js"));
  Type("un\r\ndeux\nlà");
  Form1->FichierEnregistrer->Trigger();
  EXPECT_EQ(ReadFile(Path("doc.js")), "un\r\ndeux\r\nl\xE0");
  EXPECT_EQ(Panel(1), Path("doc.js"));
  EXPECT_EQ(Panel(2), "Modifié");
  EXPECT_EQ(Memo()->Tag(), 1);
}

TEST_F(EditorTest, SaveOfAnUntitledDocumentRunsSaveAsFromAnEmptyFolder) {
  Type("var x = 1;");
  TSaveDialog* dialog = Form1->FileSaveAs1->Dialog();
  dialog->SetInitialDir("C:\\ailleurs");
  TUser user;
  user.Then(SaveAs(Path("nouveau.js")));
  user.While([] { Form1->FichierEnregistrer->Trigger(); });
  EXPECT_EQ(dialog->InitialDir(), "");
  EXPECT_EQ(ReadFile(Path("nouveau.js")), "var x = 1;");
  EXPECT_EQ(Form1->DocumentPath(), Path("nouveau.js"));
  EXPECT_EQ(Panel(1), Path("nouveau.js"));

  // Now titled: the next save writes there without a dialog.
  Type("var x = 2;");
  Form1->FichierEnregistrer->Trigger();
  EXPECT_EQ(ReadFile(Path("nouveau.js")), "var x = 2;");
}

TEST_F(EditorTest, SaveAfterNewAsksWhereWithTheUntitledNamePreset) {
  Form1->Action1->Trigger();
  Type("// neuf");
  std::string shown;
  TUser user;
  user.Then(SaveAs(Path("choisi.js"), [&](HWND edit) { shown = WindowText(edit); }));
  user.While([] { Form1->FichierEnregistrer->Trigger(); });
  EXPECT_EQ(shown, "Sans titre.js");
  EXPECT_EQ(ReadFile(Path("choisi.js")), "// neuf");
  EXPECT_EQ(Form1->DocumentPath(), Path("choisi.js"));
  EXPECT_EQ(Panel(1), Path("choisi.js"));
  // Nothing went to the process's own folder.
  EXPECT_FALSE(Exists("Sans titre.js"));
}

TEST_F(EditorTest, SaveAsStartsInTheCurrentFilesFolderAndAsksBeforeReplacing) {
  CreateDirectoryA(Path("sous").c_str(), nullptr);
  WriteFile(Path("sous\\a.js"), "a");
  WriteFile(Path("existant.js"), "à garder");
  Open(Path("sous\\a.js"));
  Type("remplaçant");
  std::string question;
  TUser user;
  user.Then(SaveAs(Path("existant.js"))).Then(RefuseReplacing(&question)).Then(CancelSaveDialog());
  user.While([] { Form1->FileSaveAs1->Trigger(); });
  EXPECT_EQ(Form1->FileSaveAs1->Dialog()->InitialDir(), Path("sous"));
  EXPECT_TRUE(Form1->FileSaveAs1->Dialog()->Options().Contains(ofOverwritePrompt));
  // The platform asks in its own words.
  EXPECT_NE(question.find("remplacer"), std::string::npos) << question;
  EXPECT_EQ(ReadFile(Path("existant.js")), "\xE0 garder");
  EXPECT_EQ(Form1->DocumentPath(), Path("sous\\a.js"));
  EXPECT_EQ(Panel(1), Path("sous\\a.js"));
}

// ---- Closing ----

TEST_F(EditorTest, AnUnchangedDocumentClosesWithoutAQuestion) {
  CloseWindow();
  EXPECT_TRUE(Ended());
}

TEST_F(EditorTest, NoClosesAndDiscards) {
  Type("perdu");
  TUser user;
  user.Then(Answer("No"));
  user.While([&] { CloseWindow(); });
  EXPECT_TRUE(Ended());
}

TEST_F(EditorTest, ClosingTheQuestionByItsCaptionKeepsTheWindowAndTheText) {
  Type("gardé");
  TUser user;
  user.Then(Answer(nullptr));
  user.While([&] { CloseWindow(); });
  EXPECT_FALSE(Ended());
  EXPECT_TRUE(Form1->Visible());
  EXPECT_EQ(Memo()->Text(), "gard\xE9");
}

TEST_F(EditorTest, YesThenCancellingTheSaveDialogKeepsTheWindowAndTheText) {
  Type("gardé aussi");
  TUser user;
  user.Then(Answer("Yes")).Then(CancelSaveDialog());
  user.While([&] { CloseWindow(); });
  EXPECT_FALSE(Ended());
  EXPECT_TRUE(Form1->Visible());
  EXPECT_EQ(Memo()->Text(), "gard\xE9 aussi");
}

TEST_F(EditorTest, YesSavesWhereTheUserChoosesStartingOnTheDesktopThenCloses) {
  WriteFile(Path("ouvert.js"), "x");
  Open(Path("ouvert.js"));
  Type("fin\r\n");
  TSaveDialog* dialog = Form1->FileSaveAs1->Dialog();
  dialog->SetFileName("ancien.js");
  String initialDir, fileName, defaultExt;
  bool prompts = false;
  TUser user;
  user.Then(Answer("Yes")).Then(SaveAs(Path("sortie"), [&](HWND) {
    initialDir = dialog->InitialDir();
    defaultExt = dialog->DefaultExt();
    prompts = dialog->Options().Contains(ofOverwritePrompt);
  }));
  user.While([&] {
    fileName = dialog->FileName();
    CloseWindow();
  });
  EXPECT_TRUE(Ended());
  // The extension is forced; the current file is not used.
  EXPECT_EQ(ReadFile(Path("sortie.js")), "fin\r\n");
  EXPECT_EQ(ReadFile(Path("ouvert.js")), "x");
  EXPECT_EQ(initialDir, GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY));
  EXPECT_FALSE(initialDir.empty());
  EXPECT_EQ(defaultExt, "js");
  EXPECT_TRUE(prompts);
  EXPECT_EQ(dialog->Filter(), "Fichiers javascripts (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
  EXPECT_EQ(dialog->Title(), "Enregistrer sous");
}

// The folder goes while the dialog closes, so the save that follows fails.
struct TFolderRemover : TObject {
  void Remove(TObject*) { RemoveDirectoryA(folder.c_str()); }
  std::string folder;
};

TEST_F(EditorTest, AFailedSaveOnClosingIsShownAndKeepsTheWindow) {
  CreateDirectoryA(Path("disparu").c_str(), nullptr);
  Type("précieux");
  TFolderRemover remover;
  remover.folder = Path("disparu");
  Form1->FileSaveAs1->Dialog()->SetOnClose(TNotifyEvent::Bind<&TFolderRemover::Remove>(&remover));
  TUser user;
  user.Then(Answer("Yes")).Then(SaveAs(Path("disparu\\doc.js")));
  user.While([&] { CloseWindow(); });
  ASSERT_EQ(errors.messages.size(), 1u);
  EXPECT_EQ(errors.messages[0], "Impossible de créer le fichier " + Path("disparu\\doc.js"));
  EXPECT_FALSE(Ended());
  EXPECT_EQ(Memo()->Text(), "pr\xE9" "cieux");
}

TEST_F(EditorTest, TheEndOfTheSessionAsksTheSameQuestion) {
  // Unchanged: the session may end.
  EXPECT_EQ(SendMessageA(Form1->Handle(), WM_QUERYENDSESSION, 0, 0), 1);
  Type("session");
  {
    TUser user;
    user.Then(Answer(nullptr));
    user.While([] { EXPECT_EQ(SendMessageA(Form1->Handle(), WM_QUERYENDSESSION, 0, 0), 0); });
  }
  {
    TUser user;
    user.Then(Answer("Yes")).Then(CancelSaveDialog());
    user.While([] { EXPECT_EQ(SendMessageA(Form1->Handle(), WM_QUERYENDSESSION, 0, 0), 0); });
  }
  {
    TUser user;
    user.Then(Answer("Yes")).Then(SaveAs(Path("session.js")));
    user.While([] { EXPECT_EQ(SendMessageA(Form1->Handle(), WM_QUERYENDSESSION, 0, 0), 1); });
  }
  EXPECT_EQ(ReadFile(Path("session.js")), "session");
  {
    TUser user;
    user.Then(Answer("No"));
    user.While([] { EXPECT_EQ(SendMessageA(Form1->Handle(), WM_QUERYENDSESSION, 0, 0), 1); });
  }
  EXPECT_EQ(Memo()->Text(), "session");
  EXPECT_FALSE(Ended());
}

// ---- The other windows ----

TEST_F(EditorTest, AboutShowsTheSameBoxModelessEachTime) {
  TAboutBox* box = AboutBox;
  Form1->Action3->Trigger();
  EXPECT_TRUE(box->Visible());
  EXPECT_FALSE(box->FormState().Contains(fsModal));
  box->OKButton->Click();
  EXPECT_FALSE(box->Visible());
  Form1->Action3->Trigger();
  EXPECT_EQ(AboutBox, box);
  EXPECT_TRUE(box->Visible());
  EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
}

TEST_F(EditorTest, EveryShowingOfTheWindowBringsTheSplashUp) {
  Form2->Hide();
  Form1->Hide();
  EXPECT_FALSE(Form2->Visible());
  Form1->Show();
  EXPECT_TRUE(Form2->Visible());
}

// ---- The edit commands on the focused memo, through their shortcuts ----

TEST_F(EditorTest, TheEditShortcutsActOnTheMemo) {
  Type("un deux");
  Memo()->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Memo()->Handle(); }));
  auto keys = [](WORD key, const std::function<bool()>& done) {
    PressKeys({VK_CONTROL}, key);
    return PumpUntil([&] {
      Application()->ProcessMessages();
      return done();
    });
  };
  EXPECT_TRUE(keys('A', [&] { return Memo()->SelLength() == 7; }));
  EXPECT_TRUE(keys('C', [] { return PlatformClipboardText() == "un deux"; }));
  EXPECT_TRUE(keys('X', [&] { return Memo()->Text().empty(); }));
  EXPECT_TRUE(keys('V', [&] { return Memo()->Text() == "un deux"; }));
  EXPECT_TRUE(keys('V', [&] { return Memo()->Text() == "un deuxun deux"; }));
}

// ---- The desktop folder ----

TEST(SpecialFolderTest, ARealFolderHasItsPathAVirtualOneNone) {
  String desktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
  EXPECT_FALSE(desktop.empty());
  DWORD attributes = GetFileAttributesA(desktop.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) << desktop;
  // The computer has an identifier list but no path: the conversion fails.
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_DRIVES), "");
  EXPECT_EQ(GetSpecialFolderPath(0x7E), "");
}

}  // namespace
}  // namespace tavelo::testing
