// The component writer: writes a component, the published properties that differ from their
// defaults or from its ancestor, its defined properties and its children as a component
// stream.
#pragma once

#include <cstdint>
#include <vector>

#include "core/component.h"
#include "core/filer.h"
#include "core/streams.h"
#include "core/variant.h"
#include "streaming/valueformat.h"

namespace tavelo {

class TCollection;
class TPropInfo;

class TWriter : public TFiler {
  TAVELO_CLASS(TWriter, TFiler)
public:
  TWriter(TStream& stream, int bufferSize);
  // Writes what is still buffered.
  ~TWriter() override;

  void WriteDescendent(TComponent* root, TComponent* ancestor);
  void WriteComponent(TComponent* component);
  virtual void WriteData(TComponent* instance);
  void WriteProperties(TPersistent* instance);
  void WriteCollection(TCollection* collection);

  void DefineProperty(const String& name, const TReaderProc& read, const TWriterProc& write, bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& read, const TStreamProc& write,
                            bool hasData) override;
  void FlushBuffer() override;

  std::int64_t Position();
  void SetPosition(std::int64_t value);

  // The value writes, each with the encoding the format prescribes (values.cpp holds each
  // beside its read).
  void Write(const void* buffer, int count);
  void WriteValue(TValueType value);
  void WriteSignature();
  void WritePrefix(int flags, int childPosition);
  void WriteStr(const String& text);  // a short string, cut to 255 bytes
  void WriteInteger(std::int64_t value);
  void WriteBoolean(bool value);
  void WriteChar(char value);
  void WriteString(const String& value);
  void WriteWideString(const WideString& value);
  void WriteIdent(const String& ident);
  void WriteFloat(long double value);
  void WriteSingle(float value);
  void WriteCurrency(long double value);
  void WriteDate(double value);
  void WriteListBegin();
  void WriteListEnd();
  void WriteSet(const std::vector<String>& names);
  void WriteBinary(const void* data, std::int32_t size);
  // Raises EWriteError(SWriteError) for an array.
  void WriteVariant(const TVariant& value);

  // A reference to component as the writer's lookup root names it; empty when it cannot.
  String ReferenceName(TComponent* component) const;

private:
  // Each child with the ancestor's child of the same name as its ancestor; the ancestor list,
  // positions, root and root ancestor are the children's own until they are written.
  void WriteChildren(TComponent* instance, TComponent* ancestor, bool isInline);
  void WriteProperty(TPersistent* instance, const TPropInfo* prop);
  void WritePropName(const String& name);
  // The kind, a 4-byte length and the bytes: long strings, UTF-8 strings and binary values.
  void WriteBlock(TValueType kind, const void* data, std::int32_t size);
  // Text that is the same bytes in ANSI and in UTF-8: a short string when it fits, else a
  // long one.
  void WriteAnsiString(const String& text);
  void MakeRoom(int count);
  bool AncestorValid() const;

  TComponent* rootAncestor_ = nullptr;
  String propPath_;
  std::vector<TComponent*>* ancestorList_ = nullptr;
  int ancestorPos_ = 0;
  int childPos_ = 0;
};

// Writes component (with no ancestor) to the stream.
void WriteComponentToStream(TStream& stream, TComponent* component);

}  // namespace tavelo
