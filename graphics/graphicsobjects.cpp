#include "graphics/graphicsobjects.h"

#include <algorithm>
#include <cstring>

#include "graphics/bitmap.h"

namespace tavelo {

namespace {

TFontData MakeDefFontData() {
  TFontData data;
  int pixelsPerInch = ScreenPixelsPerInch();
  data.Height = -::MulDiv(8, pixelsPerInch, 72);
  data.Charset = DEFAULT_CHARSET;
  const char* name = "MS Sans Serif";
  if (::GetSystemMetrics(SM_DBCSENABLED)) {
    LOGFONTA guiFont = {};
    if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont) &&
        guiFont.lfCharSet == SHIFTJIS_CHARSET) {
      data.Height = -::MulDiv(9, pixelsPerInch, 72);
      data.Charset = TFontCharset(SHIFTJIS_CHARSET);
      name = "MS UI Gothic";
    }
  }
  data.NameLength = static_cast<std::uint8_t>(std::strlen(name));
  std::memcpy(data.Name, name, data.NameLength);
  return data;
}

// Holds a tool's owner lock for a scope.
class TOwnerLock {
public:
  explicit TOwnerLock(sys::TCriticalSection* lock) : lock_(lock) {
    if (lock_) lock_->Enter();
  }
  ~TOwnerLock() {
    if (lock_) lock_->Leave();
  }
  TOwnerLock(const TOwnerLock&) = delete;
  TOwnerLock& operator=(const TOwnerLock&) = delete;

private:
  sys::TCriticalSection* lock_;
};

// Releases an entry when the scope ends, also when a change handler raises.
template <class TData> class TReleaseOnExit {
public:
  TReleaseOnExit(TResourceManager<TData>& manager, TResource<TData>* entry) : manager_(manager), entry_(entry) {}
  ~TReleaseOnExit() { manager_.FreeResource(entry_); }
  TReleaseOnExit(const TReleaseOnExit&) = delete;
  TReleaseOnExit& operator=(const TReleaseOnExit&) = delete;

private:
  TResourceManager<TData>& manager_;
  TResource<TData>* entry_;
};

// Made before the program's entry runs: the caches, the screen's resolution, the default font
// and the identifier maps of colours and character sets.
[[maybe_unused]] const bool kStarted = (FontManager(), PenManager(), BrushManager(), DefFontData(),
                                        TypeInfoOf<TColor>(), TypeInfoOf<TFontCharset>(), true);

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return ::GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color);
}

