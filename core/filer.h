// The filer as the objects being streamed see it: the base of the component reader and
// writer, through which an object declares its unpublished streamed properties.
#pragma once

#include <functional>
#include <vector>

#include "core/object.h"
#include "core/streams.h"

namespace tavelo {

class TComponent;
class TPersistent;
class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;
using TStreamProc = std::function<void(TStream& stream)>;

class TFiler : public TObject {
  TAVELO_CLASS(TFiler, TObject)
public:
  TFiler(TStream& stream, int bufferSize);
  ~TFiler() override;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  TComponent* Root() const { return root_; }
  virtual void SetRoot(TComponent* value) { root_ = value; }
  TComponent* LookupRoot() const { return lookupRoot_; }
  TPersistent* Ancestor() const { return ancestor_; }
  bool IgnoreChildren() const { return ignoreChildren_; }
  void SetIgnoreChildren(bool value) { ignoreChildren_ = value; }

  // Called from an object's DefineProperties: the reader calls read when the property being
  // read has that name; the writer writes the property with write when hasData is true.
  virtual void DefineProperty(const String& name, const TReaderProc& read, const TWriterProc& write, bool hasData) = 0;
  virtual void DefineBinaryProperty(const String& name, const TStreamProc& read, const TStreamProc& write,
                                    bool hasData) = 0;
  virtual void FlushBuffer() = 0;

protected:
  // Lets the filers call an object's protected DefineProperties.
  static void CallDefineProperties(TPersistent* object, TFiler& filer);

  TStream& stream_;
  std::vector<char> buffer_;
  int bufPos_ = 0;
  int bufEnd_ = 0;
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
  TPersistent* ancestor_ = nullptr;
  bool ignoreChildren_ = false;
};

// What the object model asks of the component reader and writer, which sit a layer above
// it: the reader and writer fill these in when the first of them is made, and nothing can
// call them before, since each takes a reader or writer (or, for ObjectDestroyed, concerns
// references that only a reader leaves pending).
struct TFilerHooks {
  void (*ReadData)(TReader& reader, TComponent* instance) = nullptr;
  void (*WriteData)(TWriter& writer, TComponent* instance) = nullptr;
  int (*ReadInteger)(TReader& reader) = nullptr;
  void (*WriteInteger)(TWriter& writer, int value) = nullptr;
  // A list value of strings.
  std::vector<String> (*ReadStringList)(TReader& reader) = nullptr;
  void (*WriteStringList)(TWriter& writer, const std::vector<String>& strings) = nullptr;
  // An object is going away: pending references that would set its properties are dropped.
  void (*ObjectDestroyed)(TPersistent* object) = nullptr;
};
TFilerHooks& FilerHooks();

}  // namespace tavelo
