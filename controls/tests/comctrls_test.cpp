#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <list>
#include <string>
#include <vector>

#include "actions/customaction.h"
#include "controls/application.h"
#include "controls/comctrls.h"
#include "controls/extctrls.h"
#include "controls/forms.h"
#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/system.h"
#include "core/tests/test_support.h"
#include "tools/formtext.h"

namespace tavelo::testing {

// The main window's layout as a description: a page with a client-aligned panel, and the
// four-panel status bar.
class TEditorLikeForm : public TForm {
  TAVELO_CLASS(TEditorLikeForm, TForm)
public:
  explicit TEditorLikeForm(TComponent* owner) : TForm(owner) {}
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TPanel* Panel1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
};

TAVELO_PUBLISH(TEditorLikeForm) {
  c.Field("PageControl1", &Self::PageControl1);
  c.Field("TabSheet1", &Self::TabSheet1);
  c.Field("Panel1", &Self::Panel1);
  c.Field("StatusBar1", &Self::StatusBar1);
}

namespace {

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

std::vector<int> Parts(TStatusBar* bar) {
  int count = static_cast<int>(SendMessageA(bar->Handle(), SB_GETPARTS, 0, 0));
  std::vector<int> edges(static_cast<std::size_t>(count));
  SendMessageA(bar->Handle(), SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges.data()));
  return edges;
}

String PartText(TStatusBar* bar, int part) {
  char buffer[512] = {};
  SendMessageA(bar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer));
  return String(buffer);
}

// Every text the bar sends its window, as "part|flags|text".
struct TTextLog {
  std::vector<String> sent;
  void Watch(TStatusBar* bar) {
    bar->SetWindowProc([this, bar](TMessage& message) {
      if (message.Msg == SB_SETTEXTA)
        sent.push_back(std::to_string(message.WParam & 0xFF) + "|" + std::to_string(message.WParam & 0xFF00) + "|" +
                       reinterpret_cast<const char*>(message.LParam));
      bar->DefaultWindowProc(message);
    });
  }
};

struct TLog : TObject {
  std::vector<String> steps;
  bool allow = true;
  TPageControl* pages = nullptr;
  void Changing(TObject*, bool& allowChange) {
    steps.push_back("changing " + std::to_string(pages->TabIndex()));
    allowChange = allow;
  }
  void Change(TObject*) {
    steps.push_back("change " + (pages->ActivePage() ? pages->ActivePage()->Caption() : String("-")));
  }
  void Draw(TCustomStatusBar*, TStatusPanel* panel, const TRect& rect) {
    steps.push_back("draw " + std::to_string(panel->Index()) + " " + std::to_string(rect.right - rect.left > 0));
  }
  void Hint(TObject*) { steps.push_back("hint"); }
  void Show(TObject* sender) { steps.push_back("show " + static_cast<TTabSheet*>(sender)->Caption()); }
  void Hide(TObject* sender) { steps.push_back("hide " + static_cast<TTabSheet*>(sender)->Caption()); }
};

class ComCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override { StartControls(); }
  void TearDown() override { StopControls(); }

  TForm* NewForm(int clientWidth, int clientHeight) {
    auto* form = new TForm(nullptr, 0);
    form->SetBounds(20, 20, 300, 200);
    form->SetClientWidth(clientWidth);
    form->SetClientHeight(clientHeight);
    return form;
  }
  TStatusBar* EditorBar(TForm* form) {
    auto* bar = new TStatusBar(form);
    bar->SetParent(form);
    for (int width : {90, 350, 100, 200}) {
      TStatusPanel* panel = bar->Panels()->Add();
      panel->SetWidth(width);
      panel->SetAlignment(taCenter);
    }
    bar->Panels()->Items(0)->SetText("Tavelo");
    bar->Panels()->Items(0)->SetBevel(pbNone);
    bar->Panels()->Items(2)->SetBevel(pbRaised);
    return bar;
  }
  TTabSheet* AddSheet(TPageControl* pages, const char* caption) {
    auto* sheet = new TTabSheet(pages->Owner());
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
    return sheet;
  }
  TLog log;
};