int ScreenPixelsPerInch() {
  static const int pixelsPerInch = [] {
    HDC screen = ::GetDC(nullptr);
    int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return pixelsPerInch;
}

std::uint16_t ResourceHash(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  std::uint16_t hash = 0;
  for (std::size_t i = 0; i < size; ++i)
    hash = static_cast<std::uint16_t>(((hash << 5) | (hash >> 11)) ^ bytes[i]);
  return hash;
}

// ---- TResourceManager ----

template <class TData> TResource<TData>* TResourceManager<TData>::AllocResource(const TData& data) {
  std::uint16_t hash = ResourceHash(&data, sizeof data);
  sys::TLockGuard guard(lock_);
  TEntry* entry = list_;
  while (entry && !(entry->HashCode == hash && std::memcmp(&entry->Data, &data, sizeof data) == 0))
    entry = entry->Next;
  if (!entry) {
    entry = new TEntry;
    entry->Next = list_;
    entry->Handle = data.Handle;
    entry->HashCode = hash;
    entry->Data = data;
    list_ = entry;
  }
  ++entry->RefCount;
  return entry;
}

template <class TData> void TResourceManager<TData>::FreeResource(TEntry* resource) {
  if (!resource) return;
  bool last = false;
  {
    sys::TLockGuard guard(lock_);
    last = --resource->RefCount == 0;
    if (last) {
      TEntry** link = &list_;
      while (*link && *link != resource) link = &(*link)->Next;
      if (*link) *link = resource->Next;
    }
  }
  if (last) {
    if (resource->Handle) ::DeleteObject(resource->Handle);
    delete resource;
  }
}

template <class TData>
void TResourceManager<TData>::ChangeResource(TGraphicsObject& object, TEntry*& current, const TData& data) {
  TOwnerLock lock(object.ownerLock_);
  TEntry* old = current;
  current = AllocResource(data);
  TReleaseOnExit<TData> release(*this, old);
  if (current != old) object.Changed();
}

template <class TData>
void TResourceManager<TData>::AssignResource(TGraphicsObject& object, TEntry*& current, TEntry* source) {
  TOwnerLock lock(object.ownerLock_);
  TEntry* old = current;
  {
    sys::TLockGuard guard(lock_);
    ++source->RefCount;
  }
  current = source;
  TReleaseOnExit<TData> release(*this, old);
  if (current != old) object.Changed();
}

template <class TData> int TResourceManager<TData>::EntryCount() {
  sys::TLockGuard guard(lock_);
  int count = 0;
  for (TEntry* entry = list_; entry; entry = entry->Next) ++count;
  return count;
}

template class TResourceManager<TFontData>;
template class TResourceManager<TPenData>;
template class TResourceManager<TBrushData>;

// Never freed: tools in objects that outlive the program's last destructors still release
// their entries into them.
TResourceManager<TFontData>& FontManager() {
  static auto* manager = new TResourceManager<TFontData>;
  return *manager;
}

TResourceManager<TPenData>& PenManager() {
  static auto* manager = new TResourceManager<TPenData>;
  return *manager;
}

TResourceManager<TBrushData>& BrushManager() {
  static auto* manager = new TResourceManager<TBrushData>;
  return *manager;
}

const TFontData& DefFontData() {
  static const TFontData data = MakeDefFontData();
  return data;
}

// ---- TGraphicsObject ----

TAVELO_CLASS_IMPL(TGraphicsObject)

void TGraphicsObject::Changed() { onChange_(this); }

void TGraphicsObject::Lock() {
  if (ownerLock_) ownerLock_->Enter();
}

void TGraphicsObject::Unlock() {
  if (ownerLock_) ownerLock_->Leave();
}

// ---- TFont ----

TAVELO_PUBLISH(TFont) {
  c.Property("Charset", &TFont::Charset, &TFont::SetCharset);
  c.Property("Color", &TFont::Color, &TFont::SetColor);
  c.Property("Height", &TFont::Height, &TFont::SetHeight);
  c.Property("Name", &TFont::Name, &TFont::SetName);
  c.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  c.Property("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  c.Property("Style", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() : resource_(FontManager().AllocResource(DefFontData())), pixelsPerInch_(ScreenPixelsPerInch()) {}

TFont::~TFont() { FontManager().FreeResource(resource_); }

void TFont::Assign(TPersistent* source) {
  if (auto* font = DynamicCast<TFont>(source)) {
    if (font == this) return;
    Lock();
    try {
      FontManager().AssignResource(*this, resource_, font->resource_);
      SetColor(font->color_);
      if (pixelsPerInch_ != font->pixelsPerInch_) SetSize(font->Size());
    } catch (...) {
      Unlock();
      throw;
    }
    Unlock();
    return;
  }
  TGraphicsObject::Assign(source);
}

HFONT TFont::Handle() {
  TResource<TFontData>* resource = resource_;
  if (!resource->Handle) {
    sys::TLockGuard guard(FontManager().Lock());
    if (!resource->Handle) {
      const TFontData& data = resource->Data;
      LOGFONTA logFont = {};
      logFont.lfHeight = data.Height;
      TFontStyles style = TFontStyles::FromBits(data.Style);
      logFont.lfWeight = style.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
      logFont.lfItalic = style.Contains(fsItalic);
      logFont.lfUnderline = style.Contains(fsUnderline);
      logFont.lfStrikeOut = style.Contains(fsStrikeOut);
      logFont.lfCharSet = data.Charset;
      String name(data.Name, data.NameLength);
      if (SameName(name, "Default")) name = String(DefFontData().Name, DefFontData().NameLength);
      std::memcpy(logFont.lfFaceName, name.data(), std::min<std::size_t>(name.size(), LF_FACESIZE - 1));
      logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
      logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
      logFont.lfQuality = DEFAULT_QUALITY;
      logFont.lfPitchAndFamily = data.Pitch == fpFixed ? FIXED_PITCH : data.Pitch == fpVariable ? VARIABLE_PITCH
                                                                                                 : DEFAULT_PITCH;
      resource->Handle = ::CreateFontIndirectA(&logFont);
    }
  }
  return resource->Handle;
}

void TFont::SetHandle(HFONT value) {
  LOGFONTA logFont = {};
  if (value) ::GetObjectA(value, sizeof logFont, &logFont);
  TFontData data;
  data.Handle = value;
  data.Height = logFont.lfHeight;
  TFontStyles style;
  if (logFont.lfWeight >= FW_BOLD) style.Include(fsBold);
  if (logFont.lfItalic) style.Include(fsItalic);
  if (logFont.lfUnderline) style.Include(fsUnderline);
  if (logFont.lfStrikeOut) style.Include(fsStrikeOut);
  data.Style = static_cast<std::uint8_t>(style.Bits());
  data.Charset = TFontCharset(logFont.lfCharSet);
  std::size_t length = strnlen(logFont.lfFaceName, sizeof data.Name);
  data.NameLength = static_cast<std::uint8_t>(length);
  std::memcpy(data.Name, logFont.lfFaceName, length);
  int pitch = logFont.lfPitchAndFamily & 0x0F;
  data.Pitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  SetData(data);
}

TFontData TFont::Data() const {
  TFontData data = resource_->Data;
  data.Handle = nullptr;
  return data;
}

void TFont::SetData(const TFontData& data) { FontManager().ChangeResource(*this, resource_, data); }

void TFont::SetCharset(TFontCharset value) {
  if (value == Charset()) return;
  TFontData data = Data();
  data.Charset = value;
  SetData(data);
}

void TFont::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();
}

void TFont::SetHeight(int value) {
  if (value == Height()) return;
  TFontData data = Data();
  data.Height = value;
  SetData(data);
}

String TFont::Name() const { return String(resource_->Data.Name, resource_->Data.NameLength); }

void TFont::SetName(const String& value) {
  String name = value.substr(0, sizeof(TFontData::Name));
  if (name == Name()) return;
  TFontData data = Data();
  std::memset(data.Name, 0, sizeof data.Name);
  std::memcpy(data.Name, name.data(), name.size());
  data.NameLength = static_cast<std::uint8_t>(name.size());
  SetData(data);
}

void TFont::SetPitch(TFontPitch value) {
  if (value == Pitch()) return;
  TFontData data = Data();
  data.Pitch = value;
  SetData(data);
}

int TFont::Size() const { return -::MulDiv(Height(), 72, pixelsPerInch_); }

void TFont::SetSize(int value) { SetHeight(-::MulDiv(value, pixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles value) {
  if (value == Style()) return;
  TFontData data = Data();
  data.Style = static_cast<std::uint8_t>(value.Bits());
  SetData(data);
}

void TFont::Changed() {
  TGraphicsObject::Changed();
  if (notifier_) notifier_->Changed();
}

// ---- TPen ----

TAVELO_PUBLISH(TPen) {
  c.Property("Color", &TPen::Color, &TPen::SetColor).Default(clBlack);
  c.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  c.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  c.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

TPen::TPen() : resource_(PenManager().AllocResource(TPenData())) {}

TPen::~TPen() { PenManager().FreeResource(resource_); }

void TPen::Assign(TPersistent* source) {
  if (auto* pen = DynamicCast<TPen>(source)) {
    if (pen == this) return;
    Lock();
    try {
      PenManager().AssignResource(*this, resource_, pen->resource_);
      SetMode(pen->mode_);
    } catch (...) {
      Unlock();
      throw;
    }
    Unlock();
    return;
  }
  TGraphicsObject::Assign(source);
}

HPEN TPen::Handle() {
  TResource<TPenData>* resource = resource_;
  if (!resource->Handle) {
    sys::TLockGuard guard(PenManager().Lock());
    if (!resource->Handle) {
      LOGPEN logPen = {};
      logPen.lopnStyle = resource->Data.Style;
      logPen.lopnWidth.x = resource->Data.Width;
      logPen.lopnColor = ColorToRGB(resource->Data.Color);
      resource->Handle = ::CreatePenIndirect(&logPen);
    }
  }
  return resource->Handle;
}

void TPen::SetHandle(HPEN value) {
  TPenData data = Data();
  data.Handle = value;
  SetData(data);
}

TPenData TPen::Data() const {
  TPenData data = resource_->Data;
  data.Handle = nullptr;
  return data;
}

void TPen::SetData(const TPenData& data) { PenManager().ChangeResource(*this, resource_, data); }

void TPen::SetColor(TColor value) {
  if (value == Color()) return;
  TPenData data = Data();
  data.Color = value;
  SetData(data);
}

void TPen::SetMode(TPenMode value) {
  if (value == mode_) return;
  mode_ = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == Style()) return;
  TPenData data = Data();
  data.Style = value;
  SetData(data);
}

void TPen::SetWidth(int value) {
  if (value < 0 || value == Width()) return;
  TPenData data = Data();
  data.Width = value;
  SetData(data);
}

// ---- TBrush ----

TAVELO_PUBLISH(TBrush) {
  c.Property("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite);
  c.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

TBrush::TBrush() : resource_(BrushManager().AllocResource(TBrushData())) {}

TBrush::~TBrush() { BrushManager().FreeResource(resource_); }

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = DynamicCast<TBrush>(source)) {
    if (brush == this) return;
    BrushManager().AssignResource(*this, resource_, brush->resource_);
    return;
  }
  TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() {
  TResource<TBrushData>* resource = resource_;
  if (!resource->Handle) {
    sys::TLockGuard guard(BrushManager().Lock());
    if (!resource->Handle) {
      const TBrushData& data = resource->Data;
      if (data.Bitmap) {
        resource->Handle = ::CreatePatternBrush(data.Bitmap->Handle());
      } else {
        LOGBRUSH logBrush = {};
        logBrush.lbColor = ColorToRGB(data.Color);
        switch (data.Style) {
          case bsSolid: logBrush.lbStyle = BS_SOLID; break;
          case bsClear: logBrush.lbStyle = BS_HOLLOW; break;
          default:
            logBrush.lbStyle = BS_HATCHED;
            logBrush.lbHatch = static_cast<ULONG_PTR>(data.Style) - 2;
            break;
        }
        resource->Handle = ::CreateBrushIndirect(&logBrush);
      }
    }
  }
  return resource->Handle;
}

void TBrush::SetHandle(HBRUSH value) {
  TBrushData data = Data();
  data.Handle = value;
  SetData(data);
}

TBrushData TBrush::Data() const {
  TBrushData data = resource_->Data;
  data.Handle = nullptr;
  data.Bitmap = nullptr;
  return data;
}

void TBrush::SetData(const TBrushData& data) { BrushManager().ChangeResource(*this, resource_, data); }

void TBrush::SetColor(TColor value) {
  if (value == Color() && Style() != bsClear) return;
  TBrushData data = Data();
  data.Color = value;
  if (data.Style == bsClear) data.Style = bsSolid;
  SetData(data);
}

void TBrush::SetBitmap(TBitmap* value) {
  if (value == Bitmap()) return;
  TBrushData data = Data();
  data.Bitmap = value;
  SetData(data);
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == Style()) return;
  TBrushData data = Data();
  data.Style = value;
  if (value == bsClear) data.Color = clWhite;
  SetData(data);
}

}  // namespace tavelo
