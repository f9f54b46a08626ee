#include "core/messages.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/component.h"

namespace tavelo::testing {
namespace {

TEST(MessagesTest, NumbersAreFixed) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> fixed = {
      {FM_ACTIVATE, 0xB000},         {FM_DEACTIVATE, 0xB001},        {FM_DIALOG_KEY, 0xB005},
      {FM_DIALOG_CHAR, 0xB006},      {FM_FOCUS_CHANGED, 0xB007},     {FM_PARENT_FONT_CHANGED, 0xB008},
      {FM_PARENT_COLOR_CHANGED, 0xB009}, {FM_HIT_TEST, 0xB00A},      {FM_VISIBLE_CHANGED, 0xB00B},
      {FM_ENABLED_CHANGED, 0xB00C},  {FM_COLOR_CHANGED, 0xB00D},     {FM_FONT_CHANGED, 0xB00E},
      {FM_CURSOR_CHANGED, 0xB00F},   {FM_TEXT_CHANGED, 0xB012},      {FM_MOUSE_ENTER, 0xB013},
      {FM_MOUSE_LEAVE, 0xB014},      {FM_MENU_CHANGED, 0xB015},      {FM_APP_KEY_DOWN, 0xB016},
      {FM_APP_SYS_COMMAND, 0xB017},  {FM_SHOWING_CHANGED, 0xB019},   {FM_ENTER, 0xB01A},
      {FM_EXIT, 0xB01B},             {FM_ICON_CHANGED, 0xB01D},      {FM_WANT_SPECIAL_KEY, 0xB01E},
      {FM_INVOKE_HELP, 0xB01F},      {FM_WINDOW_HOOK, 0xB020},       {FM_RELEASE, 0xB021},
      {FM_CONTROL_LIST_CHANGE, 0xB02C}, {FM_CHILD_KEY, 0xB02E},      {FM_HINT_SHOW, 0xB030},
      {FM_DIALOG_HANDLE, 0xB031},    {FM_RECREATE_WINDOW, 0xB033},   {FM_INVALIDATE, 0xB034},
      {FM_SYS_FONT_CHANGED, 0xB035}, {FM_CONTROL_CHANGE, 0xB036},    {FM_CHANGED, 0xB037},
      {FM_BORDER_CHANGED, 0xB03B},   {FM_ACTION_UPDATE, 0xB03F},     {FM_ACTION_EXECUTE, 0xB040},
      {FM_HINT_SHOW_PAUSE, 0xB041},  {FM_IS_SHORTCUT, 0xB044}};
  for (auto [name, number] : fixed) EXPECT_EQ(name, number);
  EXPECT_EQ(Reflected(0x0111), 0xBD11u);  // WM_COMMAND
  EXPECT_EQ(Reflected(0x0100), 0xBD00u);  // WM_KEYDOWN
  EXPECT_EQ(Reflected(0x004E), 0xBC4Eu);  // WM_NOTIFY
  EXPECT_EQ(Reflected(0x0133), 0xBD33u);  // WM_CTLCOLOREDIT
}

// Answers the questions it knows; the rest climbs to the default handler.
class TAnswering : public TComponent {
public:
  using TComponent::TComponent;
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case FM_WANT_SPECIAL_KEY:
        message.Result = message.WParam == 9 ? 1 : 0;
        break;
      case Reflected(0x0111):
        message.Result = message.LParam + 1;
        break;
      default:
        TComponent::Dispatch(message);
    }
  }
  void DefaultHandler(TMessage& message) override { unhandled.push_back(message.Msg); }
  std::vector<std::uint32_t> unhandled;
};

TEST(MessagesTest, PerformGoesThroughTheObjectsOwnDispatch) {
  TAnswering control(nullptr);
  EXPECT_EQ(Perform(control, FM_WANT_SPECIAL_KEY, 9), 1);
  EXPECT_EQ(Perform(control, FM_WANT_SPECIAL_KEY, 13), 0);
  EXPECT_EQ(Perform(control, Reflected(0x0111), 0, 41), 42);
  // The questions nobody answers read as no: not used, not wanted, show the hint, not a
  // shortcut, not handled.
  for (std::uint32_t question : {FM_DIALOG_KEY, FM_HINT_SHOW, FM_IS_SHORTCUT, FM_ACTION_EXECUTE, FM_ACTION_UPDATE})
    EXPECT_EQ(Perform(control, question, 1, 2), 0);
  EXPECT_EQ(control.unhandled,
            (std::vector<std::uint32_t>{FM_DIALOG_KEY, FM_HINT_SHOW, FM_IS_SHORTCUT, FM_ACTION_EXECUTE, FM_ACTION_UPDATE}));
  TComponent plain(nullptr);
  EXPECT_EQ(Perform(plain, FM_ACTION_EXECUTE, 0, 1), 0);
}

}  // namespace
}  // namespace tavelo::testing
