// The splash window and the about box built from the program's own descriptions, as the
// program builds them, then shown, ticked and closed with real input.
#include <gtest/gtest.h>

// Before any other header that brings the platform's in (see unit1.h).
#include "app/unit1.h"

#include "app/about.h"
#include "app/program.h"
#include "app/splash.h"
#include "controls/application.h"
#include "controls/tests/control_test_support.h"

namespace tavelo::testing {
namespace {

// Both descriptions state a text height of 13 for their font; where the platform's font
// measures otherwise, the form scales its children by the ratio when it is read.
int Scaled(TCustomForm* form, int value) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, form->Font()->Handle());
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc, "0", 1, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return MulDiv(value, size.cy, 13);
}

// Counts the splash timer's ticks and passes each on to the form's own handler.
class TickCounter : public TObject {
public:
  int ticks = 0;
  void Tick(TObject* sender) {
    ++ticks;
    Form2->Timer1Timer(sender);
  }
};

class ProgramFormsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    RegisterProgramClasses();
    // A main form of its own, so that closing the about box does not end the loop.
    Application()->CreateForm(main);
    main->SetBounds(0, 0, 120, 80);
  }
  void TearDown() override {
    StopControls();
    Form2 = nullptr;
    AboutBox = nullptr;
  }
  // Runs the application's loop until done() holds or the deadline passes.
  static bool LoopUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    return PumpUntil([&] {
      Application()->ProcessMessages();
      return done();
    }, milliseconds);
  }
  TForm* main = nullptr;
};

TEST_F(ProgramFormsTest, SplashIsBuiltFromItsDescription) {
  Application()->CreateForm(Form2);
  ASSERT_NE(Form2->Panel1, nullptr);
  EXPECT_FALSE(Form2->Visible());
  EXPECT_EQ(Form2->Caption(), "Information");
  EXPECT_EQ(Form2->BorderStyle(), bsSizeToolWin);
  EXPECT_EQ(Form2->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Form2->Color(), clSilver);
  EXPECT_EQ(Form2->Panel1->Align(), alClient);
  EXPECT_EQ(Form2->Panel1->Color(), clYellow);
  EXPECT_EQ(Form2->Panel1->BevelInner(), bvLowered);
  EXPECT_EQ(Form2->Panel1->BevelOuter(), bvNone);
  // Not stretched, not auto-sized: the 102 by 102 picture sits in a 105 by 105 image.
  EXPECT_EQ(Form2->Image1->Parent(), Form2->Panel1);
  EXPECT_EQ(Form2->Image1->Width(), Scaled(Form2, 105));
  EXPECT_EQ(Form2->Image1->Picture()->Width(), 102);
  EXPECT_EQ(Form2->Image1->Picture()->Height(), 102);
  EXPECT_EQ(Form2->Label1->Caption(), "Tavelo");
  EXPECT_EQ(Form2->Label1->Font()->Name(), "Swiss921 BT");
  EXPECT_EQ(Form2->Label1->Font()->Height(), Scaled(Form2, -35));
  EXPECT_EQ(Form2->Label2->Font()->Color(), clBlue);
  // The timer keeps its defaults; its handler is the form's.
  EXPECT_EQ(Form2->Timer1->Interval(), 1000u);
  EXPECT_TRUE(Form2->Timer1->Enabled());
  EXPECT_TRUE(Form2->Timer1->OnTimer());
}

