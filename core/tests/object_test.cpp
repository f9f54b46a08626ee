#include "core/object.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/typinfo.h"

namespace tavelo::testing {
namespace {

constexpr std::uint32_t kPing = 0xB100;
constexpr std::uint32_t kPong = 0xB101;
constexpr std::uint32_t kOther = 0xB102;

// Each class handles its own messages in its switch and passes the rest to its base.
class TReceiver : public TObject {
  TAVELO_CLASS(TReceiver, TObject)
public:
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case kPing:
        log.push_back("receiver ping");
        message.Result = 1;
        break;
      default:
        inherited::Dispatch(message);
    }
  }
  void DefaultHandler(TMessage& message) override {
    log.push_back("default");
    message.Result = -1;
  }
  std::vector<std::string> log;
};
TAVELO_CLASS_IMPL(TReceiver)

class TLoudReceiver : public TReceiver {
  TAVELO_CLASS(TLoudReceiver, TReceiver)
public:
  void Dispatch(TMessage& message) override {
    switch (message.Msg) {
      case kPong:
        log.push_back("loud pong");
        message.Result = static_cast<std::intptr_t>(message.WParam + static_cast<std::uintptr_t>(message.LParam));
        break;
      case kPing:
        log.push_back("loud ping");
        inherited::Dispatch(message);  // a handler may also let its base see the message
        break;
      default:
        inherited::Dispatch(message);
    }
  }
};
TAVELO_CLASS_IMPL(TLoudReceiver)

TEST(MessageDispatchTest, CasesFallBackThroughTheBasesToTheDefaultHandler) {
  TLoudReceiver receiver;
  TMessage pong{kPong, 40, 2, 0};
  TObject& asObject = receiver;
  asObject.Dispatch(pong);
  EXPECT_EQ(pong.Result, 42);
  TMessage ping{kPing, 0, 0, 0};
  asObject.Dispatch(ping);
  EXPECT_EQ(ping.Result, 1);
  TMessage other{kOther, 0, 0, 0};
  asObject.Dispatch(other);
  EXPECT_EQ(other.Result, -1);
  EXPECT_EQ(receiver.log, (std::vector<std::string>{"loud pong", "loud ping", "receiver ping", "default"}));
}

TEST(MessageDispatchTest, AnObjectIgnoresWhatNoClassHandles) {
  TObject plain;
  TMessage message{kPing, 1, 2, 3};
  plain.Dispatch(message);
  EXPECT_EQ(message.Result, 3);
}

}  // namespace
}  // namespace tavelo::testing
