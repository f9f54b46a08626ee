// The settings file: written and read back with the usage data, a missing, corrupt or locked
// file, a write that fails, and the one save at shutdown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "actnman/actnmsgs.h"
#include "actnman/tests/actnman_test_support.h"
#include "controls/application.h"
#include "controls/screen.h"
#include "controls/tests/control_test_support.h"
#include "core/streams.h"
#include "core/system.h"
#include "dialogs/msgdlg.h"
#include "dialogs/tests/dialog_test_support.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

TMessageForm* ShownMessageForm() {
  for (int i = 0; i < Screen()->CustomFormCount(); ++i)
    if (auto* form = DynamicCast<TMessageForm>(Screen()->CustomForms(i)))
      if (form->HandleAllocated() && IsWindowVisible(form->Handle())) return form;
  return nullptr;
}

// Answers every message dialog with `answer`, keeping what each one said.
class TDialogAnswers {
public:
  explicit TDialogAnswers(TModalResult answer)
      : driver_(
            [this, answer] {
              if (TMessageForm* form = ShownMessageForm(); form && form != last_) {
                last_ = form;
                texts.push_back(form->DialogText());
                form->SetModalResult(answer);
              }
              return false;
            },
            [] {}, 20000) {}
  std::vector<String> texts;

private:
  TMessageForm* last_ = nullptr;
  TModalDriver driver_;
};

std::string ReadFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  return data.str();
}

void WriteFile(const String& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path = String(folder) + "tavelo-reglages-" + std::to_string(GetCurrentProcessId()) + ".bin";
    for (char& c : path)
      if (c == '\\') c = '/';
    sys::FileDelete(path);
  }
  void TearDown() override {
    StopControls();
    sys::FileDelete(path);
  }
  TManagerForm* Read() { return ReadManagerForm(ManagerFormText("    FileName = \"" + path + "\"\n")); }
  static bool Contains(const String& text, const String& part) { return text.find(part) != String::npos; }

  String path;
};

TEST_F(SettingsTest, AMissingFileIsNoErrorAndIsWrittenAtShutdown) {
  TDialogAnswers answers(ResultNo);
  TManagerForm* read = Read();
  TActionManager* m = read->ActionManager1;
  EXPECT_TRUE(answers.texts.empty());
  EXPECT_FALSE(sys::FileExists(path));
  EXPECT_EQ(m->InitialBars(), nullptr);
  EXPECT_EQ(m->ActionBars()->SessionCount(), 2);
  EXPECT_EQ(read->MenuBar1->ItemCount(), 3);
  // The first notice after the application was told to end writes the file, once.
  new TComponent(read);
  EXPECT_FALSE(sys::FileExists(path));
  Application()->Terminate();
  ASSERT_TRUE(PumpUntil([] {
    Application()->ProcessMessages();
    return Application()->Terminated();
  }));
  new TComponent(read);
  EXPECT_TRUE(sys::FileExists(path));
  EXPECT_TRUE(m->SettingsSaved());
  sys::FileDelete(path);
  new TComponent(read);
  EXPECT_FALSE(sys::FileExists(path));
}