TEST_F(ComCtrlsTest, TheEditorsFourPanelsLetTheLastOneStretchToTheEndOfTheBar) {
  TForm* form = NewForm(688, 400);
  TStatusBar* bar = EditorBar(form);
  form->Show();
  EXPECT_EQ(bar->Width(), 688);
  EXPECT_EQ(bar->Top() + bar->Height(), 400);
  EXPECT_EQ(Parts(bar), (std::vector<int>{90, 440, 540, -1}));
  RECT last{};
  SendMessageA(bar->Handle(), SB_GETRECT, 3, reinterpret_cast<LPARAM>(&last));
  RECT client{};
  GetClientRect(bar->Handle(), &client);
  EXPECT_GE(last.left, 540);
  EXPECT_LE(last.left, 542);
  EXPECT_GE(last.right, client.right - 20);  // up to the end, short of the grip

  // The last panel's own width does not count: it follows the bar.
  form->SetClientWidth(800);
  EXPECT_EQ(bar->Width(), 800);
  EXPECT_EQ(Parts(bar), (std::vector<int>{90, 440, 540, -1}));
  RECT wider{};
  SendMessageA(bar->Handle(), SB_GETRECT, 3, reinterpret_cast<LPARAM>(&wider));
  EXPECT_EQ(wider.right - last.right, 800 - 688);

  // A width change lays the parts out again.
  bar->Panels()->Items(0)->SetWidth(100);
  EXPECT_EQ(Parts(bar), (std::vector<int>{100, 450, 550, -1}));
  delete form;
}

TEST_F(ComCtrlsTest, PanelTextsReachTheWindowAtTheNextPaintAlignedByTabs) {
  TForm* form = NewForm(688, 400);
  TStatusBar* bar = EditorBar(form);
  bar->Panels()->Items(3)->SetAlignment(taRightJustify);
  bar->Panels()->Items(3)->SetText("droite");
  bar->Panels()->Items(1)->SetAlignment(taLeftJustify);
  TTextLog log;
  log.Watch(bar);
  form->Show();
  UpdateWindow(bar->Handle());
  EXPECT_EQ(PartText(bar, 0), "\tTavelo");
  EXPECT_EQ(PartText(bar, 3), "\t\tdroite");
  // Borders: none for the first, raised for the third, lowered (no flag) for the others.
  EXPECT_NE(std::find(log.sent.begin(), log.sent.end(), "0|" + std::to_string(SBT_NOBORDERS) + "|\tTavelo"), log.sent.end());
  EXPECT_NE(std::find(log.sent.begin(), log.sent.end(), "2|" + std::to_string(SBT_POPOUT) + "|\t"), log.sent.end());
  EXPECT_NE(std::find(log.sent.begin(), log.sent.end(), "1|0|"), log.sent.end());

  // A new text waits for the paint; the same text again sends nothing.
  log.sent.clear();
  bar->Panels()->Items(1)->SetText("C:\\js\\essai.js");
  EXPECT_TRUE(log.sent.empty());
  EXPECT_EQ(PartText(bar, 1), "");
  UpdateWindow(bar->Handle());
  EXPECT_EQ(log.sent, (std::vector<String>{"1|0|C:\\js\\essai.js"}));
  EXPECT_EQ(PartText(bar, 1), "C:\\js\\essai.js");
  log.sent.clear();
  bar->Panels()->Items(1)->SetText("C:\\js\\essai.js");
  UpdateWindow(bar->Handle());
  InvalidateRect(bar->Handle(), nullptr, TRUE);
  UpdateWindow(bar->Handle());
  EXPECT_TRUE(log.sent.empty());

  // A new window gets every panel again.
  bar->Panels()->Items(2)->SetText("Modifié");
  bar->RecreateWnd();
  UpdateWindow(bar->Handle());
  EXPECT_EQ(Parts(bar), (std::vector<int>{90, 440, 540, -1}));
  EXPECT_EQ(PartText(bar, 0), "\tTavelo");
  EXPECT_EQ(PartText(bar, 1), "C:\\js\\essai.js");
  EXPECT_EQ(PartText(bar, 2), "\tModifié");
  EXPECT_EQ(PartText(bar, 3), "\t\tdroite");
  delete form;
}

