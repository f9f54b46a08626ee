// Must not compile: an event type published without a name of its own.
#include "core/component.h"

class TGadget : public tavelo::TComponent {
  TAVELO_CLASS(TGadget, tavelo::TComponent)
public:
  using TComponent::TComponent;
  tavelo::TEvent<void(int)> OnSize() const { return onSize_; }
  void SetOnSize(tavelo::TEvent<void(int)> value) { onSize_ = value; }

private:
  tavelo::TEvent<void(int)> onSize_;
};
TAVELO_PUBLISH(TGadget) { c.Event("OnSize", &Self::OnSize, &Self::SetOnSize); }
