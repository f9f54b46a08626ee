// The menus on real windows: a form with a menu bar built like the editor's, driven by
// synthesised input while the bar's own loop runs. Each scenario is a script of steps a timer
// plays inside that loop; a step that does not come true in time ends the menus and fails.
#include "actnman/actnmenus.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "actnman/actnman.h"
#include "actnman/menuitems.h"
#include "actnman/tests/menu_script.h"
#include "controls/application.h"
#include "controls/extctrls.h"
#include "controls/forms.h"
#include "controls/tests/control_test_support.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

struct TLog : TObject {
  void Executed(TObject* sender) {
    auto* action = static_cast<TCustomAction*>(sender);
    bool popupShown = false;
    EnumThreadWindows(GetCurrentThreadId(), &TLog::FindPopup, reinterpret_cast<LPARAM>(&popupShown));
    events.push_back(action->Caption() + (bar && bar->InMenuLoop() ? " (menu en cours)" : "") +
                     (popupShown ? " (menu visible)" : ""));
  }
  void Fails(TObject*) {
    events.push_back("panne");
    throw EInvalidOperation("panne voulue");
  }
  void Error(TObject*, Exception& error) { errors.push_back(error.Message()); }
  void PanelDown(TObject*, TMouseButton, TShiftState, int, int) {
    events.push_back(String("clic panneau") + (bar && bar->InMenuLoop() ? " (menu en cours)" : ""));
  }
  static BOOL CALLBACK FindPopup(HWND window, LPARAM found) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string(name) == "TStandardMenuPopup") *reinterpret_cast<bool*>(found) = true;
    return TRUE;
  }
  TCustomActionMainMenuBar* bar = nullptr;
  std::vector<String> events;
  std::vector<String> errors;
};

class MenusTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    SetCursorPos(0, 0);
    Application()->SetOnException(TExceptionEvent::Bind<&TLog::Error>(&log));
    form = new TForm(nullptr, 0);
    form->SetBounds(120, 90, 480, 320);
    manager = new TActionManager(form);
    nouveau = Action("&Nouveau fichier...", 16462);
    ouvrir = Action("&Ouvrir...", 16463);
    enregistrer = Action("&Enregistrer...", 16467);
    quitter = Action("&Quitter", 0);
    couper = Action("Cou&per", 16472);
    copier = Action("&Copier", 16451);
    apropos = Action("&A propos...", 0);
    bar = new TActionMainMenuBar(form);
    bar->SetParent(form);
    log.bar = bar;
    panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(300, 200, 150, 80);
    panel->SetOnMouseDown(TMouseEvent::Bind<&TLog::PanelDown>(&log));
    TActionBarItem* barItem = manager->ActionBars()->Add();
    fichier = Item(barItem->Items(), "&Fichier", {nouveau, ouvrir, enregistrer, quitter});
    edition = Item(barItem->Items(), "&Edition", {couper, copier});
    aide = Item(barItem->Items(), "?", {apropos});
    barItem->SetActionBar(bar);
    form->Show();
    SetForegroundWindow(form->Handle());
    PumpUntil([&] { return GetForegroundWindow() == form->Handle(); });
  }
  void TearDown() override {
    delete form;
    StopControls();
    SetCursorPos(0, 0);
  }

  TAction* Action(const String& caption, TShortCut shortCut) {
    auto* action = new TAction(form);
    action->SetCaption(caption);
    action->SetShortCut(shortCut);
    action->SetActionList(manager);
    action->SetOnExecute(TNotifyEvent::Bind<&TLog::Executed>(&log));
    return action;
  }
  TActionClientItem* Item(TActionClients* list, const String& caption, std::initializer_list<TAction*> actions) {
    TActionClientItem* item = list->Add();
    item->SetCaption(caption);
    for (TAction* action : actions) item->Items()->Add()->SetAction(action);
    return item;
  }
  static TCustomActionPopupMenu* PopupOf(TActionClientItem* item) {
    return DynamicCast<TCustomActionPopupMenu>(item->ChildBar());
  }
  static bool Shown(TCustomActionPopupMenu* popup) {
    return popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle());
  }
  static TCustomActionControl* ControlOf(TActionClientItem* parent, int index) {
    return parent->Items()->ActionClients(index)->Control();
  }
  static RECT WindowRect(TWinControl* control) {
    RECT r{};
    GetWindowRect(control->Handle(), &r);
    return r;
  }

  TLog log;
  TForm* form = nullptr;
  TActionManager* manager = nullptr;
  TActionMainMenuBar* bar = nullptr;
  TPanel* panel = nullptr;
  TAction *nouveau = nullptr, *ouvrir = nullptr, *enregistrer = nullptr, *quitter = nullptr;
  TAction *couper = nullptr, *copier = nullptr, *apropos = nullptr;
  TActionClientItem *fichier = nullptr, *edition = nullptr, *aide = nullptr;
};

