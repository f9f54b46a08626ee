// Component streams: the reader that builds live components from a stream and the writer
// that writes them back. Both speak the value format of valueformat.h; the form compiler and
// dumper use the same value reads and writes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/component.h"
#include "core/streams.h"
#include "streaming/filerbase.h"
#include "streaming/fixups.h"
#include "streaming/resources.h"
#include "streaming/typinfo.h"
#include "streaming/valueformat.h"

namespace tavelo {

class TCollection;
class TClassFinder;
struct TPropFixup;

class TReader : public TFiler {
  TAVELO_CLASS(TReader, TFiler)
public:
  TReader(TStream& stream, int bufferSize);
  // Moves the stream back over what was buffered but not read.
  ~TReader() override;

  // Reads the signature and the root component; builds the root when none is given.
  TComponent* ReadRootComponent(TComponent* root);
  // Reads one child component record into the reader's owner and parent.
  TComponent* ReadComponent();
  // Reads a component's properties and children (its ReadState calls this).
  void ReadData(TComponent* instance);
  void ReadProperty(TPersistent* instance);
  void ReadCollection(TCollection* collection);

  void DefineProperty(const String& name, const TReaderProc& read, const TWriterProc& write, bool hasData) override;
  void DefineBinaryProperty(const String& name, const TStreamProc& read, const TStreamProc& write,
                            bool hasData) override;
  void FlushBuffer() override;

  TComponent* Owner() const { return owner_; }
  void SetOwner(TComponent* value) { owner_ = value; }
  TComponent* Parent() const { return parent_; }
  void SetParent(TComponent* value) { parent_ = value; }

  // The value reads.
  void Read(void* buffer, int count);
  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList();
  void ReadSignature();
  void ReadPrefix(int& flags, int& childPosition);
  String ReadStr();
  int ReadInteger();
  std::int64_t ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  String ReadString();
  WideString ReadWideString();
  String ReadIdent();
  long double ReadFloat();
  float ReadSingle();
  long double ReadCurrency();
  double ReadDate();
  // Null for kind 0, Empty for nil; the number, text and boolean kinds as their variants.
  TVariant ReadVariant();
  void ReadListBegin();
  void ReadListEnd();
  // The element names of a set value, raw; ReadSet maps them through the element type.
  std::vector<String> ReadSetNames();
  std::uint32_t ReadSet(const TTypeInfo* setType);
  // The length of a binary value (kind byte already read) checked against what is left.
  std::int32_t ReadLength();
  // A length and that many bytes: the payload of a binary, long or UTF-8 string value.
  std::string ReadBlock();
  void SkipValue();
  void SkipProperty();
  void SkipComponent(bool skipHeader);
  // Raises EReadError "Valeur de propriété incorrecte".
  [[noreturn]] static void PropValueError();
  // Where the next byte comes from, counted from the stream's start.
  std::int64_t Position();

private:
  void ReadBuffer();
  void SkipBytes(std::int64_t count);
  void SkipSetBody();
  std::int64_t Remaining();
  void ReadPropValue(TPersistent* instance, const TPropInfo* prop);
  TClass FindComponentClass(const String& className);
  TClass FindFieldClass(TComponent* root, const String& className) const;
  // The rest of a component record after its header: the property list, then the child records.
  void ReadPropertiesAndChildren(TComponent* instance);

  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  std::unique_ptr<std::vector<TPropFixup>> fixups_;
  std::vector<TComponent*>* loaded_ = nullptr;
  String propName_;
  std::unique_ptr<TClassFinder> finder_;
};

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

  // The value writes, each with the encoding the format prescribes.
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
  // Raises EWriteError "Erreur d'écriture dans le flux" for an array.
  void WriteVariant(const TVariant& value);

  // A reference to component as the writer's lookup root names it; empty when it cannot.
  String ReferenceName(TComponent* component) const;

private:
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

// Reads a stream's component into root (or a new root of the stream's class when null).
TComponent* ReadComponentFromStream(TStream& stream, TComponent* root);
// Writes component (with no ancestor) to the stream.
void WriteComponentToStream(TStream& stream, TComponent* component);

}  // namespace tavelo
