// Bars on a real window: binding, layout, sizing, painting, selection, lookups and clicks; and
// the editor's manager read from a description.
#include <gtest/gtest.h>

#include "actnman/actnmsgs.h"
#include "actnman/tests/actnman_test_support.h"
#include "controls/application.h"
#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"
#include "graphics/bitmap.h"

namespace tavelo::testing {
namespace {

struct TCounter : TObject {
  void Execute(TObject*) { ++runs; }
  int runs = 0;
};

class ActionBarsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    form = new TForm(Application(), 0);
    form->SetBounds(30, 30, 420, 240);
    manager = new TActionManager(form);
    barItem = manager->ActionBars()->Add();
    form->Show();
  }
  void TearDown() override { StopControls(); }

  // A bar with no edges, so its client area is its bounds.
  TTestActionBar* NewBar(int width, int height) {
    auto* bar = new TTestActionBar(form);
    bar->SetParent(form);
    bar->SetEdgeBorders({});
    bar->SetEdgeInner(esNone);
    bar->SetEdgeOuter(esNone);
    bar->SetBounds(0, 0, width, height);
    bar->SetActionManager(manager);
    return bar;
  }
  TActionClientItem* NewItem(TActionClients* list, const String& caption) {
    TActionClientItem* item = list->Add();
    item->SetCaption(caption);
    return item;
  }
  // Gives every control of the bar the same size and lays the bar out again.
  void SizeControls(TCustomActionBar* bar, int width, int height) {
    for (int i = 0; i < bar->ItemCount(); ++i) bar->ControlAt(i)->SetBounds(0, 0, width, height);
    bar->Realign();
  }

  TForm* form = nullptr;
  TActionManager* manager = nullptr;
  TActionBarItem* barItem = nullptr;
};

TEST_F(ActionBarsTest, BindingMakesOneControlPerItem) {
  for (const char* caption : {"&Fichier", "&Edition", "?"}) NewItem(barItem->Items(), caption);
  TTestActionBar* bar = NewBar(300, 30);
  std::vector<TCustomActionControl*> created;
  struct TWatch : TObject {
    std::vector<TCustomActionControl*>* list;
    void Created(TObject*, TCustomActionControl* control) { list->push_back(control); }
  } watch;
  watch.list = &created;
  bar->SetOnControlCreated(TControlCreatedEvent::Bind<&TWatch::Created>(&watch));
  barItem->SetActionBar(bar);
  ASSERT_EQ(bar->ItemCount(), 3);
  EXPECT_EQ(bar->ActionClient(), barItem);
  EXPECT_EQ(created.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    TCustomActionControl* control = bar->ControlAt(i);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->ActionClient(), barItem->Items()->ActionClients(i));
    EXPECT_EQ(barItem->Items()->ActionClients(i)->Control(), control);
    EXPECT_EQ(control->Parent(), bar);
    EXPECT_EQ(control->Caption(), barItem->Items()->ActionClients(i)->Caption());
  }
  // An item added later gets its control; one deleted takes its control along.
  NewItem(barItem->Items(), "&Aide");
  EXPECT_NE(bar->ControlAt(3), nullptr);
  barItem->Items()->Delete(0);
  EXPECT_EQ(bar->ItemCount(), 3);
  EXPECT_EQ(bar->ControlAt(0)->Caption(), "&Edition");
  // Unbinding frees every control.
  barItem->SetActionBar(nullptr);
  EXPECT_EQ(bar->ControlCount(), 0);
  EXPECT_EQ(bar->ActionClient(), nullptr);
  EXPECT_EQ(barItem->Items()->ActionClients(0)->Control(), nullptr);
}

TEST_F(ActionBarsTest, ARowWithoutAutoSizeNeverWraps) {
  for (int i = 0; i < 4; ++i) NewItem(barItem->Items(), "x");
  TTestActionBar* bar = NewBar(100, 30);
  barItem->SetActionBar(bar);
  SizeControls(bar, 40, 20);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(bar->ControlAt(i)->Left(), 40 * i) << i;
    EXPECT_EQ(bar->ControlAt(i)->Top(), 1) << i;
  }
  EXPECT_GT(bar->ControlAt(3)->Left(), bar->ClientWidth());
  EXPECT_EQ(bar->RowCount(), 1);
}

