// TGraphic: an image that can be drawn into a rectangle of a canvas, compared, and read from
// and written to streams and files.
#pragma once

#include <cstdint>

#include "core/events.h"
#include "core/persistent.h"
#include "core/streams.h"
#include "graphics/canvas.h"

namespace tavelo {

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = TEvent<void(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                                   const TRect& rect, const String& message)>;

class TGraphic : public TPersistent {
  TAVELO_CLASS(TGraphic, TPersistent)
public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

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

}  // namespace tavelo
