// imageshow: draws the program's images as the windows will, through the framework's own
// image list and picture, into a BMP file that anyone can look at:
//   imageshow TOOLBAR.imagelist LOGO.picture OUTPUT.bmp
// The 45 images enabled and disabled, numbered, then the picture drawn transparently on the
// splash window's yellow and the about box's white, and drawn opaque. scripts/imageshow.sh
// runs it under Wine and makes a PNG of it.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "core/exceptions.h"
#include "graphics/bitmap.h"
#include "graphics/imglist.h"
#include "streaming/reader.h"
#include "streaming/writer.h"
#include "tools/toolsupport.h"

using namespace tavelo;
using tavelo::tools::ReadBinaryProperty;
using tavelo::tools::ReadFile;

namespace {

// A component that publishes a picture, as an image control does, so that the picture's
// "Data" comes through the reader exactly as in a form.
class TPictureHolder : public TComponent {
  TAVELO_CLASS(TPictureHolder, TComponent)
public:
  explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }

private:
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
};

const int kColumns = 15, kCellWidth = 30, kCellHeight = 32, kMargin = 8;

void DrawImages(TCanvas* canvas, TImageList& list, int top, bool enabled, const String& title) {
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(kMargin, top, title);
  top += 18;
  for (int i = 0; i < list.Count(); ++i) {
    int left = kMargin + (i % kColumns) * kCellWidth, cellTop = top + (i / kColumns) * kCellHeight;
    list.Draw(canvas, left + (kCellWidth - 16) / 2, cellTop, i, enabled);
    canvas->Brush()->SetStyle(bsClear);
    String number = IntToStr(i);
    canvas->TextOut(left + (kCellWidth - canvas->TextWidth(number)) / 2, cellTop + 17, number);
  }
}

}  // namespace

TAVELO_PUBLISH(TPictureHolder) {
  c.Property("Picture", &Self::Picture, &Self::SetPicture);
}

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage : imageshow TOOLBAR.imagelist LOGO.picture SORTIE.bmp\n", stderr);
    return 2;
  }
  try {
    TImageList list(nullptr);
    ReadBinaryProperty(&list, "TImageList", "Bitmap", ReadFile(argv[1]));
    TPictureHolder holder(nullptr);
    ReadBinaryProperty(&holder, "TPictureHolder", "Picture.Data", ReadFile(argv[2]));
    TGraphic* picture = holder.Picture()->Graphic();
    if (!picture) throw EInvalidGraphic("Image bitmap incorrecte");

    const int rows = (list.Count() + kColumns - 1) / kColumns;
    const int gridHeight = 18 + rows * kCellHeight + 8;
    const int width = 2 * kMargin + kColumns * kCellWidth;
    const int pictureTop = kMargin + 2 * gridHeight + 18;
    const int height = pictureTop + 102 + 2 * kMargin + 8;

    TBitmap sheet;
    sheet.SetSize(width, height);
    TCanvas* canvas = sheet.Canvas();
    canvas->Font()->SetName("Tahoma");
    canvas->Font()->SetHeight(-11);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(Rect(0, 0, width, height));
    DrawImages(canvas, list, kMargin, true, "Les 45 images, actives");
    DrawImages(canvas, list, kMargin + gridHeight, false, "Les 45 images, inactives");

    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(kMargin, pictureTop - 18, "L'image 102 × 102 : transparente sur jaune et sur blanc, puis opaque");
    const TColor grounds[] = {clYellow, clWhite};
    int left = kMargin;
    for (TColor ground : grounds) {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(ground);
      canvas->FillRect(Rect(left, pictureTop, left + 110, pictureTop + 110));
      picture->SetTransparent(true);
      canvas->Draw(left + 4, pictureTop + 4, picture);
      left += 120;
    }
    picture->SetTransparent(false);
    canvas->Draw(left + 4, pictureTop + 4, picture);
    sheet.SaveToFile(argv[3]);
  } catch (const Exception& e) {
    std::fputs(AnsiToUtf8("imageshow : " + e.Message() + "\n").c_str(), stderr);
    return 1;
  }
  return 0;
}