TEST_F(ActionBarsTest, AutoSizeWrapsRowsAndSizesTheBar) {
  for (int i = 0; i < 3; ++i) NewItem(barItem->Items(), "x");
  TTestActionBar* bar = NewBar(100, 30);
  bar->SetAlign(alTop);
  bar->SetHorzSeparator(true);
  barItem->SetAutoSize(true);
  barItem->SetActionBar(bar);
  EXPECT_TRUE(bar->AutoSize());
  int half = bar->ClientWidth() / 2 - 10;
  SizeControls(bar, half, 20);
  EXPECT_EQ(bar->ControlAt(1)->Left(), half);
  // The second row: old top + largest height + 2 x VertMargin + 2 for the separator.
  EXPECT_EQ(bar->ControlAt(2)->Left(), 0);
  EXPECT_EQ(bar->ControlAt(2)->Top(), 1 + 20 + 2 + 2);
  EXPECT_EQ(bar->RowCount(), 2);
  bar->RecomputeSize();
  EXPECT_EQ(bar->DesiredHeight(), 2 * 1 * 1 + 2 * 20 + 2 * 1 + 2);
  EXPECT_EQ(bar->Height(), bar->DesiredHeight());
}

TEST_F(ActionBarsTest, DesiredSizeOfOneRow) {
  NewItem(barItem->Items(), "x");
  TTestActionBar* bar = NewBar(200, 40);
  bar->SetAlign(alTop);
  barItem->SetAutoSize(true);
  barItem->SetActionBar(bar);
  SizeControls(bar, 30, 22);
  bar->RecomputeSize();
  EXPECT_EQ(bar->DesiredHeight(), 24);
  EXPECT_EQ(bar->Height(), 24);
  // Each raised or lowered edge adds a pixel.
  bar->SetEdgeBorders({ebTop, ebBottom});
  bar->SetEdgeInner(esRaised);
  EXPECT_EQ(bar->DesiredHeight(), 26);
  bar->SetEdgeOuter(esLowered);
  EXPECT_EQ(bar->DesiredHeight(), 28);
  // Aligned to a side, the height is the bar's own.
  bar->SetAlign(alLeft);
  EXPECT_EQ(bar->DesiredHeight(), bar->Height());
}

TEST_F(ActionBarsTest, VerticalBarsStackTheirControls) {
  for (int i = 0; i < 3; ++i) NewItem(barItem->Items(), "x");
  TTestActionBar* bar = NewBar(60, 200);
  bar->SetOrientation(boTopToBottom);
  barItem->SetActionBar(bar);
  SizeControls(bar, 30, 20);
  bar->SetSpacing(2);
  EXPECT_EQ(bar->ControlAt(0)->Top(), 1);
  EXPECT_EQ(bar->ControlAt(1)->Top(), 1 + 20 + 2);
  EXPECT_EQ(bar->ControlAt(2)->Top(), 1 + 2 * 22);
  EXPECT_EQ(bar->ControlAt(2)->Width(), 30);
  bar->SetOrientation(boBottomToTop);
  SizeControls(bar, 30, 20);
  EXPECT_EQ(bar->ControlAt(0)->Top(), 200 - 20);
  // The running bottom starts at the client height less VertMargin and rises by each height
  // and spacing; a later control sits a spacing above it.
  EXPECT_EQ(bar->ControlAt(1)->Top(), (200 - 1) - (20 + 2) - 20 - 2);
  bar->SetOrientation(boRightToLeft);
  SizeControls(bar, 20, 20);
  EXPECT_EQ(bar->ControlAt(0)->Left(), 60 - 20);
}