TEST_F(ProgramFormsTest, SplashHidesAtTheNextTickAndStaysHidden) {
  Application()->CreateForm(Form2);
  Form2->Show();
  ASSERT_TRUE(Form2->Visible());
  ASSERT_TRUE(IsWindowVisible(Form2->Handle()));
  // It stays above the main window, even once that one is shown and active.
  main->Show();
  SetForegroundWindow(main->Handle());
  EXPECT_TRUE(GetWindowLongA(Form2->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongA(Form2->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  HWND above = GetWindow(main->Handle(), GW_HWNDPREV);
  while (above && above != Form2->Handle()) above = GetWindow(above, GW_HWNDPREV);
  EXPECT_EQ(above, Form2->Handle()) << "the splash comes before the main window in the platform's order";
  // The timer has run since the form was read, so the next tick (within one interval) hides
  // it. Counted in ticks rather than milliseconds: a loaded machine delays ticks, not logic.
  TickCounter counter;
  Form2->Timer1->SetOnTimer(TNotifyEvent::Bind<&TickCounter::Tick>(&counter));
  ASSERT_TRUE(LoopUntil([] { return !Form2->Visible(); }, 10000));
  EXPECT_EQ(counter.ticks, 1) << "hidden at the first tick after showing";
  EXPECT_FALSE(IsWindowVisible(Form2->Handle()));
  // Later ticks close a hidden window: it stays hidden, and stays the same form.
  TForm2* splash = Form2;
  EXPECT_TRUE(LoopUntil([&] { return counter.ticks >= 3; }, 10000));
  EXPECT_FALSE(Form2->Visible());
  EXPECT_EQ(Form2, splash);
  EXPECT_EQ(Screen()->FormCount(), 2);
}

TEST_F(ProgramFormsTest, AboutBoxIsBuiltFromItsDescription) {
  Application()->CreateForm(AboutBox);
  EXPECT_EQ(AboutBox->Caption(), "A propos");
  EXPECT_EQ(AboutBox->BorderStyle(), bsDialog);
  EXPECT_EQ(AboutBox->ClientWidth(), Scaled(AboutBox, 298));
  EXPECT_EQ(AboutBox->ClientHeight(), Scaled(AboutBox, 300));
  EXPECT_EQ(AboutBox->Color(), clWhite);
  // Auto-sized and stretched, at the picture's own size: it stays 102 by 102.
  EXPECT_EQ(AboutBox->ProgramIcon->Width(), 102);
  EXPECT_EQ(AboutBox->ProgramIcon->Height(), 102);
  EXPECT_TRUE(AboutBox->ProgramIcon->Stretch());
  EXPECT_EQ(AboutBox->Label2->Caption(), "version:1");
  // The long note wraps inside its width, on several lines.
  EXPECT_TRUE(AboutBox->Label4->WordWrap());
  EXPECT_EQ(AboutBox->Label4->Width(), Scaled(AboutBox, 229));
  EXPECT_GT(AboutBox->Label4->Height(), 3 * Scaled(AboutBox, 13));
  EXPECT_EQ(AboutBox->Label4->Caption().size(), 183u);
  EXPECT_EQ(AboutBox->OKButton->Caption(), "OK");
  EXPECT_TRUE(AboutBox->OKButton->Default());
  EXPECT_EQ(AboutBox->OKButton->ModalResult(), ResultOk);
}

// Enter, typed for real, presses the default button; its handler hides the box; shown again
// it is the same window, unchanged and centred where it was.
TEST_F(ProgramFormsTest, AboutBoxClosedWithOkComesBackUnchanged) {
  Application()->CreateForm(AboutBox);
  main->Show();
  AboutBox->Show();
  HWND window = AboutBox->Handle();
  SetForegroundWindow(window);
  ASSERT_TRUE(LoopUntil([&] { return GetForegroundWindow() == window && AboutBox->OKButton->Focused(); }));
  TRect bounds = AboutBox->BoundsRect();
  String note = AboutBox->Label4->Caption();

  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = VK_RETURN;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  ASSERT_TRUE(LoopUntil([] { return !AboutBox->Visible(); }));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(Application()->Terminated());

  TAboutBox* box = AboutBox;
  AboutBox->Show();
  LoopUntil([] { return IsWindowVisible(AboutBox->Handle()) != 0; });
  EXPECT_EQ(AboutBox, box);
  EXPECT_EQ(AboutBox->Handle(), window);
  TRect again = AboutBox->BoundsRect();
  EXPECT_EQ(again.left, bounds.left);
  EXPECT_EQ(again.top, bounds.top);
  EXPECT_EQ(again.right, bounds.right);
  EXPECT_EQ(again.bottom, bounds.bottom);
  EXPECT_EQ(AboutBox->Label4->Caption(), note);
  EXPECT_EQ(AboutBox->ComponentCount(), 8);
}

// The main window from its own description: every field bound, the manager's bars bound to
// their controls once loaded, the document's components as designed.
TEST_F(ProgramFormsTest, TheMainWindowIsBuiltFromItsDescription) {
  Application()->CreateForm(Form1);
  ASSERT_NE(Form1, nullptr);
  for (TComponent* field :
       {static_cast<TComponent*>(Form1->PageControl1), static_cast<TComponent*>(Form1->TabSheet1),
        static_cast<TComponent*>(Form1->Memo1), static_cast<TComponent*>(Form1->StatusBar1),
        static_cast<TComponent*>(Form1->ActionMainMenuBar1), static_cast<TComponent*>(Form1->ActionToolBar1),
        static_cast<TComponent*>(Form1->ActionManager1), static_cast<TComponent*>(Form1->Action1),
        static_cast<TComponent*>(Form1->FileOpen1), static_cast<TComponent*>(Form1->FichierEnregistrer),
        static_cast<TComponent*>(Form1->Action3), static_cast<TComponent*>(Form1->EditCut1),
        static_cast<TComponent*>(Form1->EditCopy1), static_cast<TComponent*>(Form1->EditPaste1),
        static_cast<TComponent*>(Form1->EditSelectAll1), static_cast<TComponent*>(Form1->FileSaveAs1),
        static_cast<TComponent*>(Form1->FileExit1), static_cast<TComponent*>(Form1->ImageList1)})
    EXPECT_NE(field, nullptr);
  EXPECT_EQ(Form1->Caption(), "Tavelo");
  EXPECT_EQ(Form1->PageControl1->ActivePage(), Form1->TabSheet1);
  EXPECT_EQ(Form1->TabSheet1->Caption(), "   Js");
  EXPECT_EQ(Form1->Memo1->Parent(), Form1->TabSheet1);
  EXPECT_EQ(Form1->Memo1->Font()->Name(), "Courier New");
  EXPECT_EQ(Form1->Memo1->Font()->Color(), clMaroon);
  EXPECT_EQ(Form1->Memo1->Tag(), 0);
  ASSERT_EQ(Form1->StatusBar1->Panels()->Count(), 4);
  EXPECT_EQ(Form1->StatusBar1->Panels()->Items(0)->Text(), "Tavelo");
  EXPECT_EQ(Form1->StatusBar1->Panels()->Items(1)->Width(), 350);
  // One load is one more session.
  TActionBars* bars = Form1->ActionManager1->ActionBars();
  EXPECT_EQ(bars->SessionCount(), 2);
  ASSERT_EQ(bars->Count(), 3);
  EXPECT_EQ(bars->ActionBars(0)->ActionBar(), Form1->ActionMainMenuBar1);
  EXPECT_EQ(bars->ActionBars(1)->ActionBar(), nullptr);
  EXPECT_EQ(bars->ActionBars(1)->Items()->Count(), 2);
  EXPECT_EQ(bars->ActionBars(2)->ActionBar(), Form1->ActionToolBar1);
  EXPECT_EQ(bars->ActionBars(2)->Items()->Count(), 6);
  EXPECT_EQ(Form1->ActionManager1->Images(), Form1->ImageList1);
  EXPECT_EQ(Form1->ImageList1->Count(), 45);
  EXPECT_EQ(Form1->FileOpen1->ActionList(), Form1->ActionManager1);
  EXPECT_EQ(Form1->FileOpen1->Dialog()->Title(), "Ouverture de fichier");
  EXPECT_EQ(Form1->FileSaveAs1->Dialog()->Filter(), "Fichiers javascripts (*.js*)|*.js|Tous les fichiers (*.*)|*.*");
  // The description leaves the overwrite question off; the handlers add it when they save.
  EXPECT_FALSE(Form1->FileSaveAs1->Dialog()->Options().Contains(ofOverwritePrompt));
  EXPECT_EQ(Form1->DocumentPath(), "");
  Form1 = nullptr;
}

}  // namespace
}  // namespace tavelo::testing
