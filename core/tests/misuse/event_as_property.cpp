// Must not compile: an event published as a plain property.
#include "core/component.h"

class TGadget : public tavelo::TComponent {
  TAVELO_CLASS(TGadget, tavelo::TComponent)
public:
  using TComponent::TComponent;
  tavelo::TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(tavelo::TNotifyEvent value) { onChange_ = value; }

private:
  tavelo::TNotifyEvent onChange_;
};
TAVELO_PUBLISH(TGadget) { c.Property("OnChange", &Self::OnChange, &Self::SetOnChange); }