TEST_F(ActionBarsTest, ATiledBackgroundCoversTheBar) {
  NewItem(barItem->Items(), "x");
  TBitmap tile;
  tile.SetWidth(16);
  tile.SetHeight(16);
  tile.Canvas()->Brush()->SetColor(clRed);
  tile.Canvas()->FillRect(Rect(0, 0, 16, 16));
  barItem->Background()->Assign(&tile);
  barItem->SetBackgroundLayout(blTile);
  TTestActionBar* bar = NewBar(40, 20);
  bar->SetColor(clWhite);
  barItem->SetActionBar(bar);
  bar->ControlAt(0)->SetVisible(false);
  ASSERT_TRUE(barItem->HasBackground());
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 20);
  HGDIOBJ old = SelectObject(dc, bitmap);
  bar->PaintTo(dc, 0, 0);
  // Three tiles across (0, 16, 32) and two down (0, 16): the last ones reach the corner.
  for (POINT p : {POINT{1, 1}, POINT{17, 1}, POINT{33, 1}, POINT{1, 17}, POINT{33, 17}, POINT{39, 19}})
    EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(255, 0, 0)) << p.x << "," << p.y;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

TEST_F(ActionBarsTest, AnImageOnlyItemMeasuresItsImageAndMargins) {
  auto* images = new TImageList(form);
  TBitmap image;
  image.SetWidth(16);
  image.SetHeight(16);
  images->Add(&image, nullptr);
  manager->SetImages(images);
  auto* action = new TAction(form);
  action->SetActionList(manager);
  action->SetCaption("&Ouvrir");
  action->SetImageIndex(0);
  TActionClientItem* item = barItem->Items()->Add();
  item->SetAction(action);
  TTestActionBar* bar = NewBar(200, 40);
  barItem->SetActionBar(bar);
  ASSERT_TRUE(item->HasGlyph());
  item->SetShowCaption(false);
  EXPECT_FALSE(item->ShowCaption());
  TCustomActionControl* control = item->Control();
  EXPECT_EQ(control->Width(), 24);
  EXPECT_EQ(control->Height(), 24);
  EXPECT_EQ(control->GlyphPos().x, 4);
  EXPECT_EQ(control->GlyphPos().y, 4);
  // With the caption the text adds its width.
  barItem->Items()->SetCaptionOptions(coAll);
  EXPECT_GT(control->Width(), 24);
}

TEST_F(ActionBarsTest, SelectionStaysWithinOneBar) {
  NewItem(barItem->Items(), "A1");
  NewItem(barItem->Items(), "A2");
  TActionBarItem* otherItem = manager->ActionBars()->Add();
  NewItem(otherItem->Items(), "B1");
  TTestActionBar* bar = NewBar(200, 30);
  TTestActionBar* other = NewBar(200, 30);
  other->SetTop(40);
  barItem->SetActionBar(bar);
  otherItem->SetActionBar(other);
  TCustomActionControl* a1 = bar->ControlAt(0);
  TCustomActionControl* a2 = bar->ControlAt(1);
  TCustomActionControl* b1 = other->ControlAt(0);
  a1->SetSelected(true);
  b1->SetSelected(true);
  EXPECT_TRUE(a1->Selected());
  a2->SetSelected(true);
  EXPECT_FALSE(a1->Selected());
  EXPECT_TRUE(a2->Selected());
  EXPECT_TRUE(b1->Selected());
}

TEST_F(ActionBarsTest, NavigationAndAccelerators) {
  TActionClientItem* first = NewItem(barItem->Items(), "&Fichier");
  TActionClientItem* middle = NewItem(barItem->Items(), "&Edition");
  TActionClientItem* last = NewItem(barItem->Items(), "&Outils");
  TTestActionBar* bar = NewBar(300, 30);
  barItem->SetActionBar(bar);
  EXPECT_EQ(bar->FirstItem(), first);
  EXPECT_EQ(bar->LastItem(), last);
  EXPECT_EQ(bar->NextItem(last, false), nullptr);
  EXPECT_EQ(bar->NextItem(last, true), first);
  EXPECT_EQ(bar->PreviousItem(first, true), last);
  EXPECT_EQ(bar->NextItem(nullptr, true), first);
  middle->SetVisible(false);
  EXPECT_FALSE(middle->Control()->Visible());
  EXPECT_EQ(bar->FindNextVisibleItem(first), last);
  EXPECT_EQ(bar->FindPreviousVisibleItem(last), first);
  EXPECT_EQ(bar->FindAccelItem('o'), last);
  EXPECT_EQ(bar->FindAccelItem('E'), nullptr);
  last->Control()->SetEnabled(false);
  EXPECT_EQ(bar->FindAccelItem('o'), nullptr);
  EXPECT_EQ(bar->ControlAtPoint(TPoint{first->Control()->Left() + 1, first->Control()->Top() + 1}),
            first->Control());
}

