// An action list's change link with its image list. Image lists live on the win32 side of
// graphics, so the portable action list sees its own only through this: the win32 tree links
// the implementation over the image list's change link (imagelink_win32.cpp), the native
// tree one for a world that has no image lists (imagelink_none.cpp).
#pragma once

#include <memory>

namespace tavelo {

class TCustomActionList;
class TCustomImageList;
class TObject;

class TImageListLink {
public:
  virtual ~TImageListLink() = default;
  TImageListLink(const TImageListLink&) = delete;
  TImageListLink& operator=(const TImageListLink&) = delete;

  // Stops watching from and watches to (either may be null), which is asked to tell the
  // list when it is freed. An image list on its way out is not asked anything: it takes its
  // links off itself.
  virtual void Move(TCustomImageList* from, TCustomImageList* to) = 0;
  // Whether object is that image list.
  virtual bool Is(const TCustomImageList* images, const TObject* object) const = 0;

protected:
  TImageListLink() = default;
  // Hands a change of the watched image list (the sender) to the list.
  static void Changed(TCustomActionList& list, TObject* sender);
};

std::unique_ptr<TImageListLink> NewImageListLink(TCustomActionList& list);

}  // namespace tavelo