TEST_F(ComCtrlsTest, ABarWithoutPanelsOrWithTooManyAndTheSimpleMode) {
  TForm* form = NewForm(400, 200);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  form->Show();
  EXPECT_EQ(Parts(bar), (std::vector<int>{-1}));

  for (int i = 0; i < 130; ++i) bar->Panels()->Add()->SetWidth(2);
  std::vector<int> parts = Parts(bar);
  ASSERT_EQ(parts.size(), 128u);
  EXPECT_EQ(parts[126], 254);
  EXPECT_EQ(parts[127], -1);
  bar->Panels()->Items(129)->SetText("au-delà");  // ignored, not an error
  UpdateWindow(bar->Handle());
  bar->Panels()->Clear();
  EXPECT_EQ(Parts(bar), (std::vector<int>{-1}));

  TTextLog log;
  log.Watch(bar);
  bar->SetSimpleText("Ouvre un fichier");
  EXPECT_EQ(log.sent, (std::vector<String>{"255|0|Ouvre un fichier"}));
  bar->SetSimplePanel(true);
  EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(GetWindowTextLengthA(bar->Handle()), 16);
  log.sent.clear();
  bar->SetSimpleText("Ouvre un fichier");
  EXPECT_TRUE(log.sent.empty());
  bar->RecreateWnd();
  EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(log.sent, (std::vector<String>{"0|0|", "255|0|Ouvre un fichier"}));
  bar->SetSimplePanel(false);
  EXPECT_FALSE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
  delete form;
}

