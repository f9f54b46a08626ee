#include <gtest/gtest.h>

#include <string>

#include "controls/application.h"
#include "core/exceptions.h"
#include "core/typinfo.h"
#include "dialogs/dialogs.h"
#include "dialogs/tests/dialog_test_support.h"

namespace tavelo::testing {
namespace {

class FileDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "tavelo-dialogs-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE file = CreateFileA((folder + "\\essai.js").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
  }
  void TearDown() override {
    StopControls();
    DeleteFileA((folder + "\\essai.js").c_str());
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder;
};

// Exposes what the platform's answer is read with.
class TTestOpenDialog : public TOpenDialog {
public:
  using TOpenDialog::TOpenDialog;
  using TOpenDialog::GetFileNames;
  using TOpenDialog::DoExecute;
  using TCommonDialog::SetTemplate;
};

struct TEvents : TObject {
  void Show(TObject* sender) {
    shows++;
    windowAtShow = static_cast<TCommonDialog*>(sender)->Handle();
  }
  void Close(TObject*) { closes++; }
  int shows = 0, closes = 0;
  HWND windowAtShow = nullptr;
};

// The platform dialog's own window while it runs: the taken-over window's parent for the
// explorer style.
HWND DialogWindow(const TCommonDialog& dialog) {
  return dialog.Handle() ? GetParent(dialog.Handle()) : nullptr;
}

HWND FileNameEdit(HWND dialog) {
  for (int id : {0x47c, 0x480})
    if (HWND control = GetDlgItem(dialog, id)) return control;
  return nullptr;
}

// The thread's visible message box.
BOOL CALLBACK FindDialogBox(HWND window, LPARAM data) {
  char cls[16] = {};
  GetClassNameA(window, cls, sizeof(cls));
  if (std::string(cls) == "#32770" && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF)) {
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
  }
  return TRUE;
}

HWND ThreadDialogBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindDialogBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

// Ends whatever dialog runs, so that a failing test does not hang.
std::function<void()> CancelDialog(const TCommonDialog& dialog) {
  return [&dialog] {
    HWND window = ThreadDialogBox();
    if (!window) window = DialogWindow(dialog);
    ADD_FAILURE() << "cancelled on the deadline; taken-over window " << dialog.Handle() << ", dialog " << window
                  << ", name edit " << (window ? FileNameEdit(window) : nullptr);
    if (window) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  };
}

// The message of a message box of this thread, when one shows (and closes it).
std::string TakeMessageBox() {
  HWND box = ThreadDialogBox();
  if (!box || !GetDlgItem(box, 0xFFFF)) return std::string();
  char text[512] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return text;
}

// Types name into the dialog once it is up and presses its default button; a message box
// the dialog raises instead of closing fails the test.
std::function<bool()> Answer(const TCommonDialog& dialog, const std::string& name) {
  return [&dialog, name, typed = false]() mutable {
    HWND window = DialogWindow(dialog);
    if (!typed) {
      HWND edit = window ? FileNameEdit(window) : nullptr;
      if (!edit || !IsWindowVisible(window)) return false;
      SetWindowTextA(edit, name.c_str());
      PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
      typed = true;
      return false;
    }
    if (!window) return true;
    const std::string text = TakeMessageBox();
    if (text.empty()) return false;
    ADD_FAILURE() << "the dialog said: " << text;
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return true;
  };
}

std::vector<std::string> PublishedNames(TClass cls) {
  std::vector<std::string> names;
  for (const TPropInfo* p : cls->Properties()) names.push_back(p->Name());
  return names;
}

