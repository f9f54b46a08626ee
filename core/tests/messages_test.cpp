#include "core/messages.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/component.h"

namespace tavelo::testing {
namespace {

TEST(MessagesTest, NumbersOthersAnswerAreFixed) {
  EXPECT_EQ(FM_ACTIVATE, 0xB000u);
  EXPECT_EQ(FM_APP_KEY_DOWN, 0xB016u);
  EXPECT_EQ(FM_ACTION_UPDATE, 0xB03Fu);
  EXPECT_EQ(FM_ACTION_EXECUTE, 0xB040u);
  EXPECT_EQ(FM_IS_SHORTCUT, 0xB044u);
  EXPECT_EQ(Reflected(0x0111), 0xBD11u);  // WM_COMMAND
  EXPECT_EQ(Reflected(0x0100), 0xBD00u);  // WM_KEYDOWN
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
