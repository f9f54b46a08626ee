#include "actions/imagelink.h"

#include "actions/tests/action_support.h"
#include "graphics/imglist.h"

namespace tavelo::testing {
namespace {

using ImageLinkTest = ActionTest;

// Any change of the image list will do: the drawing style costs no platform list.
void Touch(TCustomImageList* images) {
  images->SetDrawingStyle(images->DrawingStyle() == dsNormal ? dsTransparent : dsNormal);
}

TEST_F(ImageLinkTest, AChangeOfTheCurrentImageListTellsTheListThenItsActions) {
  TComponent form(nullptr);
  auto* list = new TCustomActionList(&form);
  list->SetName("List");
  TLogger logger;
  list->SetOnChange(TNotifyEvent::Bind<&TLogger::ListChanged>(&logger));
  for (const char* name : {"A", "B"}) {
    auto* action = new TAction(&form);
    action->SetName(name);
    action->SetActionList(list);
    action->SetOnChange(TNotifyEvent::Bind<&TLogger::Changed>(&logger));
  }
  auto* images = new TCustomImageList(&form);
  auto* other = new TCustomImageList(&form);
  list->SetImages(images);
  EXPECT_EQ(list->Images(), images);
  Touch(images);
  EXPECT_EQ(Log(), (TLog{"list changed(List)", "changed(A)", "changed(B)"}));

  // Moving to another image list leaves the first.
  list->SetImages(other);
  Log().clear();
  Touch(images);
  EXPECT_EQ(Log(), TLog{});
  Touch(other);
  EXPECT_EQ(Log().size(), 3u);
  // One change of a bracket, told once.
  Log().clear();
  other->BeginUpdate();
  Touch(other);
  Touch(other);
  other->EndUpdate();
  EXPECT_EQ(Log().size(), 3u);
  list->SetImages(nullptr);
  Log().clear();
  Touch(other);
  EXPECT_EQ(Log(), TLog{});
}

TEST_F(ImageLinkTest, EitherMayGoFirst) {
  // The image list first, owned elsewhere: the list hears of it and lets it go.
  TComponent form(nullptr), elsewhere(nullptr);
  auto* list = new TCustomActionList(&form);
  auto* images = new TCustomImageList(&elsewhere);
  list->SetImages(images);
  delete images;
  EXPECT_EQ(list->Images(), nullptr);
  delete list;

  // The action list first: the image list changes on without it.
  auto* survivor = new TCustomImageList(&elsewhere);
  auto* doomed = new TCustomActionList(&form);
  TLogger logger;
  doomed->SetOnChange(TNotifyEvent::Bind<&TLogger::ListChanged>(&logger));
  doomed->SetImages(survivor);
  delete doomed;
  Touch(survivor);
  EXPECT_EQ(Log(), TLog{});

  // Both freed by one owner, in either order of creation.
  auto* window = new TComponent(nullptr);
  auto* early = new TCustomImageList(window);
  auto* both = new TCustomActionList(window);
  both->SetImages(early);
  auto* late = new TCustomImageList(window);
  auto* second = new TCustomActionList(window);
  second->SetImages(late);
  delete window;
}

}  // namespace
}  // namespace tavelo::testing
