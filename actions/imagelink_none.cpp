#include "actions/imagelink.h"

namespace tavelo {

namespace {

// The native tree has no image lists, so an action list never has one to watch.
class TNoImageListLink final : public TImageListLink {
public:
  void Move(TCustomImageList*, TCustomImageList*) override {}
  bool Is(const TCustomImageList*, const TObject*) const override { return false; }
};

}  // namespace

std::unique_ptr<TImageListLink> NewImageListLink(TCustomActionList&) { return std::make_unique<TNoImageListLink>(); }

}  // namespace tavelo