TEST_F(MenusTest, ClickingAMenuOpensItBelowItsButtonAndTheChosenItemRunsOnceAllMenusHaveClosed) {
  TCustomActionControl* button = fichier->Control();
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(DynamicCast<TStandardMenuButton>(button));
  TScript script(bar);
  script.Then([&] {
        ScreenClick(ScreenCenter(button));
        return true;
      })
      .Then([&] {
        TCustomActionPopupMenu* popup = PopupOf(fichier);
        if (!Shown(popup)) return false;
        TPoint corner = button->ClientToScreen(Point(0, 0));
        RECT r = WindowRect(popup);
        EXPECT_EQ(r.left, corner.x + 1);
        EXPECT_EQ(r.top, corner.y + button->Height());
        EXPECT_TRUE(bar->InMenuLoop());
        EXPECT_EQ(bar->MenuStack()->Count(), 2);
        ScreenClick(ScreenCenter(ControlOf(fichier, 0)));
        return true;
      })
      .Then([&] { return !log.events.empty(); });
  ASSERT_TRUE(script.Play());
  EXPECT_EQ(log.events, std::vector<String>{"&Nouveau fichier..."});
  EXPECT_EQ(fichier->ChildBar(), nullptr);
  EXPECT_EQ(bar->MenuStack(), nullptr);
  // Choosing recorded the use on the item and its menu.
  EXPECT_EQ(fichier->Items()->ActionClients(0)->UsageCount(), 1);
  EXPECT_EQ(fichier->UsageCount(), 1);
}

TEST_F(MenusTest, AltLetterOpensTheMenuWithItsFirstItemSelectedAndEscapeClosesItStepByStep) {
  TScript script(bar);
  script.Then([&] {
        PressKeys({VK_MENU}, 'F');
        return true;
      })
      .Then([&] {
        TCustomActionPopupMenu* popup = PopupOf(fichier);
        if (!Shown(popup) || !ControlOf(fichier, 0)->Selected()) return false;
        EXPECT_TRUE(bar->KeyboardOpened());
        EXPECT_TRUE(bar->PersistentHotKeys());
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (fichier->ChildBar()) return false;
        EXPECT_TRUE(bar->InMenuLoop());
        EXPECT_TRUE(fichier->Control()->Selected());
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); });
  ASSERT_TRUE(script.Play());
  EXPECT_FALSE(fichier->Control()->Selected());
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(ActiveMenu(), nullptr);
}

