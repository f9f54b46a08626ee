// Fonts, pens and brushes: cheap value objects. Their platform objects are shared by every tool
// with the same settings through one reference-counted cache per kind, and made only when
// somebody draws with them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/events.h"
#include "core/persistent.h"
#include "core/system.h"
#include "graphics/colors.h"
#include "core/typinfo.h"

namespace tavelo {

class TBitmap;

// Told by the object it watches that it changed (a control watching its font).
class IChangeNotifier {
public:
  virtual void Changed() = 0;

protected:
  ~IChangeNotifier() = default;
};

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };
TAVELO_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
TAVELO_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
TAVELO_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
enum TPenMode : std::uint8_t {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen,
  pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
TAVELO_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
            pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

enum TBrushStyle : std::uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
TAVELO_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

// The RGB value of a colour: a system colour asks the platform for its current value.
COLORREF ColorToRGB(TColor color);
// The screen's vertical pixels per inch, read once at start-up.
int ScreenPixelsPerInch();

// The settings records are the cache keys, hashed and compared as bytes; so that equal
// settings are equal bytes, every filler byte is a member of its own and zero.
struct TFontData {
  HFONT Handle = nullptr;  // set only for a font taken from an existing platform font
  std::int32_t Height = 0;
  TFontPitch Pitch = fpDefault;
  std::uint8_t Style = 0;  // the bits of TFontStyles
  TFontCharset Charset = DEFAULT_CHARSET;
  std::uint8_t NameLength = 0;
  char Name[31] = {};
  std::uint8_t Filler = 0;
};

struct TPenData {
  HPEN Handle = nullptr;
  TColor Color = clBlack;
  std::int32_t Width = 1;
  TPenStyle Style = psSolid;
  std::uint8_t Filler[sizeof(void*) - 1] = {};
};

struct TBrushData {
  HBRUSH Handle = nullptr;
  TColor Color = clWhite;
#if UINTPTR_MAX > 0xFFFFFFFFu
  std::uint32_t Filler0 = 0;
#endif
  TBitmap* Bitmap = nullptr;
  TBrushStyle Style = bsSolid;
  std::uint8_t Filler[sizeof(void*) - 1] = {};
};

static_assert(std::has_unique_object_representations_v<TFontData>);
static_assert(std::has_unique_object_representations_v<TPenData>);
static_assert(std::has_unique_object_representations_v<TBrushData>);

// The 16-bit hash of a record: each byte XORed into the value rotated left by 5 bits.
std::uint16_t ResourceHash(const void* data, std::size_t size);

// One cache entry: a distinct record, its users and its platform object (made on first use).
template <class TData> struct TResource {
  using THandle = decltype(TData::Handle);
  TResource* Next = nullptr;
  int RefCount = 0;
  THandle Handle = nullptr;
  std::uint16_t HashCode = 0;
  TData Data;
};

class TGraphicsObject;

// The cache of one kind of tool: a list of entries, newest first, under one lock.
template <class TData> class TResourceManager {
public:
  using TEntry = TResource<TData>;

  TResourceManager() = default;
  TResourceManager(const TResourceManager&) = delete;
  TResourceManager& operator=(const TResourceManager&) = delete;

  // The entry for data, made when missing; one more user.
  TEntry* AllocResource(const TData& data);
  // One user fewer; the last one deletes the entry and its platform object.
  void FreeResource(TEntry* resource);
  // Moves object from current to the entry for data: the change event fires (when the entry
  // differs) before the old entry is released, so its platform object is deselected first.
  void ChangeResource(TGraphicsObject& object, TEntry*& current, const TData& data);
  // Makes object share source.
  void AssignResource(TGraphicsObject& object, TEntry*& current, TEntry* source);
  sys::TCriticalSection& Lock() { return lock_; }
  // The number of entries, for tests.
  int EntryCount();

private:
  TEntry* list_ = nullptr;
  sys::TCriticalSection lock_;
};

extern template class TResourceManager<TFontData>;
extern template class TResourceManager<TPenData>;
extern template class TResourceManager<TBrushData>;

// The three caches of the program, made at start-up and kept until it ends.
TResourceManager<TFontData>& FontManager();
TResourceManager<TPenData>& PenManager();
TResourceManager<TBrushData>& BrushManager();

// The settings of a new font: 8 points of "MS Sans Serif" (9 points of a Shift-JIS face on a
// system whose default character set is Shift-JIS).
const TFontData& DefFontData();

class TGraphicsObject : public TPersistent {
  TAVELO_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  // The lock of the canvas the tool belongs to, held while its entry changes.
  sys::TCriticalSection* OwnerCriticalSection() const { return ownerLock_; }
  void SetOwnerCriticalSection(sys::TCriticalSection* value) { ownerLock_ = value; }

protected:
  virtual void Changed();
  void Lock();
  void Unlock();

private:
  template <class> friend class TResourceManager;
  TNotifyEvent onChange_;
  sys::TCriticalSection* ownerLock_ = nullptr;
};

class TFont : public TGraphicsObject {
  TAVELO_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  // Shares source's entry; copies the colour, and the point size across a pixels-per-inch
  // difference.
  void Assign(TPersistent* source) override;

