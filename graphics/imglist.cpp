#include "graphics/imglist.h"

#include <algorithm>
#include <span>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "graphics/graphconsts.h"
#include "graphics/imagelistdata.h"
#include "graphics/streamadapter.h"
#include "streaming/filer.h"

namespace tavelo {

namespace {

const UINT kDrawingStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
const UINT kImageTypes[] = {0, ILD_MASK};
// Colour device-dependent bitmaps; ILC_MASK is added for masked lists.
const UINT kColorFlags = ILC_COLORDDB;
// The brush where the source is black, the destination elsewhere.
const DWORD kRopDSPDxax = 0x00E20746;

// Platform objects of one scope, deleted on every way out.
class TGdiBitmap {
public:
  explicit TGdiBitmap(HBITMAP handle = nullptr) : handle_(handle) {}
  ~TGdiBitmap() {
    if (handle_) ::DeleteObject(handle_);
  }
  TGdiBitmap(const TGdiBitmap&) = delete;
  TGdiBitmap& operator=(const TGdiBitmap&) = delete;
  HBITMAP Get() const { return handle_; }
  // Hands the bitmap over to the caller.
  HBITMAP Release() {
    HBITMAP handle = handle_;
    handle_ = nullptr;
    return handle;
  }

private:
  HBITMAP handle_;
};

// A memory context with a bitmap selected, put back and deleted at the end of the scope.
class TMemoryContext {
public:
  explicit TMemoryContext(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)) {
    if (!dc_) throw EOutOfResources(SOutOfResources);
    old_ = ::SelectObject(dc_, bitmap);
  }
  ~TMemoryContext() {
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  TMemoryContext(const TMemoryContext&) = delete;
  TMemoryContext& operator=(const TMemoryContext&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// A bitmap the screen can show directly, of that size; monochrome when asked.
HBITMAP NewBitmap(int width, int height, bool monochrome) {
  HBITMAP bitmap;
  if (monochrome) {
    bitmap = ::CreateBitmap(width, height, 1, 1, nullptr);
  } else {
    HDC screen = ::GetDC(nullptr);
    bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
  }
  if (!bitmap) throw EOutOfResources(SOutOfResources);
  return bitmap;
}

// A device-dependent copy of the top-left width × height of a bitmap.
HBITMAP CopyBitmap(HBITMAP source, int width, int height, bool monochrome, int left = 0, int top = 0) {
  TGdiBitmap copy(NewBitmap(width, height, monochrome));
  {
    TMemoryContext from(source), to(copy.Get());
    ::BitBlt(to.Get(), 0, 0, width, height, from.Get(), left, top, SRCCOPY);
  }
  return copy.Release();
}

// Image index of list drawn into a colour bitmap (black where transparent) and its mask into a
// monochrome one (white where transparent): drawing a mask only blackens what is opaque.
void RenderImage(HIMAGELIST list, int index, HBITMAP colour, HBITMAP mask) {
  int width = 0, height = 0;
  ImageList_GetIconSize(list, &width, &height);
  {
    TMemoryContext dc(colour);
    ::PatBlt(dc.Get(), 0, 0, width, height, BLACKNESS);
    ImageList_Draw(list, index, dc.Get(), 0, 0, ILD_NORMAL);
  }
  {
    TMemoryContext dc(mask);
    ::PatBlt(dc.Get(), 0, 0, width, height, WHITENESS);
    ImageList_Draw(list, index, dc.Get(), 0, 0, ILD_MASK);
  }
}

}  // namespace

COLORREF ImageListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(color);
}

TColor ColorFromImageList(COLORREF color) {
  if (color == CLR_NONE) return clNone;
  if (color == CLR_DEFAULT) return clDefault;
  return TColor(static_cast<std::int32_t>(color));
}

// ---- TChangeLink ----

TAVELO_CLASS_IMPL(TChangeLink)

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (sender_) onChange_(sender_);
}

// ---- TCustomImageList ----

TAVELO_CLASS_IMPL(TCustomImageList)
TAVELO_CLASS_IMPL(TDragImageList)

TAVELO_PUBLISH(TImageList) {
  c.Property("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor).Default(clNone);
  c.Property("BkColor", &TImageList::BkColor, &TImageList::SetBkColor).Default(clNone);
  c.Property("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
  c.Property("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle).Default(dsNormal);
  c.Property("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  c.Property("ImageType", &TImageList::ImageType, &TImageList::SetImageType).Default(itImage);
  c.Property("Masked", &TImageList::Masked, &TImageList::SetMasked).Default(true);
  c.Property("OnChange", &TImageList::OnChange, &TImageList::SetOnChange);
  c.Property("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages).Default(false);
  c.Property("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) { Initialize(); }

TCustomImageList::TCustomImageList(int width, int height) : TComponent(nullptr), width_(width), height_(height) {
  Initialize();
}

void TCustomImageList::Initialize() {
  if (height_ < 1 || height_ > 32768 || width_ < 1) throw EInvalidOperation(SInvalidImageSize);
  CreateDefaultBitmap();
}

TCustomImageList::~TCustomImageList() {
  while (!links_.empty()) UnRegisterChanges(links_.back());
  if (defaultImage_) ::DeleteObject(defaultImage_);
  DropHandle();
  if (monoBitmap_) ::DeleteObject(monoBitmap_);
}

void TCustomImageList::CreateDefaultBitmap() {
  TGdiBitmap bitmap(NewBitmap(width_, height_, false));
  {
    TMemoryContext dc(bitmap.Get());
    ::PatBlt(dc.Get(), 0, 0, width_, height_, BLACKNESS);
  }
  if (defaultImage_) ::DeleteObject(defaultImage_);
  defaultImage_ = bitmap.Release();
}

HIMAGELIST TCustomImageList::Handle() {
  if (!handle_) {
    handle_ = ImageList_Create(width_, height_, kColorFlags | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
    if (!handle_) throw EInvalidOperation(SInvalidImageList);
    if (bkColor_ != clNone) ImageList_SetBkColor(handle_, ImageListColor(bkColor_));
  }
  return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST value) {
  FreeHandle();
  if (value) {
    int width = 0, height = 0;
    ImageList_GetIconSize(value, &width, &height);
    width_ = width;
    height_ = height;
    handle_ = value;
    if (monoBitmap_) {
      ::DeleteObject(monoBitmap_);
      monoBitmap_ = nullptr;
    }
    CreateDefaultBitmap();
    Change();
  }
}

void TCustomImageList::DropHandle() {
  if (handle_ && !shareImages_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

void TCustomImageList::FreeHandle() {
  DropHandle();
  Change();
}

TColor TCustomImageList::BkColor() const {
  return handle_ ? ColorFromImageList(ImageList_GetBkColor(handle_)) : bkColor_;
}

void TCustomImageList::SetBkColor(TColor value) {
  if (value == BkColor()) return;
  bkColor_ = value;
  if (handle_) ImageList_SetBkColor(handle_, ImageListColor(value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
  if (value == blendColor_) return;
  blendColor_ = value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == drawingStyle_) return;
  drawingStyle_ = value;
  Change();
}

void TCustomImageList::SetImageType(TImageType value) {
  if (value == imageType_) return;
  imageType_ = value;
  Change();
}

void TCustomImageList::SetWidth(int value) { SetSize(value, height_); }
void TCustomImageList::SetHeight(int value) { SetSize(width_, value); }

void TCustomImageList::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  // A size the platform cannot make would leave a list that silently holds nothing.
  if (height < 1 || height > 32768 || width < 1) throw EInvalidOperation(SInvalidImageSize);
  width_ = width;
  height_ = height;
  if (handle_) ImageList_SetIconSize(handle_, width, height);
  if (monoBitmap_) {
    ::DeleteObject(monoBitmap_);
    monoBitmap_ = nullptr;
  }
  BeginUpdate();
  try {
    Clear();
    CreateDefaultBitmap();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  link->SetSender(this);
  links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto found = std::find(links_.begin(), links_.end(), link);
  if (found == links_.end()) return;
  link->SetSender(nullptr);
  links_.erase(found);
}

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (changed_) {
    changed_ = false;
    Change();
  }
}

void TCustomImageList::Change() {
  changed_ = true;
  if (updateCount_ > 0) return;
  // A link may leave (or free another) while it is told: each is told only if still here.
  std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  onChange_(this);
}

void TCustomImageList::CheckImage(TBitmap* image) const {
  if (image && !image->Empty() && (image->Width() < width_ || image->Height() < height_))
    throw EInvalidOperation(SInvalidImageSize);
}

int TCustomImageList::AddBitmaps(HBITMAP image, HBITMAP mask) {
  HandleNeeded();
  int index = ImageList_Add(handle_, image ? image : defaultImage_, mask ? mask : defaultImage_);
  Change();
  return index;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  CheckImage(image);
  CheckImage(mask);
  HandleNeeded();
  // Device-dependent copies, whole: a wider bitmap adds one image per cell.
  TGdiBitmap colour(image && !image->Empty() ? CopyBitmap(image->Handle(), image->Width(), image->Height(), false)
                                             : nullptr);
  TGdiBitmap monochrome(mask && !mask->Empty() ? CopyBitmap(mask->Handle(), mask->Width(), mask->Height(), true)
                                               : nullptr);
  return AddBitmaps(colour.Get(), monochrome.Get());
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  HandleNeeded();
  int index;
  if (image && !image->Empty()) {
    TGdiBitmap colour(CopyBitmap(image->Handle(), image->Width(), image->Height(), false));
    if (masked_ && maskColor != TColor(-1)) index = ImageList_AddMasked(handle_, colour.Get(), ColorToRGB(maskColor));
    else index = ImageList_Add(handle_, colour.Get(), nullptr);
  } else {
    index = ImageList_Add(handle_, defaultImage_, nullptr);
  }
  Change();
  return index;
}

void TCustomImageList::ReplaceMasked(int index, TBitmap* newImage, TColor maskColor) {
  if (!handle_) return;
  CheckImage(newImage);
  int temporary = AddMasked(newImage, maskColor);
  if (temporary < 0) throw EInvalidOperation(SReplaceImage);
  bool replaced = false;
  try {
    TGdiBitmap colour(NewBitmap(width_, height_, false)), mask(NewBitmap(width_, height_, true));
    RenderImage(handle_, temporary, colour.Get(), mask.Get());
    replaced = ImageList_Replace(handle_, index, colour.Get(), mask.Get()) != FALSE;
  } catch (...) {
    ImageList_Remove(handle_, temporary);
    throw;
  }
  ImageList_Remove(handle_, temporary);
  if (!replaced) throw EInvalidOperation(SReplaceImage);
  Change();
}

void TCustomImageList::Delete(int index) {
  if (index >= Count()) throw EInvalidOperation(SImageIndexError);
  if (handle_) ImageList_Remove(handle_, index);
  Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || !handle_ || index < 0 || index >= Count()) return false;
  image->SetSize(width_, height_);
  Draw(image->Canvas(), 0, 0, index, true);
  return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                            bool enabled) {
  if (!handle_ || !canvas) return;
  DoDraw(index, canvas, x, y, kDrawingStyles[style] | kImageTypes[type], enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  if (enabled) {
    ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, ImageListColor(BkColor()),
                     ImageListColor(blendColor_), style);
    return;
  }
  // The silhouette: every visible pixel that is not white, black on white.
  if (!monoBitmap_) monoBitmap_ = NewBitmap(width_, height_, true);
  TMemoryContext mono(monoBitmap_);
  ::PatBlt(mono.Get(), 0, 0, width_, height_, WHITENESS);
  ImageList_DrawEx(handle_, index, mono.Get(), 0, 0, 0, 0, CLR_NONE, 0, ILD_NORMAL);
  // Embossed: the highlight one pixel down and right, the shadow over it.
  canvas->Brush()->SetColor(clBtnHighlight);
  HDC dc = canvas->Handle();
  COLORREF oldText = ::SetTextColor(dc, RGB(255, 255, 255));
  COLORREF oldBack = ::SetBkColor(dc, RGB(0, 0, 0));
  ::BitBlt(dc, x + 1, y + 1, width_, height_, mono.Get(), 0, 0, kRopDSPDxax);
  canvas->Brush()->SetColor(clBtnShadow);
  dc = canvas->Handle();
  ::SetTextColor(dc, RGB(255, 255, 255));
  ::SetBkColor(dc, RGB(0, 0, 0));
  ::BitBlt(dc, x, y, width_, height_, mono.Get(), 0, 0, kRopDSPDxax);
  ::SetTextColor(dc, oldText);
  ::SetBkColor(dc, oldBack);
}

void TCustomImageList::CopyImages(HIMAGELIST source) {
  BeginUpdate();
  try {
    int count = ImageList_GetImageCount(source);
    for (int i = 0; i < count; ++i) {
      TGdiBitmap colour(NewBitmap(width_, height_, false)), mask(NewBitmap(width_, height_, true));
      RenderImage(source, i, colour.Get(), mask.Get());
      AddBitmaps(colour.Get(), mask.Get());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::Assign(TPersistent* source) {
  if (!source) {
    FreeHandle();
    return;
  }
  auto* other = DynamicCast<TCustomImageList>(source);
  if (!other) {
    TComponent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    masked_ = other->masked_;
    imageType_ = other->imageType_;
    drawingStyle_ = other->drawingStyle_;
    shareImages_ = other->shareImages_;
    if (width_ != other->width_ || height_ != other->height_) {
      width_ = other->width_;
      height_ = other->height_;
      if (monoBitmap_) {
        ::DeleteObject(monoBitmap_);
        monoBitmap_ = nullptr;
      }
      CreateDefaultBitmap();
    }
    if (handle_) ImageList_SetIconSize(handle_, width_, height_);
    else HandleNeeded();
    SetBkColor(other->BkColor());
    SetBlendColor(other->blendColor_);
    if (other->handle_) CopyImages(other->handle_);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::AssignTo(TPersistent* dest) const {
  if (auto* list = DynamicCast<TCustomImageList>(dest)) {
    list->Assign(const_cast<TCustomImageList*>(this));
    return;
  }
  TComponent::AssignTo(dest);
}

// ---- the "Bitmap" property ----

bool TCustomImageList::Equal(TCustomImageList* other) {
  if (Count() != other->Count()) return false;
  if (Count() == 0) return true;
  TMemoryStream mine, theirs;
  WriteData(mine);
  other->WriteData(theirs);
  return mine.Size() == theirs.Size() && std::equal(static_cast<const char*>(mine.Memory()),
                                                    static_cast<const char*>(mine.Memory()) + mine.Size(),
                                                    static_cast<const char*>(theirs.Memory()));
}

void TCustomImageList::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  bool hasData;
  if (auto* ancestor = DynamicCast<TCustomImageList>(filer.Ancestor())) hasData = !Equal(ancestor);
  else hasData = Count() > 0;
  filer.DefineBinaryProperty(
      "Bitmap", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); },
      hasData);
}

void TCustomImageList::WriteData(TStream& stream) {
  TStreamAdapter adapter(stream);
  if (!ImageList_Write(Handle(), &adapter)) throw EWriteError(SImageWriteFail);
}

void TCustomImageList::ReadData(TStream& stream) {
  FreeHandle();
  std::int64_t left = stream.Size() - stream.Position();
  if (left < 0 || left > 0x7FFFFFFF) throw EReadError(SImageReadFail);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left));
  stream.ReadBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  // Everything the platform or the bitmap reader will read is checked here first.
  TImageListPayload payload = CheckImageListPayload(bytes, width_, height_);
  if (payload.Form == TImageListPayload::TwoBitmaps) {
    ReadTwoBitmaps(bytes.data(), payload.Mask.Offset - payload.Image.Offset, bytes.size(), payload.Count);
    return;
  }
  TMemoryStream checked;
  checked.WriteBuffer(bytes.data(), static_cast<std::int32_t>(payload.Size));
  checked.SetPosition(0);
  TStreamAdapter adapter(checked);
  HIMAGELIST list = ImageList_Read(&adapter);
  if (!list) throw EReadError(SImageReadFail);
  SetHandle(list);
}

void TCustomImageList::ReadTwoBitmaps(const std::uint8_t* data, std::size_t imageSize, std::size_t size, int count) {
  TBitmap image, mask;
  try {
    image.LoadFromBmpImage(ReadBmp(std::span(data + 8, imageSize)));
    mask.LoadFromBmpImage(ReadBmp(std::span(data + 8 + imageSize, size - 8 - imageSize)));
  } catch (const EInvalidGraphic&) {
    throw EReadError(SImageReadFail);
  }
  if (image.Empty() || mask.Empty()) {
    if (count > 0) throw EReadError(SImageReadFail);
    return;
  }
  // The check read the same headers; the decoded pictures must agree with it.
  int columns = image.Width() / width_;
  if (count > 0 && (columns < 1 || count > columns * (image.Height() / height_))) throw EReadError(SImageReadFail);
  BeginUpdate();
  try {
    for (int i = 0; i < count; ++i) {
      int left = (i % columns) * width_, top = (i / columns) * height_;
      TGdiBitmap colour(CopyBitmap(image.Handle(), width_, height_, false, left, top));
      TGdiBitmap monochrome(CopyBitmap(mask.Handle(), width_, height_, true, left, top));
      AddBitmaps(colour.Get(), monochrome.Get());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

}  // namespace tavelo