TEST_F(MenusTest, AltAloneSelectsTheFirstButtonDownOpensItsMenuAndRightOnALeafMovesToTheNextMenu) {
  TScript script(bar);
  script.Then([&] {
        PressKeys({VK_MENU}, 0);
        return true;
      })
      .Then([&] {
        if (!bar->InMenuLoop()) return false;
        EXPECT_TRUE(fichier->Control()->Selected());
        EXPECT_EQ(fichier->ChildBar(), nullptr);
        PressKeys({}, VK_DOWN);
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(fichier)) || !ControlOf(fichier, 0)->Selected()) return false;
        PressKeys({}, VK_RIGHT);
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(edition))) return false;
        EXPECT_EQ(fichier->ChildBar(), nullptr);
        EXPECT_TRUE(edition->Control()->Selected());
        EXPECT_TRUE(ControlOf(edition, 0)->Selected());
        EXPECT_EQ(bar->MenuStack()->Count(), 2);
        // Left on the first popup goes back to the previous menu.
        PressKeys({}, VK_LEFT);
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(fichier))) return false;
        EXPECT_EQ(edition->ChildBar(), nullptr);
        // Return chooses the selected item: the menus close, then it runs.
        PressKeys({}, VK_RETURN);
        return true;
      })
      .Then([&] { return !log.events.empty(); });
  ASSERT_TRUE(script.Play());
  EXPECT_EQ(log.events, std::vector<String>{"&Nouveau fichier..."});
  EXPECT_FALSE(bar->InMenuLoop());
}

TEST_F(MenusTest, AMenuThatWouldPassTheMonitorsBottomOpensAboveItsButton) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST), &info);
  form->SetBounds(120, info.rcMonitor.bottom - 70, 480, 320);
  TCustomActionControl* button = fichier->Control();
  TScript script(bar);
  script.Then([&] {
        ScreenClick(ScreenCenter(button));
        return true;
      })
      .Then([&] {
        TCustomActionPopupMenu* popup = PopupOf(fichier);
        if (!Shown(popup)) return false;
        TPoint corner = button->ClientToScreen(Point(0, 0));
        RECT r = WindowRect(popup);
        EXPECT_EQ(r.left, corner.x + 1);
        EXPECT_EQ(r.bottom, corner.y);
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (fichier->ChildBar()) return false;
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); });
  ASSERT_TRUE(script.Play());
}

TEST_F(MenusTest, AClickOutsideClosesEveryMenuAndStillReachesTheWindowBeneath) {
  TScript script(bar);
  script.Then([&] {
        ScreenClick(ScreenCenter(fichier->Control()));
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(fichier))) return false;
        ScreenClick(ScreenCenter(panel));
        return true;
      })
      .Then([&] { return !log.events.empty(); });
  ASSERT_TRUE(script.Play());
  EXPECT_EQ(log.events, std::vector<String>{"clic panneau"});
  EXPECT_FALSE(bar->InMenuLoop());
  EXPECT_EQ(fichier->ChildBar(), nullptr);
}

