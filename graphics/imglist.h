// Image lists: many small images of one size, each with a mask, kept in a platform image
// list made on demand and drawn by index, normally or in the embossed disabled look; the
// change links through which observers (action lists, bars) hear of every change.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/component.h"
#include "graphics/bitmap.h"
#include "graphics/canvas.h"

namespace tavelo {

class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
TAVELO_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
enum TImageType { itImage, itMask };
TAVELO_ENUM(TImageType, itImage, itMask)

// An observer of one image list; freeing it takes it off its list.
class TChangeLink : public TObject {
  TAVELO_CLASS(TChangeLink, TObject)
public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;

  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* value) { sender_ = value; }
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  // Calls OnChange with the sender.
  virtual void Change();

private:
  TCustomImageList* sender_ = nullptr;
  TNotifyEvent onChange_;
};

class TCustomImageList : public TComponent {
  TAVELO_CLASS(TCustomImageList, TComponent)
public:
  // 16 × 16.
  explicit TCustomImageList(TComponent* owner);
  // Of that size, without owner. A width below 1 or a height outside 1..32768 raises
  // EInvalidOperation SInvalidImageSize.
  TCustomImageList(int width, int height);
  // Takes every link off, then destroys the platform list unless it is shared.
  ~TCustomImageList() override;

  // From an image list: its settings, size, colours and a copy of every image. From null:
  // no images.
  void Assign(TPersistent* source) override;

  // The new image's index, or -1. A bitmap smaller than the images raises EInvalidOperation
  // SInvalidImageSize; a missing image or mask is black (a missing mask: opaque).
  int Add(TBitmap* image, TBitmap* mask);
  // The mask leaves out the pixels of maskColor, when the list is masked and the colour is
  // not -1.
  int AddMasked(TBitmap* image, TColor maskColor);
  // Raises EInvalidOperation SReplaceImage when the platform refuses.
  void ReplaceMasked(int index, TBitmap* newImage, TColor maskColor);
  // An index not below Count raises EInvalidOperation SImageIndexError; -1
  // removes every image.
  void Delete(int index);
  void Clear() { Delete(-1); }
  // Sizes the bitmap to the images and draws image index into it; false when there is no
  // such image or no bitmap.
  bool GetBitmap(int index, TBitmap* image);
  // Nothing without a platform list. Disabled: the image's silhouette, embossed.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true);

  // Changes inside a bracket are announced once, by the outermost EndUpdate.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  int Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }
  // Made when first needed; the platform refusing raises EInvalidOperation SInvalidImageList.
  HIMAGELIST Handle();
  // Takes a platform list (and its image size); the current one is freed first.
  void SetHandle(HIMAGELIST value);
  bool HandleAllocated() const { return handle_ != nullptr; }

  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int value) { allocBy_ = value; }
  TColor BkColor() const;
  void SetBkColor(TColor value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor value);
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle value);
  int Height() const { return height_; }
  // A new size empties the list.
  void SetHeight(int value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType value);
  bool Masked() const { return masked_; }
  void SetMasked(bool value) { masked_ = value; }
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool value) { shareImages_ = value; }
  int Width() const { return width_; }
  void SetWidth(int value);
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }

protected:
  void AssignTo(TPersistent* dest) const override;
  // "Bitmap": the platform's image-list stream.
  void DefineProperties(TFiler& filer) override;
  // Tells the links, in the order they came, then OnChange; inside an update bracket only
  // notes that something changed.
  virtual void Change();
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);
  // The platform's stream form, through the platform; reading checks the bytes first and
  // takes the older two-bitmap layout too.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

private:
  void Initialize();
  void SetSize(int width, int height);
  void HandleNeeded() { Handle(); }
  // Forgets the platform list (destroying it unless shared), quietly.
  void DropHandle();
  void FreeHandle();
  void CreateDefaultBitmap();
  void CheckImage(TBitmap* image) const;
  int AddBitmaps(HBITMAP image, HBITMAP mask);
  // Adds the images of another platform list, each drawn into a colour and a mask bitmap.
  void CopyImages(HIMAGELIST source);
  void ReadTwoBitmaps(const std::uint8_t* data, std::size_t imageSize, std::size_t size, int count);
  bool Equal(TCustomImageList* other);

  HIMAGELIST handle_ = nullptr;
  int width_ = 16;
  int height_ = 16;
  int allocBy_ = 4;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  bool masked_ = true;
  bool shareImages_ = false;
  // Stands in for a missing image or mask: black, of the images' size.
  HBITMAP defaultImage_ = nullptr;
  // The silhouette of disabled drawing; made on first use, dropped with a new size.
  HBITMAP monoBitmap_ = nullptr;
  std::vector<TChangeLink*> links_;
  int updateCount_ = 0;
  bool changed_ = false;
  TNotifyEvent onChange_;
};

// Adds dragging to the image list; nothing of this program drags.
class TDragImageList : public TCustomImageList {
  TAVELO_CLASS(TDragImageList, TCustomImageList)
public:
  explicit TDragImageList(TComponent* owner) : TCustomImageList(owner) {}
  TDragImageList(int width, int height) : TCustomImageList(width, height) {}
};

// The image list of a form: publishes its settings.
class TImageList : public TDragImageList {
  TAVELO_CLASS(TImageList, TDragImageList)
public:
  explicit TImageList(TComponent* owner) : TDragImageList(owner) {}
  TImageList(int width, int height) : TDragImageList(width, height) {}
};

// The platform's colour for a colour of ours: clNone is the platform's "none", clDefault
// its "default", anything else its RGB value; and back.
COLORREF ImageListColor(TColor color);
TColor ColorFromImageList(COLORREF color);

}  // namespace tavelo
