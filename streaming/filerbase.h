// The filer: what the reader and the writer share. A stream with a buffer over it, the root
// and lookup root of the components being read or written, the ancestor a descendant is
// compared with, and the defined properties that objects declare for both.
#pragma once

#include <functional>
#include <vector>

#include "core/component.h"
#include "core/streams.h"

namespace tavelo {

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
  static void CallDefineProperties(TPersistent* object, TFiler& filer) { object->DefineProperties(filer); }

  TStream& stream_;
  std::vector<char> buffer_;
  int bufPos_ = 0;
  int bufEnd_ = 0;
  TComponent* root_ = nullptr;
  TComponent* lookupRoot_ = nullptr;
  TPersistent* ancestor_ = nullptr;
  bool ignoreChildren_ = false;
};

}  // namespace tavelo