TEST_F(MenusTest, UnusedItemsWaitBehindTheExpandButtonUntilTheDelayOrTheButtonShowsThem) {
  manager->ActionBars()->SetSessionCount(10);
  for (int i : {0, 2, 3}) fichier->Items()->ActionClients(i)->SetUsageCount(-1);
  bar->SetExpandDelay(300);
  TCustomActionPopupMenu* popup = nullptr;
  int usedHeight = 0;
  TScript script(bar);
  script.Then([&] {
        PressKeys({VK_MENU}, 'F');
        return true;
      })
      .Then([&] {
        popup = PopupOf(fichier);
        if (!Shown(popup)) return false;
        EXPECT_TRUE(popup->Expandable());
        EXPECT_FALSE(popup->Expanded());
        EXPECT_FALSE(ControlOf(fichier, 1)->Visible());
        EXPECT_TRUE(popup->ExpandButton() && popup->ExpandButton()->Visible());
        EXPECT_EQ(popup->Height(), popup->UsedItemsSize().cy);
        usedHeight = popup->Height();
        return true;
      })
      // Only the first item was ever selected: after the delay the menu shows everything.
      .Then([&] { return popup->Expanded(); })
      .Then([&] {
        EXPECT_TRUE(ControlOf(fichier, 1)->Visible());
        EXPECT_FALSE(popup->Expandable());
        EXPECT_GT(popup->Height(), usedHeight - GetSystemMetrics(SM_CYMENU));
        EXPECT_EQ(popup->Height(), popup->AllItemsSize().cy);
        EXPECT_TRUE(bar->Expanded());
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (fichier->ChildBar()) return false;
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); })
      // A new session: once another item is selected, the delay only raises the button.
      .Then([&] {
        PressKeys({VK_MENU}, 'F');
        return true;
      })
      .Then([&] {
        popup = PopupOf(fichier);
        if (!Shown(popup) || !ControlOf(fichier, 0)->Selected()) return false;
        EXPECT_FALSE(popup->Expanded());
        PressKeys({}, VK_DOWN);
        return true;
      })
      .Then([&] { return ControlOf(fichier, 2)->Selected() && !popup->ExpandButton()->Flat(); })
      .Then([&] {
        EXPECT_FALSE(popup->Expanded());
        // The button itself shows them at once.
        ScreenClick(ScreenCenter(popup->ExpandButton()));
        return true;
      })
      .Then([&] { return popup->Expanded(); })
      .Then([&] {
        EXPECT_TRUE(ControlOf(fichier, 1)->Visible());
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (fichier->ChildBar()) return false;
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); });
  ASSERT_TRUE(script.Play(12000));
}

// Counts the pixels of a colour inside a rectangle of a window, read from its own context.
int CountPixels(HWND window, const RECT& r, COLORREF color) {
  HDC dc = GetDC(window);
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(dc, x, y) == color) ++count;
  ReleaseDC(window, dc);
  return count;
}

// The session's menu colour for the duration of a test (the white of some themes would hide
// the embossed copy).
struct TMenuColor {
  explicit TMenuColor(COLORREF color) : saved(GetSysColor(COLOR_MENU)) { Set(color); }
  ~TMenuColor() { Set(saved); }
  static void Set(COLORREF color) {
    INT element = COLOR_MENU;
    SetSysColors(1, &element, &color);
  }
  COLORREF saved;
};

TEST_F(MenusTest, ADisabledItemIsEmbossedUnlessSelected) {
  TMenuColor menuColor(RGB(212, 208, 200));
  enregistrer->SetEnabled(false);
  TCustomActionPopupMenu* popup = nullptr;
  int embossedWhite = -1, enabledWhite = -1, selectedWhite = -1, selectedGray = -1, embossedGray = -1;
  auto textArea = [&](TCustomActionControl* c) {
    TRect t = c->TextBounds();
    return RECT{c->Left() + t.left, c->Top() + t.top, c->Left() + t.right + 2, c->Top() + t.bottom + 2};
  };
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
  TScript script(bar);
  script.Then([&] {
        PressKeys({VK_MENU}, 'F');
        return true;
      })
      .Then([&] {
        popup = PopupOf(fichier);
        if (!Shown(popup)) return false;
        UpdateWindow(popup->Handle());
        EXPECT_FALSE(ControlOf(fichier, 2)->Enabled());
        embossedWhite = CountPixels(popup->Handle(), textArea(ControlOf(fichier, 2)), white);
        embossedGray = CountPixels(popup->Handle(), textArea(ControlOf(fichier, 2)), gray);
        enabledWhite = CountPixels(popup->Handle(), textArea(ControlOf(fichier, 1)), white);
        PressKeys({}, VK_DOWN);
        PressKeys({}, VK_DOWN);
        return true;
      })
      .Then([&] {
        if (!ControlOf(fichier, 2)->Selected()) return false;
        UpdateWindow(popup->Handle());
        selectedWhite = CountPixels(popup->Handle(), textArea(ControlOf(fichier, 2)), white);
        selectedGray = CountPixels(popup->Handle(), textArea(ControlOf(fichier, 2)), gray);
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (fichier->ChildBar()) return false;
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); });
  ASSERT_TRUE(script.Play());
  EXPECT_GT(embossedWhite, 10);
  EXPECT_GT(embossedGray, 10);
  EXPECT_EQ(enabledWhite, 0);
  EXPECT_EQ(selectedWhite, 0);
  EXPECT_GT(selectedGray, 10);
  // A disabled item is no choice: Return on it runs nothing.
  EXPECT_TRUE(log.events.empty());
}

