// Must not compile: a component class that streams could create has no owner constructor.
#include "core/component.h"

class TGadget : public tavelo::TComponent {
  TAVELO_CLASS(TGadget, tavelo::TComponent)
public:
  explicit TGadget(int size) : TComponent(nullptr), size_(size) {}

private:
  int size_;
};
TAVELO_CLASS_IMPL(TGadget)
