#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "controls/application.h"
#include "core/exceptions.h"
#include "core/stringlist.h"
#include "core/tests/test_support.h"
#include "dialogs/clipbrd.h"
#include "dialogs/tests/dialog_test_support.h"
#include "graphics/bitmap.h"
#include "graphics/graphic.h"

namespace tavelo::testing {
namespace {

class ClipboardTest : public ::testing::Test {
protected:
  void SetUp() override { StartControls(); }
  void TearDown() override {
    while (Clipboard()->OpenCount() > 0) Clipboard()->Close();
    StopControls();
  }
};

// Another thread holds the platform clipboard open through a window of its own until it is
// let go.
class TClipboardHolder {
public:
  TClipboardHolder() {
    thread_ = std::thread([this] {
      HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
      opened_ = OpenClipboard(window) != FALSE;
      ready_ = true;
      while (!release_) WaitForSingleObject(event_, INFINITE);
      if (opened_) CloseClipboard();
      DestroyWindow(window);
    });
    while (!ready_) std::this_thread::yield();
  }
  ~TClipboardHolder() { Release(); }
  bool Opened() const { return opened_; }
  void Release() {
    if (!thread_.joinable()) return;
    release_ = true;
    SetEvent(event_);
    thread_.join();
    CloseHandle(event_);
  }

private:
  HANDLE event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<bool> ready_{false}, release_{false}, opened_{false};
  std::thread thread_;
};

TEST_F(ClipboardTest, OneObjectForTheProcessAndTheFamilysTwoFormatNames) {
  EXPECT_EQ(Clipboard(), Clipboard());
  char name[64] = {};
  GetClipboardFormatNameA(PictureClipboardFormat(), name, sizeof(name));
  EXPECT_STREQ(name, "Quenda Picture");
  GetClipboardFormatNameA(ComponentClipboardFormat(), name, sizeof(name));
  EXPECT_STREQ(name, "Quenda Component");
  EXPECT_NE(PictureClipboardFormat(), ComponentClipboardFormat());
}

TEST_F(ClipboardTest, TextGoesRoundAndIsSeenWithoutOpening) {
  Clipboard()->SetAsText("var é = 1;\r\nfin");
  EXPECT_EQ(Clipboard()->OpenCount(), 0);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(PlatformClipboardText(), "var é = 1;\r\nfin");
  EXPECT_EQ(Clipboard()->AsText(), "var é = 1;\r\nfin");
  // Asking for text while another holds the clipboard open still answers.
  TClipboardHolder holder;
  ASSERT_TRUE(holder.Opened());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
}

TEST_F(ClipboardTest, OpeningNestsAndOnlyTheOutermostCloseCloses) {
  Clipboard()->Close();  // nothing open: nothing happens
  EXPECT_EQ(Clipboard()->OpenCount(), 0);
  Clipboard()->Open();
  Clipboard()->Open();
  EXPECT_EQ(Clipboard()->OpenCount(), 2);
  EXPECT_EQ(Clipboard()->ClipboardWindow(), Application()->Handle());
  EXPECT_EQ(GetOpenClipboardWindow(), Application()->Handle());
  Clipboard()->Close();
  EXPECT_EQ(GetOpenClipboardWindow(), Application()->Handle());
  Clipboard()->Close();
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(Clipboard()->ClipboardWindow(), nullptr);
}

TEST_F(ClipboardTest, ARefusedOpeningRaisesAndCountsForNothing) {
  SetPlatformClipboardText("avant");
  {
    TClipboardHolder holder;
    ASSERT_TRUE(holder.Opened());
    EXPECT_EQ(MessageOf([] { Clipboard()->Open(); }), "Impossible d'ouvrir le Presse-papiers");
    EXPECT_EQ(Clipboard()->OpenCount(), 0);
    EXPECT_EQ(Clipboard()->ClipboardWindow(), nullptr);
    // A write raises the same and changes nothing.
    EXPECT_EQ(MessageOf([] { Clipboard()->SetAsText("après"); }), "Impossible d'ouvrir le Presse-papiers");
    EXPECT_EQ(Clipboard()->OpenCount(), 0);
    // A close now must not close what the other thread holds.
    Clipboard()->Close();
    EXPECT_NE(GetOpenClipboardWindow(), nullptr);
  }
  // Once let go, the next opening is a first one again and closes for real.
  Clipboard()->Open();
  EXPECT_EQ(Clipboard()->OpenCount(), 1);
  Clipboard()->Close();
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(PlatformClipboardText(), "avant");
}

TEST_F(ClipboardTest, TwoWritesInOneOpeningEmptyOnceAndKeepBoth) {
  SetPlatformClipboardText("avant");
  TBitmap bitmap;
  bitmap.SetWidth(7);
  bitmap.SetHeight(5);
  Clipboard()->Open();
  Clipboard()->SetAsText("texte");
  Clipboard()->Assign(&bitmap);
  Clipboard()->Close();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(PlatformClipboardText(), "texte");
  // Outside an opening each write replaces the content.
  Clipboard()->Assign(&bitmap);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(ClipboardTest, PicturesAndBitmapsGoBothWaysAndOtherClassesAreRefused) {
  TBitmap bitmap;
  bitmap.SetWidth(9);
  bitmap.SetHeight(4);
  TPicture source;
  source.SetGraphic(&bitmap);
  Clipboard()->Assign(&source);
  // A bitmap alone answers for the picture format.
  EXPECT_FALSE(IsClipboardFormatAvailable(PictureClipboardFormat()));
  EXPECT_TRUE(Clipboard()->HasFormat(PictureClipboardFormat()));
  EXPECT_FALSE(Clipboard()->HasFormat(ComponentClipboardFormat()));

  TPicture picture;
  picture.Assign(Clipboard());
  ASSERT_NE(DynamicCast<TBitmap>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 9);
  EXPECT_EQ(picture.Height(), 4);
  TBitmap pasted;
  pasted.Assign(Clipboard());
  EXPECT_EQ(pasted.Width(), 9);
  EXPECT_EQ(Clipboard()->OpenCount(), 0);

  TStringList list;
  EXPECT_EQ(MessageOf([&] { Clipboard()->Assign(&list); }), "Impossible d'affecter TStringList à TClipboard");
  EXPECT_EQ(MessageOf([&] { list.Assign(Clipboard()); }), "Impossible d'affecter TClipboard à TStringList");

  // Text is no picture: the read fails and still closes.
  Clipboard()->SetAsText("x");
  EXPECT_FALSE(Clipboard()->HasFormat(PictureClipboardFormat()));
  EXPECT_EQ(MessageOf([&] { picture.Assign(Clipboard()); }), "Format de Presse-papiers incorrect");
  EXPECT_EQ(Clipboard()->OpenCount(), 0);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

TEST(ClipboardWithoutApplicationTest, MakesItsOwnWindowForAnOpeningAndDestroysItAfter) {
  ASSERT_EQ(Application(), nullptr);
  Clipboard()->Open();
  HWND window = Clipboard()->ClipboardWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetOpenClipboardWindow(), window);
  Clipboard()->Close();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Clipboard()->ClipboardWindow(), nullptr);

  // Refused, its window goes at once.
  TClipboardHolder holder;
  ASSERT_TRUE(holder.Opened());
  EXPECT_THROW(Clipboard()->Open(), Exception);
  EXPECT_EQ(Clipboard()->OpenCount(), 0);
  EXPECT_EQ(Clipboard()->ClipboardWindow(), nullptr);
}

}  // namespace
}  // namespace tavelo::testing