TEST_F(MenusTest, DeletingAnItemWithSubItemsFromAnOpenMenuAsksFirst) {
  TActionClientItem* more = Item(edition->Items(), "&Plus", {apropos});
  int kept = -1;
  TCustomActionPopupMenu* popup = nullptr;
  int fullHeight = 0;
  TScript script(bar);
  script.Then([&] {
        PressKeys({VK_MENU}, 'E');
        return true;
      })
      .Then([&] {
        popup = PopupOf(edition);
        if (!Shown(popup) || !ControlOf(edition, 0)->Selected()) return false;
        fullHeight = popup->Height();
        PressKeys({}, VK_END);
        PressKeys({}, VK_DELETE);
        return true;
      })
      // The question comes up; Annuler keeps the item.
      .Then([&] {
        HWND dialog = GetForegroundWindow();
        char text[256] = {};
        if (!dialog || dialog == form->Handle() || !GetWindowTextA(dialog, text, sizeof text)) return false;
        EXPECT_STREQ(text, "Confirmation");
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (GetForegroundWindow() != form->Handle()) return false;
        kept = edition->Items()->Count();
        EXPECT_TRUE(bar->InMenuLoop());
        PressKeys({}, VK_DELETE);
        return true;
      })
      .Then([&] {
        HWND dialog = GetForegroundWindow();
        if (!dialog || dialog == form->Handle()) return false;
        PressKeys({}, VK_RETURN);
        return true;
      })
      .Then([&] { return edition->Items()->Count() == kept - 1; })
      .Then([&] {
        // The menu shrinks by the item and the item above it is selected.
        EXPECT_EQ(popup->Height(), fullHeight - GetSystemMetrics(SM_CYMENU));
        EXPECT_TRUE(ControlOf(edition, 1)->Selected());
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] {
        if (edition->ChildBar()) return false;
        PressKeys({}, VK_ESCAPE);
        return true;
      })
      .Then([&] { return !bar->InMenuLoop(); });
  (void)more;
  ASSERT_TRUE(script.Play(12000));
  EXPECT_EQ(kept, 3);
  EXPECT_EQ(edition->Items()->Count(), 2);
  EXPECT_TRUE(log.events.empty());
}