TEST_F(ComCtrlsTest, TheSizeGripShowsOnlyInTheCornerOfASizeableForm) {
  TForm* sizeable = NewForm(300, 150);
  auto* bar = new TStatusBar(sizeable);
  bar->SetParent(sizeable);
  sizeable->Show();
  EXPECT_TRUE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  // Moved off the corner, it loses the grip; back in the corner it gets it again.
  bar->SetAlign(alTop);
  EXPECT_FALSE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_TRUE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & CCS_TOP);
  bar->SetAlign(alBottom);
  EXPECT_TRUE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  bar->SetSizeGrip(false);
  EXPECT_FALSE(GetWindowLongPtrA(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);

  TForm* dialog = NewForm(300, 150);
  dialog->SetBorderStyle(bsDialog);
  auto* other = new TStatusBar(dialog);
  other->SetParent(dialog);
  dialog->Show();
  EXPECT_FALSE(GetWindowLongPtrA(other->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  delete dialog;
  delete sizeable;
}

TEST_F(ComCtrlsTest, AnOwnerDrawnPanelIsDrawnByTheHandler) {
  TForm* form = NewForm(300, 150);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetWidth(100);
  bar->Panels()->Add()->SetStyle(psOwnerDraw);
  bar->SetOnDrawPanel(TDrawPanelEvent::Bind<&TLog::Draw>(&log));
  form->Show();
  UpdateWindow(bar->Handle());
  EXPECT_EQ(log.steps, (std::vector<String>{"draw 1 1"}));
  delete form;
}

TEST_F(ComCtrlsTest, WithAutoHintTheApplicationsHintGoesToTheFirstPanelOrTheSimpleText) {
  TForm* form = NewForm(400, 150);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  THintAction hint(nullptr);
  hint.SetHint("Ouvre un fichier");
  EXPECT_FALSE(bar->TryRunAction(&hint));  // AutoHint is off
  bar->SetAutoHint(true);
  EXPECT_TRUE(bar->TryRunAction(&hint));
  EXPECT_EQ(bar->SimpleText(), "Ouvre un fichier");
  bar->Panels()->Add();
  hint.SetHint("Enregistre");
  EXPECT_TRUE(bar->TryRunAction(&hint));
  EXPECT_EQ(bar->Panels()->Items(0)->Text(), "Enregistre");
  bar->SetSimplePanel(true);
  hint.SetHint("Quitte");
  EXPECT_TRUE(bar->TryRunAction(&hint));
  EXPECT_EQ(bar->SimpleText(), "Quitte");
  bar->SetOnHint(TNotifyEvent::Bind<&TLog::Hint>(&log));
  hint.SetHint("Autre");
  bar->TryRunAction(&hint);
  EXPECT_EQ(bar->SimpleText(), "Quitte");
  EXPECT_EQ(log.steps, (std::vector<String>{"hint"}));
  delete form;
}

TEST_F(ComCtrlsTest, ControlTabAndTheTabsAcceleratorsMoveBetweenPages) {
  TForm* form = NewForm(400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  TTabSheet* one = AddSheet(pages, "&Un");
  TTabSheet* two = AddSheet(pages, "&Deux");
  TTabSheet* three = AddSheet(pages, "&Trois");
  two->SetTabVisible(false);
  log.pages = pages;
  pages->SetOnChanging(TTabChangingEvent::Bind<&TLog::Changing>(&log));
  pages->SetOnChange(TNotifyEvent::Bind<&TLog::Change>(&log));
  form->Show();
  form->SetActiveControl(pages);
  {
    TKeyHeld control(VK_CONTROL);
    EXPECT_EQ(pages->Perform(FM_DIALOG_KEY, VK_TAB, 0), 1);
    EXPECT_EQ(pages->ActivePage(), three);  // the hidden tab is passed over
    TKeyHeld shift(VK_SHIFT);
    EXPECT_EQ(pages->Perform(FM_DIALOG_KEY, VK_TAB, 0), 1);
    EXPECT_EQ(pages->ActivePage(), one);
  }
  EXPECT_EQ(log.steps, (std::vector<String>{"changing 0", "change &Trois", "changing 1", "change &Un"}));
  EXPECT_EQ(pages->Perform(FM_DIALOG_KEY, VK_TAB, 0), 0);  // without Ctrl, not the pages'

  log.steps.clear();
  EXPECT_EQ(pages->Perform(FM_DIALOG_CHAR, 't', 0), 1);
  EXPECT_EQ(pages->ActivePage(), three);
  EXPECT_EQ(pages->Perform(FM_DIALOG_CHAR, 'd', 0), 0);  // its tab is not showing
  log.allow = false;
  EXPECT_EQ(pages->Perform(FM_DIALOG_CHAR, 'u', 0), 1);
  EXPECT_EQ(pages->ActivePage(), three);
  EXPECT_EQ(log.steps, (std::vector<String>{"changing 0", "change &Trois", "changing 1"}));
  delete form;
}

TEST_F(ComCtrlsTest, APageFillsTheDisplayAreaAndItsClientAlignedControlFillsThePage) {
  TForm* form = NewForm(400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  TTabSheet* sheet = AddSheet(pages, "   Js");
  auto* inside = new TPanel(form);
  inside->SetParent(sheet);
  inside->SetAlign(alClient);
  form->Show();
  EXPECT_EQ(pages->ActivePage(), sheet);
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_TRUE(sheet->Visible());

  RECT expected{0, 0, pages->ClientWidth(), pages->ClientHeight()};
  SendMessageA(pages->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&expected));
  expected.top += 2;
  EXPECT_EQ(Text(sheet->BoundsRect()), Text(expected));
  EXPECT_GT(sheet->Top(), 10);  // below the tab
  EXPECT_EQ(Text(inside->BoundsRect()), Text(Rect(0, 0, sheet->ClientWidth(), sheet->ClientHeight())));

  // The window follows the form.
  form->SetClientWidth(500);
  EXPECT_EQ(sheet->Width(), expected.right - expected.left + 100);
  EXPECT_EQ(inside->Width(), sheet->ClientWidth());

  // Removing the only page leaves nothing active and no tab selected.
  delete sheet;
  EXPECT_EQ(pages->PageCount(), 0);
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->TabIndex(), -1);
  EXPECT_EQ(pages->Tabs()->Count(), 0);
  delete form;
}

TEST_F(ComCtrlsTest, SheetsAreAddedMovedHiddenAndRemovedWithTheirTabs) {
  TForm* form = NewForm(400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  TTabSheet* a = AddSheet(pages, "A");
  TTabSheet* b = AddSheet(pages, "B");
  TTabSheet* c = AddSheet(pages, "C");
  a->SetOnShow(TNotifyEvent::Bind<&TLog::Show>(&log));
  a->SetOnHide(TNotifyEvent::Bind<&TLog::Hide>(&log));
  form->Show();
  EXPECT_EQ(pages->Tabs()->Text(), "A\r\nB\r\nC\r\n");
  EXPECT_EQ(pages->ActivePage(), a);
  EXPECT_EQ(pages->Tabs()->Objects(2), c);

  c->SetPageIndex(0);
  EXPECT_EQ(pages->Tabs()->Text(), "C\r\nA\r\nB\r\n");
  EXPECT_EQ(pages->ActivePage(), a);
  EXPECT_EQ(pages->TabIndex(), 1);
  EXPECT_EQ(MessageOf([&] { c->SetPageIndex(3); }),
            "3 est une valeur de PageIndex incorrecte.  PageIndex doit être compris entre 0 et 2");

  b->SetCaption("Bé");
  b->SetTabVisible(false);
  EXPECT_EQ(pages->Tabs()->Text(), "C\r\nA\r\n");
  EXPECT_EQ(b->TabIndex(), -1);
  EXPECT_EQ(b->PageIndex(), 2);
  b->SetTabVisible(true);
  EXPECT_EQ(pages->Tabs()->Text(), "C\r\nA\r\nBé\r\n");

  // The active page goes: the next one with a tab takes its place.
  pages->SetActivePage(b);
  EXPECT_EQ(log.steps, (std::vector<String>{"show A", "hide A"}));
  EXPECT_TRUE(b->Visible());
  EXPECT_FALSE(a->Visible());
  b->SetPageControl(nullptr);
  EXPECT_EQ(pages->ActivePage(), c);
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_EQ(pages->Tabs()->Text(), "C\r\nA\r\n");
  EXPECT_EQ(b->Parent(), nullptr);
  delete b;
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), a);
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), c);
  delete form;
}

