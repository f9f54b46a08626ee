#include "graphics/graphic.h"

#include <cstring>
#include <vector>

#include "core/exceptions.h"
#include "core/system.h"
#include "graphics/bitmap.h"
#include "graphics/graphconsts.h"
#include "graphics/icon.h"
#include "streaming/filer.h"

namespace tavelo {

namespace {

struct TFileFormat {
  String Extension;
  String Description;
  TClass GraphicClass;
  TGraphicFactory Create;
};

struct TClipboardFormat {
  UINT Format;
  TClass GraphicClass;
  TGraphicFactory Create;
};

template <class T> std::unique_ptr<TGraphic> Construct() { return std::make_unique<T>(); }

// The lists, made with the built-in classes on first use, and their lock.
sys::TCriticalSection& FormatsLock() {
  static auto* lock = new sys::TCriticalSection;
  return *lock;
}

std::vector<TFileFormat>& FileFormats() {
  static auto* formats = new std::vector<TFileFormat>{
      {"ico", SVIcons, TIcon::StaticClass(), &Construct<TIcon>},
      {"bmp", SVBitmaps, TBitmap::StaticClass(), &Construct<TBitmap>}};
  return *formats;
}

std::vector<TClipboardFormat>& ClipboardFormats() {
  static auto* formats = new std::vector<TClipboardFormat>{{CF_BITMAP, TBitmap::StaticClass(), &Construct<TBitmap>}};
  return *formats;
}

// The class a picture's data names: exactly that name, the latest registration first.
TGraphicFactory FindGraphicClass(const String& className) {
  sys::TLockGuard guard(FormatsLock());
  const std::vector<TFileFormat>& formats = FileFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it)
    if (it->GraphicClass->ClassName() == className) return it->Create;
  return nullptr;
}

}  // namespace

void RegisterFileFormat(const String& extension, const String& description, TClass graphicClass,
                        TGraphicFactory create) {
  sys::TLockGuard guard(FormatsLock());
  FileFormats().push_back(TFileFormat{LowerCase(extension), description, graphicClass, create});
}

void RegisterClipboardFormat(UINT format, TClass graphicClass, TGraphicFactory create) {
  sys::TLockGuard guard(FormatsLock());
  ClipboardFormats().push_back(TClipboardFormat{format, graphicClass, create});
}

String FileFormatDescription(const String& extension) {
  sys::TLockGuard guard(FormatsLock());
  for (const TFileFormat& format : FileFormats())
    if (SameName(format.Extension, extension)) return format.Description;
  return String();
}

// ---- TGraphic ----

TAVELO_CLASS_IMPL(TGraphic)

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed(this);
}

void TGraphic::SetModified(bool value) {
  if (value) Changed(this);
  else modified_ = false;
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  onChange_(this);
}

bool TGraphic::Equals(TGraphic* graphic) {
  if (!graphic) return false;
  if (Empty() || graphic->Empty()) return Empty() && graphic->Empty();
  if (ClassType() != graphic->ClassType()) return false;
  TMemoryStream mine;
  TMemoryStream theirs;
  WriteData(mine);
  graphic->WriteData(theirs);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(), static_cast<std::size_t>(mine.Size())) == 0;
}

void TGraphic::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName) {
  SaveFileSafely(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TGraphic::DefineProperties(TFiler& filer) {
  bool hasData;
  if (filer.Ancestor()) {
    auto* ancestor = DynamicCast<TGraphic>(filer.Ancestor());
    hasData = !ancestor || !Equals(ancestor);
  } else {
    hasData = !Empty();
  }
  filer.DefineBinaryProperty(
      "Data", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); }, hasData);
}

// ---- TPicture ----

TAVELO_CLASS_IMPL(TPicture)

TPicture::TPicture() {
  sys::TLockGuard guard(FormatsLock());
  FileFormats();
  ClipboardFormats();
}

TPicture::~TPicture() = default;

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) {
    graphic_->SetOnChange(TNotifyEvent::Bind<&TPicture::Changed>(this));
    graphic_->SetOnProgress(TProgressEvent::Bind<&TPicture::Progress>(this));
  }
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* value) {
  std::unique_ptr<TGraphic> copy;
  if (value) {
    copy = value->CreateNew();
    copy->Assign(value);
  }
  TakeGraphic(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!graphic_ || !graphic_->Is<TBitmap>()) TakeGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!graphic_ || !graphic_->Is<TIcon>()) TakeGraphic(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }

int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* picture = DynamicCast<TPicture>(source)) {
    SetGraphic(picture->graphic_.get());
  } else if (auto* graphic = DynamicCast<TGraphic>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::AssignTo(TPersistent* dest) const {
  if (graphic_ && graphic_->InheritsFrom(dest->ClassType())) dest->Assign(graphic_.get());
  else TPersistent::AssignTo(dest);
}

void TPicture::Changed(TObject*) {
  onChange_(this);
  if (notify_) notify_->Changed();
}

void TPicture::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                        const TRect& rect, const String& message) {
  onProgress_(sender, stage, percentDone, redrawNow, rect, message);
}

void TPicture::DefineProperties(TFiler& filer) {
  bool hasData;
  if (filer.Ancestor()) {
    if (auto* ancestor = DynamicCast<TPicture>(filer.Ancestor())) {
      TGraphic* theirs = ancestor->graphic_.get();
      hasData = !(theirs == graphic_.get() || (graphic_ && theirs && graphic_->Equals(theirs)));
    } else {
      hasData = true;
    }
  } else {
    hasData = graphic_ != nullptr;
  }
  filer.DefineBinaryProperty(
      "Data", [this](TStream& stream) { ReadData(stream); }, [this](TStream& stream) { WriteData(stream); }, hasData);
}

void TPicture::ReadData(TStream& stream) {
  std::uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  String className(length, '\0');
  if (length > 0) stream.ReadBuffer(className.data(), length);
  // An unknown class (or another case of a known one) empties the picture without an error.
  std::unique_ptr<TGraphic> graphic;
  if (TGraphicFactory create = FindGraphicClass(className)) {
    graphic = create();
    graphic->ReadData(stream);
  }
  TakeGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  String className = graphic_ ? graphic_->ClassName().substr(0, 63) : String();
  auto length = static_cast<std::uint8_t>(className.size());
  stream.WriteBuffer(&length, 1);
  if (length > 0) stream.WriteBuffer(className.data(), length);
  if (graphic_) graphic_->WriteData(stream);
}

bool TPicture::SupportsClipboardFormat(UINT format) {
  sys::TLockGuard guard(FormatsLock());
  for (const TClipboardFormat& entry : ClipboardFormats())
    if (entry.Format == format) return true;
  return false;
}

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  TGraphicFactory create = nullptr;
  {
    sys::TLockGuard guard(FormatsLock());
    for (const TClipboardFormat& entry : ClipboardFormats())
      if (entry.Format == format) create = entry.Create;
  }
  if (!create) throw EInvalidGraphic(SUnknownClipboardFormat);
  std::unique_ptr<TGraphic> graphic = create();
  graphic->LoadFromClipboardFormat(format, data, palette);
  TakeGraphic(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  if (graphic_) graphic_->SaveToClipboardFormat(format, data, palette);
}

}  // namespace tavelo