TEST_F(ActionBarsTest, AClickRunsTheActionAndCountsTheUse) {
  TCounter counter;
  auto* action = new TAction(form);
  action->SetActionList(manager);
  action->SetCaption("&Nouveau");
  action->SetOnExecute(TNotifyEvent::Bind<&TCounter::Execute>(&counter));
  manager->ActionBars()->SetSessionCount(3);
  TActionClientItem* item = barItem->Items()->Add();
  item->SetAction(action);
  TTestActionBar* bar = NewBar(300, 30);
  barItem->SetActionBar(bar);
  TCustomActionControl* control = item->Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->Caption(), "&Nouveau");
  TPoint at = bar->ClientToScreen(TPoint{control->Left() + 3, control->Top() + 3});
  SetForegroundWindow(form->Handle());
  SetCursorPos(at.x, at.y);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
  EXPECT_TRUE(PumpUntil([&] { return counter.runs > 0; }, 5000));
  EXPECT_EQ(counter.runs, 1);
  EXPECT_EQ(item->UsageCount(), 1);
  EXPECT_EQ(item->LastSession(), 3);
  // The action's state reaches the control through the item's link.
  action->SetEnabled(false);
  EXPECT_FALSE(control->Enabled());
}

TEST_F(ActionBarsTest, ABarThatMayNotHideRefuses) {
  TTestActionBar* bar = NewBar(100, 30);
  bar->SetName("Barre1");
  bar->SetAllowHiding(false);
  try {
    bar->SetVisible(false);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Barre1 ne permet pas la dissimulation");
  }
  EXPECT_TRUE(bar->Visible());
}

TEST_F(ActionBarsTest, FreeingTheBarOrTheManager) {
  NewItem(barItem->Items(), "x");
  TTestActionBar* bar = NewBar(100, 30);
  barItem->SetActionBar(bar);
  delete bar;
  EXPECT_EQ(barItem->ActionBar(), nullptr);
  EXPECT_EQ(barItem->Items()->ActionClients(0)->Control(), nullptr);
  TTestActionBar* again = NewBar(100, 30);
  barItem->SetActionBar(again);
  EXPECT_EQ(again->ItemCount(), 1);
  delete manager;
  EXPECT_EQ(again->ActionManager(), nullptr);
  EXPECT_EQ(again->ActionClient(), nullptr);
  EXPECT_EQ(again->ControlCount(), 0);
}

TEST_F(ActionBarsTest, CustomizeModeShowsHiddenItemsAndLocksFixedLists) {
  NewItem(barItem->Items(), "A");
  TActionClientItem* hidden = NewItem(barItem->Items(), "B");
  hidden->SetVisible(false);
  TTestActionBar* bar = NewBar(200, 30);
  barItem->SetActionBar(bar);
  EXPECT_FALSE(hidden->Control()->Visible());
  bar->SetCustomizeMode(true);
  EXPECT_TRUE(bar->InCustomizeMode());
  EXPECT_TRUE(hidden->Control()->Visible());
  EXPECT_TRUE(bar->Enabled());
  bar->SetCustomizeMode(false);
  EXPECT_FALSE(hidden->Control()->Visible());
  // A list that may not be customised is disabled meanwhile, then gets its state back.
  barItem->Items()->SetCustomizable(false);
  bar->SetCustomizeMode(true);
  EXPECT_FALSE(bar->Enabled());
  EXPECT_FALSE(bar->ControlAt(0)->Enabled());
  bar->SetCustomizeMode(false);
  EXPECT_TRUE(bar->Enabled());
  EXPECT_TRUE(bar->ControlAt(0)->Enabled());
}

TEST_F(ActionBarsTest, AHorizontalBarFollowsTheTextDirection) {
  TTestActionBar* bar = NewBar(200, 30);
  bar->SetParentBiDiMode(false);
  bar->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(bar->Orientation(), boRightToLeft);
  bar->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(bar->Orientation(), boLeftToRight);
  bar->SetOrientation(boTopToBottom);
  bar->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(bar->Orientation(), boTopToBottom);
}

