#include "controls/memo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "controls/controlconsts.h"
#include "controls/tests/form_standin.h"
#include "core/exceptions.h"
#include "core/messages.h"

namespace tavelo::testing {
namespace {

struct TChangeCounter : TObject {
  void Change(TObject*) { ++count; }
  int count = 0;
};

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

void TypeKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> input;
  for (WORD key : keys) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    input.push_back(down);
    input.push_back(up);
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

class MemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = std::make_unique<TFormStandIn>(nullptr);
    memo = new TMemo(form.get());
    memo->SetBounds(0, 0, 280, 180);
    memo->SetParent(form.get());
    memo->SetOnChange(TNotifyEvent::Bind<&TChangeCounter::Change>(&changes));
  }
  void TearDown() override {
    form.reset();
    if (!file.empty()) std::remove(file.c_str());
  }
  TStrings& Lines() { return *memo->Lines(); }
  std::string WriteFile(const std::string& content) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    file = std::string(dir) + "memo_test_" + std::to_string(GetCurrentProcessId()) + ".js";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
    return file;
  }
  // Brings the form up with the memo focused, ready for synthesised keys.
  void FocusMemo() {
    form->Open();
    SetForegroundWindow(form->Handle());
    memo->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == memo->Handle() && GetForegroundWindow() == form->Handle(); }));
  }

  std::unique_ptr<TFormStandIn> form;
  TMemo* memo = nullptr;
  TChangeCounter changes;
  std::string file;
};

TEST_F(MemoTest, LinesCountAsTheWindowBreaksThemAndAddingFollowsTheLastLine) {
  EXPECT_EQ(Lines().Count(), 0);
  EXPECT_FALSE(memo->HandleAllocated());  // counting an empty memo makes no window
  Lines().Add("a");
  EXPECT_EQ(WindowText(memo->Handle()), "a\r\n");
  EXPECT_EQ(Lines().Count(), 1);
  Lines().Add("b");
  EXPECT_EQ(WindowText(memo->Handle()), "a\r\nb\r\n");

  Lines().SetText("a\r\nb");
  // The text form is the window's text: no line break is added after the last line.
  EXPECT_EQ(Lines().Text(), "a\r\nb");
  EXPECT_EQ(Lines().Count(), 2);
  Lines().Add("c");
  EXPECT_EQ(Lines().Text(), "a\r\nb\r\nc");
  EXPECT_EQ(Lines().Strings(2), "c");

  Lines().SetText("a\r\nb");
  Lines().Delete(1);
  EXPECT_EQ(Lines().Text(), "a\r\n");
  EXPECT_EQ(Lines().Count(), 1);
}

TEST_F(MemoTest, LineOperationsReplaceInsertAndDeleteInPlaceAndIgnoreMissingLines) {
  Lines().SetText("un\r\ndeux\r\ntrois");
  Lines().SetStrings(1, "DEUX");
  Lines().Insert(0, "zéro");
  Lines().Insert(4, "quatre");
  EXPECT_EQ(Lines().Text(), "zéro\r\nun\r\nDEUX\r\ntrois\r\nquatre");
  Lines().Delete(1);
  EXPECT_EQ(Lines().Text(), "zéro\r\nDEUX\r\ntrois\r\nquatre");

  Lines().Insert(-1, "x");
  Lines().Insert(9, "x");
  Lines().SetStrings(9, "x");
  Lines().Delete(9);
  EXPECT_EQ(Lines().Text(), "zéro\r\nDEUX\r\ntrois\r\nquatre");
  EXPECT_EQ(Lines().Strings(9), "");
  // After a final line break the previous line is empty: nothing can follow it there.
  Lines().SetText("a\r\n");
  Lines().Insert(2, "x");
  EXPECT_EQ(Lines().Text(), "a\r\n");
}

TEST_F(MemoTest, LongLinesReadBackWhole) {
  memo->SetWordWrap(false);
  std::string line5000(5000, 'x');
  std::string line70000(70000, 'y');  // beyond what the line request's 16-bit size can say
  line5000[4999] = 'E';
  line70000[69999] = 'F';
  Lines().SetText("debut\r\n" + line5000 + "\r\n" + line70000 + "\r\nfin");
  ASSERT_EQ(Lines().Count(), 4);
  EXPECT_EQ(Lines().Strings(0), "debut");
  EXPECT_EQ(Lines().Strings(1), line5000);
  EXPECT_EQ(Lines().Strings(2), line70000);
  EXPECT_EQ(Lines().Strings(3), "fin");
}

