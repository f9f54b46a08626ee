// The component reader: builds live components from a component stream, finding their classes,
// setting their published and defined properties, and resolving their references to each
// other once the whole stream is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/component.h"
#include "core/filer.h"
#include "core/streams.h"
#include "core/variant.h"
#include "streaming/valueformat.h"

namespace tavelo {

class TClassFinder;
class TCollection;
class TPropInfo;
struct TPropFixup;
struct TTypeInfo;

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

  // The value reads (values.cpp holds each beside its write).
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
  // Raises EReadError(SInvalidPropertyValue).
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

// Reads a stream's component into root (or a new root of the stream's class when null).
TComponent* ReadComponentFromStream(TStream& stream, TComponent* root);

}  // namespace tavelo