TEST(FileDialogSettingsTest, PublishedInOrderWithTheirDefaults) {
  EXPECT_EQ(PublishedNames(TOpenDialog::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "Ctl3D", "HelpContext", "OnClose", "OnShow", "DefaultExt",
                                      "FileName", "Filter", "FilterIndex", "InitialDir", "Options", "OptionsEx",
                                      "Title", "OnCanClose", "OnFolderChange", "OnSelectionChange", "OnTypeChange",
                                      "OnIncludeItem"}));
  EXPECT_EQ(PublishedNames(TSaveDialog::StaticClass()), PublishedNames(TOpenDialog::StaticClass()));
  TOpenDialog dialog(nullptr);
  EXPECT_TRUE(dialog.Ctl3D());
  EXPECT_EQ(dialog.FilterIndex(), 1);
  EXPECT_EQ(dialog.Options(), (TOpenOptions{ofHideReadOnly, ofEnableSizing}));
  EXPECT_EQ(OpenOptionFlags(dialog.Options()), 0x800004u);
  EXPECT_EQ(OpenOptionFlags(TOpenOptions{ofReadOnly, ofAllowMultiSelect, ofNoLongNames, ofOldStyleDialog,
                                         ofDontAddToRecent, ofForceShowHidden}),
            0x1u | 0x200u | 0x40000u | 0x80000u | 0x2000000u | 0x10000000u);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(FileDialogSettingsTest, FilterAndInitialFolderAsThePlatformWantsThem) {
  const String filter = PlatformFilter("Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
  const std::string expected("Fichier Javascript (*.js*)\0*.js\0Tous les fichiers (*.*)\0*.*\0", 60);
  EXPECT_EQ(std::string(filter.c_str(), filter.size() + 1), expected + '\0');
  EXPECT_EQ(PlatformFilter(""), "");

  TOpenDialog dialog(nullptr);
  const std::pair<const char*, const char*> dirs[] = {
      {"C:\\", "C:\\"}, {"C:\\a\\", "C:\\a"}, {"\\", "\\"}, {"C:\\src", "C:\\src"}, {"", ""}};
  for (auto [in, out] : dirs) {
    dialog.SetInitialDir(in);
    EXPECT_EQ(dialog.InitialDir(), out) << in;
  }
}

TEST(FileDialogSettingsTest, SeveralChosenFilesAreJoinedToTheirFolder) {
  TTestOpenDialog dialog(nullptr);
  dialog.SetOptions(dialog.Options() + TOpenOptions{ofAllowMultiSelect});
  const char many[] = "C:\\dir\0a.js\0b.js\0D:\\x.js\0\0";
  dialog.GetFileNames(many, sizeof(many));
  ASSERT_EQ(dialog.Files()->Count(), 3);
  EXPECT_EQ(dialog.Files()->Strings(0), "C:\\dir\\a.js");
  EXPECT_EQ(dialog.Files()->Strings(1), "C:\\dir\\b.js");
  EXPECT_EQ(dialog.Files()->Strings(2), "D:\\x.js");
  EXPECT_EQ(dialog.FileName(), "C:\\dir\\a.js");

  // One item is the whole path; old-style dialogs separate with spaces.
  dialog.Files()->Clear();
  const char one[] = "C:\\dir\\seul.js\0\0";
  dialog.GetFileNames(one, sizeof(one));
  ASSERT_EQ(dialog.Files()->Count(), 1);
  EXPECT_EQ(dialog.FileName(), "C:\\dir\\seul.js");
  dialog.Files()->Clear();
  dialog.SetOptions(dialog.Options() + TOpenOptions{ofOldStyleDialog});
  const char spaced[] = "C:\\DIR A.JS B.JS\0";
  dialog.GetFileNames(spaced, sizeof(spaced));
  ASSERT_EQ(dialog.Files()->Count(), 2);
  EXPECT_EQ(dialog.Files()->Strings(1), "C:\\DIR\\B.JS");
}

TEST_F(FileDialogTest, AnOpenDialogAnsweredGivesTheFileInItsInitialFolderWithTheDefaultExtension) {
  TOpenDialog dialog(nullptr);
  TEvents events;
  dialog.SetOnShow(TNotifyEvent::Bind<&TEvents::Show>(&events));
  dialog.SetOnClose(TNotifyEvent::Bind<&TEvents::Close>(&events));
  // As the editor sets it: the folder part of a path, with its separator.
  dialog.SetInitialDir(String(folder.c_str()) + "\\");
  dialog.SetDefaultExt("js");
  dialog.SetFilter("Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
  dialog.Files()->Add("ancien");
  bool answered;
  {
    TModalDriver driver(Answer(dialog, "essai"), CancelDialog(dialog));
    answered = dialog.Execute();
    EXPECT_FALSE(driver.Expired());
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(dialog.FileName(), String(folder.c_str()) + "\\essai.js");
  ASSERT_EQ(dialog.Files()->Count(), 1);
  EXPECT_EQ(dialog.Files()->Strings(0), dialog.FileName());
  EXPECT_EQ(dialog.FilterIndex(), 1);
  EXPECT_EQ(dialog.InitialDir(), String(folder.c_str()));
  EXPECT_EQ(events.shows, 1);
  EXPECT_EQ(events.closes, 1);
  EXPECT_NE(events.windowAtShow, nullptr);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_FALSE(IsWindow(events.windowAtShow));

  // Cancelled: false, and nothing but Files changes.
  {
    TModalDriver driver(
        [&] {
          HWND window = DialogWindow(dialog);
          return window && PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        },
        CancelDialog(dialog));
    EXPECT_FALSE(dialog.Execute());
  }
  EXPECT_EQ(dialog.FileName(), String(folder.c_str()) + "\\essai.js");
  EXPECT_EQ(dialog.Files()->Count(), 0);
  EXPECT_EQ(events.shows, 2);
}

TEST_F(FileDialogTest, ASaveDialogStartsEvenInAFolderThatDoesNotExist) {
  TSaveDialog dialog(nullptr);
  dialog.SetInitialDir(String(folder.c_str()) + "\\absent\\");
  dialog.SetFileName("");
  dialog.SetDefaultExt("js");
  bool answered;
  {
    // Into the test's own folder, by its full path.
    TModalDriver driver(Answer(dialog, folder + "\\sortie"), CancelDialog(dialog));
    answered = dialog.Execute();
    EXPECT_FALSE(driver.Expired());
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(dialog.FileName(), String(folder.c_str()) + "\\sortie.js");
  EXPECT_EQ(GetFileAttributesA((folder + "\\absent").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The platform's open call handed a structure it refuses: it fails at once, with an
// extended error and without any window.
BOOL WINAPI RefusedOpen(OPENFILENAMEA* ofn) {
  ofn->lStructSize = 0;
  return GetOpenFileNameA(ofn);
}

TEST_F(FileDialogTest, APlatformFailureIsShownToTheUserAndIsNoCancel) {
  TTestOpenDialog dialog(nullptr);
  dialog.SetFileName("avant.js");
  Application()->SetTitle("Tavelo");
  std::string shown, caption;
  {
    TModalDriver driver(
        [&] {
          HWND box = ThreadDialogBox();
          if (!box) return false;
          char text[256] = {};
          GetWindowTextA(box, text, sizeof(text));
          caption = text;
          shown = TakeMessageBox();
          return true;
        },
        [] {});
    EXPECT_FALSE(dialog.DoExecute(&RefusedOpen));
    EXPECT_TRUE(driver.Done());
  }
  EXPECT_EQ(shown, "La boîte de dialogue de fichiers a échoué (code 1)");  // the structure's size
  EXPECT_EQ(caption, "Tavelo");
  EXPECT_EQ(dialog.FileName(), "avant.js");
}

}  // namespace
}  // namespace tavelo::testing