TEST_F(MemoTest, WholeTextSetNormalisesLineBreaksAndNotifiesOnlyARealChange) {
  Lines().SetText("a\rb\nc\r\nd\n\re");
  EXPECT_EQ(WindowText(memo->Handle()), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  EXPECT_EQ(changes.count, 1);
  Lines().SetText("a\r\nb\nc\r\nd\r\n\re");  // the same once normalised
  EXPECT_EQ(changes.count, 1);
  Lines().Clear();
  EXPECT_EQ(WindowText(memo->Handle()), "");
  memo->Clear();
  EXPECT_EQ(changes.count, 1);
  // Nothing after a NUL reaches the window.
  Lines().SetText(String("avant\0apres", 11));
  EXPECT_EQ(Lines().Text(), "avant");
  EXPECT_EQ(changes.count, 2);
}

TEST_F(MemoTest, LoadingAFileNotifiesOnceAndTheSameContentAgainNotAtAll) {
  form->Open();
  std::string name = WriteFile("function f() {\n  return 1;\r}\n");
  Lines().LoadFromFile(name);
  EXPECT_EQ(Lines().Text(), "function f() {\r\n  return 1;\r\n}\r\n");
  EXPECT_EQ(changes.count, 1);
  Lines().LoadFromFile(name);
  EXPECT_EQ(changes.count, 1);
  // The update bracket's end gave the window its visibility back.
  EXPECT_TRUE(IsWindowVisible(memo->Handle()));
}

TEST_F(MemoTest, LineOperationsNotifyThroughTheWindowAndCreationDoesNot) {
  memo->SetText("gardé");  // kept while windowless: one notification
  EXPECT_EQ(changes.count, 1);
  memo->HandleNeeded();
  EXPECT_EQ(WindowText(memo->Handle()), "gardé");
  EXPECT_EQ(changes.count, 1);
  Lines().Add("a");
  Lines().SetStrings(0, "b");
  Lines().Insert(0, "c");
  Lines().Delete(0);
  EXPECT_EQ(changes.count, 5);
}

TEST_F(MemoTest, ARefusedTextRaisesTheMemoErrorAndKeepsTheOldText) {
  Lines().SetText("ancien");
  memo->SetWindowProc([this](TMessage& message) {
    if (message.Msg == WM_SETTEXT) {
      message.Result = 0;
      return;
    }
    memo->DefaultWindowProc(message);
  });
  try {
    Lines().SetText("nouveau");
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidOperation& error) {
    EXPECT_STREQ(error.Message().c_str(), "Le texte dépasse la capacité du mémo");
  }
  EXPECT_EQ(Lines().Text(), "ancien");
  EXPECT_EQ(changes.count, 1);
}

TEST_F(MemoTest, TypingNotifiesEachChangeAndReachesTheText) {
  FocusMemo();
  TypeKeys({'A', 'B', VK_RETURN, 'C'});
  ASSERT_TRUE(PumpUntil([&] { return WindowText(memo->Handle()) == "ab\r\nc"; }));
  EXPECT_EQ(changes.count, 4);
  EXPECT_TRUE(memo->Modified());
}

TEST_F(MemoTest, AUserTypesPastThePlatformsDefaultLimit) {
  FocusMemo();
  String text;
  while (text.size() < 40000) text += String(78, 'x') + "\r\n";
  text += "fin";
  Lines().SetText(text);
  int length = static_cast<int>(text.size());
  memo->SetSelStart(length);
  TypeKeys({'Z'});
  ASSERT_TRUE(PumpUntil([&] { return GetWindowTextLengthA(memo->Handle()) == length + 1; }));
  EXPECT_EQ(Lines().Text().substr(text.size() - 3), "finz");
  EXPECT_EQ(changes.count, 2);
}

TEST_F(MemoTest, TheLimitAndTheModifiedFlagSurviveANewWindow) {
  memo->SetMaxLength(10);
  memo->SetModified(true);  // kept for the window to come
  EXPECT_TRUE(memo->Modified());
  memo->SetText("texte");
  memo->HandleNeeded();
  EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_TRUE(memo->Modified());
  HWND before = memo->Handle();
  memo->SetWordWrap(false);  // a style: the window is made again
  EXPECT_NE(memo->Handle(), before);
  EXPECT_EQ(SendMessageA(memo->Handle(), EM_GETLIMITTEXT, 0, 0), 10);
  EXPECT_TRUE(memo->Modified());
  EXPECT_EQ(Lines().Text(), "texte");
  memo->SetModified(false);
  memo->SetScrollBars(ssBoth);
  EXPECT_FALSE(memo->Modified());
  memo->SetMaxLength(0);
  EXPECT_GT(SendMessageA(memo->Handle(), EM_GETLIMITTEXT, 0, 0), 32767);
  EXPECT_EQ(changes.count, 1);
}

TEST_F(MemoTest, StylesFollowWrappingScrollBarsAlignmentAndBorder) {
  auto style = [&] { return static_cast<DWORD>(GetWindowLongPtrA(memo->Handle(), GWL_STYLE)); };
  auto exStyle = [&] { return static_cast<DWORD>(GetWindowLongPtrA(memo->Handle(), GWL_EXSTYLE)); };
  EXPECT_TRUE(style() & ES_MULTILINE);
  EXPECT_TRUE(style() & ES_AUTOVSCROLL);
  EXPECT_FALSE(style() & ES_AUTOHSCROLL);  // word wrap
  EXPECT_FALSE(style() & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_TRUE(exStyle() & WS_EX_CLIENTEDGE);
  memo->SetWordWrap(false);
  memo->SetScrollBars(ssVertical);
  memo->SetAlignment(taCenter);
  EXPECT_TRUE(style() & ES_AUTOHSCROLL);
  EXPECT_TRUE(style() & WS_VSCROLL);
  EXPECT_FALSE(style() & WS_HSCROLL);
  EXPECT_TRUE(style() & ES_CENTER);
  memo->SetBorderStyle(bsNone);
  memo->SetHideSelection(false);
  memo->SetReadOnly(true);
  EXPECT_FALSE(exStyle() & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(style() & WS_BORDER);
  EXPECT_TRUE(style() & ES_NOHIDESEL);
  EXPECT_TRUE(style() & ES_READONLY);
}

TEST_F(MemoTest, TabsAndReturnsAreTheMemosOnlyWhenItWantsThem) {
  memo->HandleNeeded();
  auto code = [&] { return memo->Perform(WM_GETDLGCODE, 0, 0); };
  EXPECT_FALSE(code() & DLGC_WANTTAB);
  EXPECT_TRUE(code() & DLGC_WANTALLKEYS);
  memo->SetWantTabs(true);
  memo->SetWantReturns(false);
  EXPECT_TRUE(code() & DLGC_WANTTAB);
  EXPECT_FALSE(code() & DLGC_WANTALLKEYS);

  FocusMemo();
  TypeKeys({'A', VK_RETURN, 'B'});
  ASSERT_TRUE(PumpUntil([&] { return WindowText(memo->Handle()) == "ab"; }));
}

TEST_F(MemoTest, CaretAndSelection) {
  Lines().SetText("premier\r\nsecond");
  memo->SetCaretPos(TPoint{3, 1});
  EXPECT_EQ(memo->SelStart(), 12);
  EXPECT_EQ(memo->CaretPos().x, 3);
  EXPECT_EQ(memo->CaretPos().y, 1);
  memo->SetSelStart(2);
  memo->SetSelLength(5);
  EXPECT_EQ(memo->SelLength(), 5);
  EXPECT_EQ(memo->SelText(), "emier");
  memo->SelectAll();
  EXPECT_EQ(memo->SelLength(), 15);
}

TEST_F(MemoTest, DefaultsAndTheEditsAutomaticHeight) {
  EXPECT_EQ(memo->Alignment(), taLeftJustify);
  EXPECT_TRUE(memo->WordWrap());
  EXPECT_TRUE(memo->WantReturns());
  EXPECT_FALSE(memo->WantTabs());
  EXPECT_FALSE(memo->AutoSize());
  EXPECT_TRUE(memo->TabStop());
  EXPECT_EQ(memo->ScrollBars(), ssNone);
  TMemo fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 185);
  EXPECT_EQ(fresh.Height(), 89);

  auto* edit = new TCustomEdit(form.get());
  edit->SetParent(form.get());
  edit->HandleNeeded();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, edit->Font()->Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(edit->Height(), metrics.tmHeight + 8 * GetSystemMetrics(SM_CYBORDER));
  EXPECT_EQ(edit->Width(), 121);
  EXPECT_TRUE(edit->ControlStyle().Contains(csFixedHeight));
}

}  // namespace
}  // namespace tavelo::testing
