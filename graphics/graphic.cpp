#include "graphics/graphic.h"

#include <cstring>

#include "streaming/filer.h"

namespace tavelo {

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

}  // namespace tavelo