TEST_F(ComCtrlsTest, ClickingATabAsksOnChangingAndThenRunsOnChange) {
  TForm* form = NewForm(400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  AddSheet(pages, "Un");
  TTabSheet* two = AddSheet(pages, "Deux");
  log.pages = pages;
  pages->SetOnChanging(TTabChangingEvent::Bind<&TLog::Changing>(&log));
  pages->SetOnChange(TNotifyEvent::Bind<&TLog::Change>(&log));
  form->Show();
  SetForegroundWindow(form->Handle());

  RECT tab{};
  SendMessageA(pages->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  auto click = [&] {
    PostMessageA(pages->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(pages->Handle(), WM_LBUTTONUP, 0, at);
  };
  log.allow = false;
  click();
  ASSERT_TRUE(PumpUntil([&] { return !log.steps.empty(); }));
  PumpPending();
  EXPECT_EQ(log.steps, (std::vector<String>{"changing 0"}));
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_NE(pages->ActivePage(), two);

  log.steps.clear();
  log.allow = true;
  click();
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == two; }));
  EXPECT_EQ(log.steps, (std::vector<String>{"changing 0", "change Deux"}));
  EXPECT_EQ(pages->TabIndex(), 1);
  delete form;
}

TEST_F(ComCtrlsTest, TheTabWindowsRefusalsAndTheRulesOfTheTabPropertiesRaiseTheirErrors) {
  TForm* form = NewForm(400, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  AddSheet(pages, "Un");
  TStrings* tabs = pages->Tabs();
  EXPECT_EQ(MessageOf([&] { tabs->Strings(5); }), "Echec à la récupération de l'onglet d'indice 5");
  EXPECT_EQ(MessageOf([&] { tabs->Objects(5); }), "Echec à l'obtention de l'objet à l'indice 5");
  EXPECT_EQ(MessageOf([&] { tabs->SetStrings(5, "x"); }), "Echec pour mettre l'onglet \"x\" à l'indice 5");
  EXPECT_EQ(MessageOf([&] { tabs->SetObjects(5, nullptr); }), "Echec pour mettre l'objet à l'indice 5");
  EXPECT_EQ(MessageOf([&] { tabs->Insert(-1, "y"); }), "Echec pour mettre l'onglet \"y\" à l'indice -1");
  EXPECT_EQ(MessageOf([&] { tabs->Delete(5); }), "Echec à la suppression de l'onglet d'indice 5");
  EXPECT_EQ(tabs->Count(), 1);

  pages->SetTabPosition(tpLeft);
  EXPECT_TRUE(pages->MultiLine());
  EXPECT_TRUE(GetWindowLongPtrA(pages->Handle(), GWL_STYLE) & TCS_VERTICAL);
  EXPECT_EQ(tabs->Text(), "Un\r\n");  // the tabs outlive the new window
  EXPECT_EQ(pages->TabIndex(), 0);
  EXPECT_EQ(MessageOf([&] { pages->SetMultiLine(false); }),
            "MultiLine doit être vrai lorsque TabPosition est tpLeft ou tpRight");
  EXPECT_EQ(MessageOf([&] { pages->SetStyle(tsButtons); }),
            "Style d'onglet incompatible avec la position d'onglet actuelle");
  pages->SetTabPosition(tpTop);
  pages->SetStyle(tsButtons);
  EXPECT_EQ(MessageOf([&] { pages->SetTabPosition(tpBottom); }),
            "Position d'onglet incompatible avec le style d'onglet actuel");
  EXPECT_EQ(MessageOf([&] { pages->SetTabHeight(-1); }), "Propriété TPageControl hors limites");
  EXPECT_EQ(MessageOf([&] { pages->SetTabWidth(-1); }), "Propriété TPageControl hors limites");
  EXPECT_EQ(MessageOf([&] { pages->Pages(0)->SetPageIndex(1); }),
            "1 est une valeur de PageIndex incorrecte.  PageIndex doit être compris entre 0 et 0");
  delete form;
}

// Compiles a description and gives it to the program as the resource of its root class.
void Describe(const std::string& text) {
  static std::list<std::string> kept;
  formtext::TCompiled compiled = formtext::Compile(text, ".");
  kept.push_back(compiled.bytes);
  sys::RegisterResource(compiled.rootClass, sys::kRcData, kept.back().data(), static_cast<std::int32_t>(kept.back().size()));
}

TEST_F(ComCtrlsTest, ThePanelsAndTheSheetsAreReadFromADescription) {
  Describe(
      "EditorLikeForm: TEditorLikeForm {\n"
      "  Left = 10\n  Top = 10\n  ClientWidth = 688\n  ClientHeight = 453\n"
      "  PageControl1: TPageControl {\n"
      "    Left = 0\n    Top = 0\n    Width = 688\n    Height = 434\n"
      "    ActivePage = TabSheet1\n    Align = alClient\n    TabIndex = 0\n    TabOrder = 0\n"
      "    TabSheet1: TTabSheet {\n"
      "      Caption = \"   Js\"\n"
      "      Panel1: TPanel {\n        Left = 0\n        Top = 0\n        Width = 680\n        Height = 348\n"
      "        Align = alClient\n      }\n"
      "    }\n"
      "  }\n"
      "  StatusBar1: TStatusBar {\n"
      "    Left = 0\n    Top = 434\n    Width = 688\n    Height = 19\n    SimplePanel = False\n"
      "    Panels = <\n"
      "      { Alignment = taCenter; Bevel = pbNone; Text = \"Tavelo\"; Width = 90 }\n"
      "      { Alignment = taCenter; Width = 350 }\n"
      "      { Alignment = taCenter; Bevel = pbRaised; Width = 100 }\n"
      "      { Alignment = taCenter; Width = 200 }\n"
      "    >\n"
      "  }\n"
      "}\n");
  auto* form = tavelo::NewForm<TEditorLikeForm>(nullptr);
  ASSERT_NE(form->StatusBar1, nullptr);
  TStatusPanels* panels = form->StatusBar1->Panels();
  ASSERT_EQ(panels->Count(), 4);
  EXPECT_EQ(panels->Items(0)->Text(), "Tavelo");
  EXPECT_EQ(panels->Items(0)->Bevel(), pbNone);
  EXPECT_EQ(panels->Items(1)->Bevel(), pbLowered);
  EXPECT_EQ(panels->Items(2)->Bevel(), pbRaised);
  EXPECT_EQ(panels->Items(3)->Width(), 200);
  EXPECT_EQ(panels->Items(3)->Alignment(), taCenter);
  EXPECT_EQ(panels->GetNamePath() + "", "StatusBar1.Panels");

  ASSERT_NE(form->PageControl1, nullptr);
  EXPECT_EQ(form->PageControl1->PageCount(), 1);
  EXPECT_EQ(form->PageControl1->Pages(0), form->TabSheet1);
  EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
  EXPECT_EQ(form->PageControl1->Tabs()->Text(), "   Js\r\n");
  form->Show();
  EXPECT_EQ(Parts(form->StatusBar1), (std::vector<int>{90, 440, 540, -1}));
  UpdateWindow(form->StatusBar1->Handle());
  EXPECT_EQ(PartText(form->StatusBar1, 0), "\tTavelo");
  EXPECT_TRUE(form->TabSheet1->Showing());
  EXPECT_EQ(form->Panel1->Width(), form->TabSheet1->ClientWidth());
  EXPECT_EQ(form->Panel1->Height(), form->TabSheet1->ClientHeight());
  delete form;
}

}  // namespace
}  // namespace tavelo::testing