  // The shared platform font, made on first request.
  HFONT Handle();
  // Takes an existing platform font, which the cache then owns.
  void SetHandle(HFONT value);

  TFontCharset Charset() const { return resource_->Data.Charset; }
  void SetCharset(TFontCharset value);
  // Not part of the shared record: changing it only fires the change event.
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Height() const { return resource_->Data.Height; }
  void SetHeight(int value);
  String Name() const;
  // Kept to its first 31 characters.
  void SetName(const String& value);
  TFontPitch Pitch() const { return resource_->Data.Pitch; }
  void SetPitch(TFontPitch value);
  // Points: -MulDiv(Height, 72, PixelsPerInch).
  int Size() const;
  void SetSize(int value);
  TFontStyles Style() const { return TFontStyles::FromBits(resource_->Data.Style); }
  void SetStyle(TFontStyles value);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }
  IChangeNotifier* FontAdapter() const { return notifier_; }
  void SetFontAdapter(IChangeNotifier* value) { notifier_ = value; }

  // The cache entry this font uses; fonts with equal settings use the same one.
  const TResource<TFontData>* Resource() const { return resource_; }

protected:
  void Changed() override;

private:
  // The current record with the handle cleared, ready for one field to change.
  TFontData Data() const;
  void SetData(const TFontData& data);

  TResource<TFontData>* resource_;
  TColor color_ = clWindowText;
  int pixelsPerInch_;
  IChangeNotifier* notifier_ = nullptr;
};

class TPen : public TGraphicsObject {
  TAVELO_CLASS(TPen, TGraphicsObject)
public:
  TPen();
  ~TPen() override;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  // Shares source's entry and copies its mode.
  void Assign(TPersistent* source) override;

  HPEN Handle();
  void SetHandle(HPEN value);
  TColor Color() const { return resource_->Data.Color; }
  void SetColor(TColor value);
  // Not part of the shared record: changing it only fires the change event.
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);
  TPenStyle Style() const { return resource_->Data.Style; }
  void SetStyle(TPenStyle value);
  int Width() const { return resource_->Data.Width; }
  // A negative width is ignored.
  void SetWidth(int value);

  const TResource<TPenData>* Resource() const { return resource_; }

private:
  TPenData Data() const;
  void SetData(const TPenData& data);

  TResource<TPenData>* resource_;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  TAVELO_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  ~TBrush() override;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  void Assign(TPersistent* source) override;

  HBRUSH Handle();
  void SetHandle(HBRUSH value);
  // A colour makes a clear brush solid.
  TColor Color() const { return resource_->Data.Color; }
  void SetColor(TColor value);
  // Clear makes the colour white.
  TBrushStyle Style() const { return resource_->Data.Style; }
  void SetStyle(TBrushStyle value);
  // A pattern brush of the bitmap; any other setting drops it.
  TBitmap* Bitmap() const { return resource_->Data.Bitmap; }
  void SetBitmap(TBitmap* value);

  const TResource<TBrushData>* Resource() const { return resource_; }

private:
  // The current record with the handle and the pattern cleared.
  TBrushData Data() const;
  void SetData(const TBrushData& data);

  TResource<TBrushData>* resource_;
};

}  // namespace tavelo