TEST_F(SettingsTest, UsageAndSessionsComeBackFromTheFile) {
  TManagerForm* first = Read();
  TActionManager* m = first->ActionManager1;
  TActionClients* file = m->ActionBars()->ActionBars(0)->Items()->ActionClients(0)->Items();
  NoteItemUse(file->ActionClients(1));
  NoteItemUse(file->ActionClients(1));
  m->ActionBars()->ActionBars(2)->Items()->ActionClients(3)->SetUsageCount(-1);
  // The file names another path: reading it leaves the manager's own.
  m->SetFileName("C:/ailleurs/reglages.bin");
  m->WriteSettingsFile(path);
  ASSERT_TRUE(sys::FileExists(path));
  // The next run: the window of the first one is gone.
  delete first;
  if (const char* keep = std::getenv("TAVELO_KEEP_SETTINGS")) WriteFile(keep, ReadFile(path));
  TMemoryStream bytes;
  std::string data = ReadFile(path);
  bytes.WriteBuffer(data.data(), static_cast<std::int32_t>(data.size()));
  bytes.SetPosition(0);
  std::string text = formtext::Dump(bytes);
  EXPECT_NE(text.find("ActionManager1: TActionManager"), std::string::npos);
  EXPECT_NE(text.find("ActionBars.SessionCount = 2"), std::string::npos);
  EXPECT_NE(text.find("UsageCount = 2"), std::string::npos);
  EXPECT_NE(text.find("Action = ManagerForm.FileOpen1"), std::string::npos);
  // The actions belong to the window: none is written into the file.
  EXPECT_EQ(text.find("TAction {"), std::string::npos);

  TDialogAnswers answers(ResultNo);
  TManagerForm* second = Read();
  TActionManager* again = second->ActionManager1;
  EXPECT_TRUE(answers.texts.empty());
  EXPECT_EQ(again->FileName(), path);
  ASSERT_NE(again->InitialBars(), nullptr);
  EXPECT_EQ(again->ActionBars()->SessionCount(), 3);
  TActionClients* file2 = again->ActionBars()->ActionBars(0)->Items()->ActionClients(0)->Items();
  ASSERT_EQ(file2->Count(), 5);
  TActionClientItem* open = file2->ActionClients(1);
  EXPECT_EQ(open->UsageCount(), 2);
  EXPECT_EQ(open->LastSession(), 2);
  EXPECT_EQ(open->Action(), second->FileOpen1);
  EXPECT_EQ(again->ActionBars()->ActionBars(0)->Items()->ActionClients(0)->UsageCount(), 2);
  EXPECT_EQ(again->ActionBars()->ActionBars(2)->Items()->ActionClients(3)->UsageCount(), -1);
  EXPECT_EQ(file2->ActionClients(0)->UsageCount(), 0);
  // The bars are bound after the read.
  EXPECT_EQ(second->MenuBar1->ItemCount(), 3);
  EXPECT_EQ(second->ToolBar1->ItemCount(), 6);
  EXPECT_EQ(second->ToolBar1->ControlAt(1)->ActionClient(), again->ActionBars()->ActionBars(2)->Items()->ActionClients(1));
  // The copy from before the read puts a bar back as the description had it.
  again->ActionBars()->ActionBars(2)->Items()->Delete(0);
  EXPECT_EQ(second->ToolBar1->ItemCount(), 5);
  second->ToolBar1->Perform(CM_RESETBAR, 0, 0);
  EXPECT_EQ(second->ToolBar1->ItemCount(), 6);
}

TEST_F(SettingsTest, ACorruptFileAsksOnceAndTheBarsComeUpAsDescribed) {
  WriteFile(path, "TPF0 pas un flux");
  {
    TDialogAnswers answers(ResultNo);
    TManagerForm* read = Read();
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_TRUE(Contains(answers.texts[0],
                         "Erreur lors du chargement du fichier de paramètres précédemment enregistré : " + path +
                             "\rSouhaitez-vous le supprimer ?"))
        << answers.texts[0];
    EXPECT_TRUE(sys::FileExists(path));
    EXPECT_EQ(read->ActionManager1->FileName(), path);
    EXPECT_EQ(read->ActionManager1->ActionBars()->Count(), 3);
    EXPECT_EQ(read->ActionManager1->ActionBars()->SessionCount(), 2);
    EXPECT_EQ(read->MenuBar1->ItemCount(), 3);
    delete read;
  }
  TDialogAnswers answers(ResultYes);
  TManagerForm* read = Read();
  EXPECT_EQ(answers.texts.size(), 1u);
  EXPECT_FALSE(sys::FileExists(path));
  EXPECT_EQ(read->ToolBar1->ItemCount(), 6);
}

TEST_F(SettingsTest, AFileThatCannotBeOpenedIsAskedAboutNotFatal) {
  WriteFile(path, "quelque chose");
  HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  TDialogAnswers answers(ResultNo);
  TManagerForm* read = nullptr;
  EXPECT_NO_THROW(read = Read());
  CloseHandle(locked);
  EXPECT_EQ(answers.texts.size(), 1u);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->MenuBar1->ItemCount(), 3);
  EXPECT_EQ(ReadFile(path), "quelque chose");
}

std::int32_t FailingWrite(sys::THandle, const void*, std::int32_t) { return 0; }

TEST_F(SettingsTest, AFailedWriteKeepsThePreviousFile) {
  WriteFile(path, "anciens reglages");
  TManagerForm* read = ReadManagerForm(ManagerFormText());
  TDialogAnswers answers(ResultOk);
  sys::TFileWriteFn previous = sys::SetFileWriteForTesting(&FailingWrite);
  read->ActionManager1->WriteSettingsFile(path);
  sys::SetFileWriteForTesting(previous);
  ASSERT_EQ(answers.texts.size(), 1u);
  EXPECT_TRUE(Contains(answers.texts[0], "Impossible de sauvegarder les paramètres")) << answers.texts[0];
  EXPECT_EQ(ReadFile(path), "anciens reglages");
  // A folder that does not exist: the same message, nothing written.
  read->ActionManager1->WriteSettingsFile("C:/nulle-part-ici/reglages.bin");
  EXPECT_EQ(answers.texts.size(), 2u);
}

}  // namespace
}  // namespace tavelo::testing
