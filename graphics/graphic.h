// TGraphic: an image that can be drawn into a rectangle of a canvas, compared, and read from
// and written to streams and files.
#pragma once

#include <cstdint>
#include <memory>

#include "core/events.h"
#include "core/persistent.h"
#include "core/streams.h"
#include "graphics/canvas.h"

namespace tavelo {

class TBitmap;
class TIcon;
class TGraphic;

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = TEvent<void(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                                   const TRect& rect, const String& message)>;

class TGraphic : public TPersistent {
  TAVELO_CLASS(TGraphic, TPersistent)
public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  // A new, empty graphic of the same class: the class's virtual constructor.
  virtual std::unique_ptr<TGraphic> CreateNew() const = 0;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual void SetWidth(int value) = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int value) = 0;
  virtual HPALETTE Palette() const { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool Transparent() const { return transparent_; }
  // Stores the flag; a change is a change of the graphic.
  virtual void SetTransparent(bool value);
  bool Modified() const { return modified_; }
  void SetModified(bool value);

  // Both empty, or neither, of the same class, writing the same bytes.
  virtual bool Equals(TGraphic* graphic);

  // Opened for reading with writers refused.
  virtual void LoadFromFile(const String& fileName);
  // Written to a new file that replaces the old one only once it is complete.
  virtual void SaveToFile(const String& fileName);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  // The clipboard: a format number, its data handle and a palette.
  virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) = 0;
  virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) = 0;

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TProgressEvent OnProgress() const { return onProgress_; }
  void SetOnProgress(TProgressEvent value) { onProgress_ = value; }

protected:
  // Sets the modified flag and fires OnChange.
  virtual void Changed(TObject* sender);
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  // The graphic's own data inside a stream of components (a picture's Data).
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }
  // "Data", when the graphic is itself a published property.
  void DefineProperties(TFiler& filer) override;

private:
  friend class TCanvas;
  friend class TPicture;

  bool modified_ = false;
  bool transparent_ = false;
  TNotifyEvent onChange_;
  TProgressEvent onProgress_;
};

// The graphic classes a picture knows: by file extension (their order is the order of the
// file dialogs' filter) and by clipboard format. Both lists hold "ico" (TIcon) and "bmp"
// (TBitmap), and format 2 (TBitmap), from their first use on.
using TGraphicFactory = std::unique_ptr<TGraphic> (*)();
void RegisterFileFormat(const String& extension, const String& description, TClass graphicClass,
                        TGraphicFactory create);
void RegisterClipboardFormat(UINT format, TClass graphicClass, TGraphicFactory create);
template <class T> void RegisterFileFormat(const String& extension, const String& description) {
  RegisterFileFormat(extension, description, T::StaticClass(), [] { return std::unique_ptr<TGraphic>(new T); });
}
// The description of an extension (SVBitmaps for "bmp"), empty when none is registered.
String FileFormatDescription(const String& extension);

// TPicture: holds one graphic of any registered class (or none) and streams it as "Data".
class TPicture : public TPersistent {
  TAVELO_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Keeps a copy: a new graphic of the same class, assigned from value (none empties).
  void SetGraphic(TGraphic* value);
  // The graphic as a bitmap (an icon): an empty one replaces a graphic of another class.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const;
  int Height() const;

  // From a picture: its graphic; from a graphic: that graphic; from null: empty.
  void Assign(TPersistent* source) override;

  // A graphic of the class registered for the format, read from the clipboard's data; an
  // unregistered format raises EInvalidGraphic SUnknownClipboardFormat.
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);
  static bool SupportsClipboardFormat(UINT format);

  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TProgressEvent OnProgress() const { return onProgress_; }
  void SetOnProgress(TProgressEvent value) { onProgress_ = value; }
  IChangeNotifier* Notify() const { return notify_; }
  void SetNotify(IChangeNotifier* value) { notify_ = value; }

protected:
  // "Data": the graphic's class name (a length byte and at most 63 bytes), then its own data.
  void DefineProperties(TFiler& filer) override;
  void AssignTo(TPersistent* dest) const override;
  // Fires OnChange with the picture, then tells the notifier.
  virtual void Changed(TObject* sender);

private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  // Takes graphic (or none) in place of the current one and announces the change.
  void TakeGraphic(std::unique_ptr<TGraphic> graphic);
  void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& rect,
                const String& message);

  std::unique_ptr<TGraphic> graphic_;
  TNotifyEvent onChange_;
  TProgressEvent onProgress_;
  IChangeNotifier* notify_ = nullptr;
};

}  // namespace tavelo