TEST_F(ActionBarsTest, HintSettingsReachTheBarsAndTheApplication) {
  TTestActionBar* bar = NewBar(200, 30);
  barItem->SetActionBar(bar);
  EXPECT_TRUE(manager->ActionBars()->HintShortCuts());
  manager->ActionBars()->SetHintShortCuts(false);
  EXPECT_FALSE(Application()->HintShortCuts());
  bar->SetShowHint(true);
  manager->ActionBars()->SetShowHints(false);
  EXPECT_FALSE(bar->ShowHint());
}

// ---- The editor's manager, read from its description.

TEST_F(ActionBarsTest, TheEditorsManagerReadsWithItsThreeBars) {
  TManagerForm* read = ReadManagerForm(ManagerFormText());
  TActionManager* m = read->ActionManager1;
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Images(), read->ImageList1);
  EXPECT_EQ(m->LinkedActionLists()->Count(), 0);
  EXPECT_EQ(m->ActionBars()->SessionCount(), 2);
  ASSERT_EQ(m->ActionBars()->Count(), 3);
  EXPECT_EQ(m->ActionCount(), 10);

  TActionBarItem* menu = m->ActionBars()->ActionBars(0);
  EXPECT_EQ(menu->ActionBar(), read->MenuBar1);
  EXPECT_EQ(read->MenuBar1->ActionClient(), menu);
  ASSERT_EQ(read->MenuBar1->ItemCount(), 3);
  EXPECT_EQ(read->MenuBar1->ControlAt(0)->Caption(), "&Fichier");
  EXPECT_EQ(read->MenuBar1->ControlAt(2)->Caption(), "?");
  TActionClientItem* file = menu->Items()->ActionClients(0);
  ASSERT_EQ(file->Items()->Count(), 5);
  TActionClientItem* newFile = file->Items()->ActionClients(0);
  EXPECT_EQ(newFile->Action(), read->Action1);
  EXPECT_EQ(newFile->Caption(), "&Nouveau fichier...");
  // The description's image index wins over the action's.
  EXPECT_EQ(newFile->ImageIndex(), 6);
  EXPECT_EQ(read->Action1->ImageIndex(), 5);
  EXPECT_EQ(newFile->ShortCut(), 16462);
  EXPECT_EQ(file->Items()->ActionClients(4)->Action(), read->FileExit1);
  // Sub-items get no control until a popup shows them.
  EXPECT_EQ(newFile->Control(), nullptr);
  TActionClientItem* edit = menu->Items()->ActionClients(1);
  ASSERT_EQ(edit->Items()->Count(), 4);
  EXPECT_EQ(edit->Items()->ActionClients(3)->Caption(), "&Tout sélectionner");
  EXPECT_EQ(menu->Items()->ActionClients(2)->Items()->ActionClients(0)->Action(), read->Action3);

  TActionBarItem* loose = m->ActionBars()->ActionBars(1);
  EXPECT_EQ(loose->ActionBar(), nullptr);
  ASSERT_EQ(loose->Items()->Count(), 2);
  EXPECT_EQ(loose->Items()->ActionClients(1)->Action(), read->FileOpen1);
  EXPECT_EQ(loose->Items()->ActionClients(0)->Control(), nullptr);

  TActionBarItem* tools = m->ActionBars()->ActionBars(2);
  EXPECT_EQ(tools->ActionBar(), read->ToolBar1);
  ASSERT_EQ(read->ToolBar1->ItemCount(), 6);
  EXPECT_EQ(read->ToolBar1->ControlAt(5)->ActionClient()->Action(), read->EditPaste1);
  EXPECT_EQ(read->ToolBar1->ControlAt(1)->Hint(), "Ouvrir|Ouvrir un fichier existant");
  EXPECT_EQ(m->FindClientForBar(read->ToolBar1), tools);
  EXPECT_EQ(m->FindClientForAction(read->FileOpen1), file->Items()->ActionClients(1));

  // One action, several items: all of them go with it.
  delete read->FileOpen1;
  EXPECT_EQ(file->Items()->Count(), 4);
  EXPECT_EQ(loose->Items()->Count(), 1);
  EXPECT_EQ(read->ToolBar1->ItemCount(), 5);
}

}  // namespace
}  // namespace tavelo::testing
