#include "actions/imagelink.h"

#include "actions/actionlist.h"
#include "graphics/imglist.h"

namespace tavelo {

namespace {

class TChangeLinkWatch final : public TImageListLink {
public:
  explicit TChangeLinkWatch(TCustomActionList& list) : list_(list) {
    link_.SetOnChange(TNotifyEvent(&Forward, &list));
  }

  void Move(TCustomImageList* from, TCustomImageList* to) override {
    if (from) {
      if (!from->ComponentState().Contains(csDestroying)) from->UnRegisterChanges(&link_);
      else if (link_.Sender() == from) link_.SetSender(nullptr);
    }
    if (to) {
      to->RegisterChanges(&link_);
      to->FreeNotification(&list_);
    }
  }

  bool Is(const TCustomImageList* images, const TObject* object) const override {
    return images != nullptr && static_cast<const TObject*>(images) == object;
  }

private:
  static void Forward(TObject* list, TObject* sender) { Changed(*static_cast<TCustomActionList*>(list), sender); }

  TCustomActionList& list_;
  TChangeLink link_;
};

}  // namespace

std::unique_ptr<TImageListLink> NewImageListLink(TCustomActionList& list) {
  return std::make_unique<TChangeLinkWatch>(list);
}

}  // namespace tavelo