TEST_F(MenusTest, MenuItemsMeasureFromTheirCaptionAndShortcutText) {
  TActionClientItem* separator = fichier->Items()->Add();
  separator->SetCaption("-");
  auto* popup = new TStandardMenuPopup(form);
  popup->BindItemTree(fichier);
  auto* withShortCut = DynamicCast<TStandardMenuItem>(ControlOf(fichier, 0));
  auto* plain = DynamicCast<TStandardMenuItem>(ControlOf(fichier, 3));
  ASSERT_NE(withShortCut, nullptr);
  ASSERT_NE(plain, nullptr);
  auto textWidth = [&](const String& text, UINT flags) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, plain->Font()->Handle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | flags);
    SelectObject(dc, old);
    DeleteDC(dc);
    return static_cast<int>(r.right - r.left);
  };
  int quitter = textWidth("&Quitter", DT_SINGLELINE);
  EXPECT_EQ(plain->Width(), 48 + quitter);
  EXPECT_EQ(plain->Height(), GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(plain->TextBounds().left, 24);
  int caption = textWidth("&Nouveau fichier...", DT_SINGLELINE);
  int shortCut = textWidth(fichier->Items()->ActionClients(0)->ShortCutCaption(), DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(fichier->Items()->ActionClients(0)->ShortCutCaption(), "Ctrl+N");
  // The measured width (margins 2 and 10 around the caption) plus the shortcut column.
  EXPECT_EQ(withShortCut->Width(), 24 + (2 + caption + 10) + shortCut + 5 + 21);

  // A separator is two thirds of a menu line high, before and after a text change.
  ASSERT_NE(separator->Control(), nullptr);
  EXPECT_EQ(separator->Control()->Height(), GetSystemMetrics(SM_CYMENU) / 3 * 2);
  separator->SetCaption("|");
  EXPECT_EQ(separator->Control()->Height(), GetSystemMetrics(SM_CYMENU) / 3 * 2);
  separator->SetCaption("Fermer");
  EXPECT_EQ(separator->Control()->Height(), GetSystemMetrics(SM_CYMENU));
  delete popup;
  EXPECT_EQ(ControlOf(fichier, 0), nullptr);
}

TEST_F(MenusTest, AnActionThatFailsFromTheMenuLeavesTheBarWorking) {
  ouvrir->SetOnExecute(TNotifyEvent::Bind<&TLog::Fails>(&log));
  TScript script(bar);
  script.Then([&] {
        ScreenClick(ScreenCenter(fichier->Control()));
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(fichier))) return false;
        ScreenClick(ScreenCenter(ControlOf(fichier, 1)));
        return true;
      })
      .Then([&] { return !log.errors.empty(); })
      .Then([&] {
        EXPECT_FALSE(bar->InMenuLoop());
        EXPECT_EQ(bar->MenuStack(), nullptr);
        EXPECT_EQ(fichier->ChildBar(), nullptr);
        // The pointer rests where the next menu opens: off the menus, so that a move the
        // platform makes up when a window shows under it picks no item.
        SetCursorPos(0, 0);
        PressKeys({VK_MENU}, 'E');
        return true;
      })
      .Then([&] {
        if (!Shown(PopupOf(edition))) return false;
        PressKeys({}, VK_RETURN);
        return true;
      })
      .Then([&] { return log.events.size() == 2; });
  ASSERT_TRUE(script.Play());
  EXPECT_EQ(log.errors, std::vector<String>{"panne voulue"});
  EXPECT_EQ(log.events, (std::vector<String>{"panne", "Cou&per"}));
}

TEST_F(MenusTest, AContextPopupIsHiddenAgainWhenItsChosenActionFails) {
  apropos->SetOnExecute(TNotifyEvent::Bind<&TLog::Fails>(&log));
  auto* popup = new TStandardMenuPopup(form);
  popup->BindItemTree(aide);
  TScript script(popup);
  script.Then([&] {
        if (!Shown(popup)) return false;
        ScreenClick(ScreenCenter(ControlOf(aide, 0)));
        return true;
      });
  TPoint at = form->ClientToScreen(Point(40, 60));
  bool raised = false;
  TTimer starter(nullptr);
  struct TStart : TObject {
    void Go(TObject* sender) {
      static_cast<TTimer*>(sender)->SetEnabled(false);
      try {
        popup->Popup(at.x, at.y);
      } catch (const EInvalidOperation& e) {
        *raised = e.Message() == "panne voulue";
      }
    }
    TStandardMenuPopup* popup;
    TPoint at;
    bool* raised;
  } start;
  start.popup = popup;
  start.at = at;
  start.raised = &raised;
  starter.SetInterval(10);
  starter.SetOnTimer(TNotifyEvent::Bind<&TStart::Go>(&start));
  EXPECT_TRUE(script.Play());
  EXPECT_TRUE(PumpUntil([&] { return raised; }));
  EXPECT_FALSE(popup->Visible());
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  EXPECT_FALSE(popup->InMenuLoop());
  EXPECT_EQ(popup->MenuStack(), nullptr);
  delete popup;
}

}  // namespace
}  // namespace tavelo::testing
