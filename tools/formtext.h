// The text form of component streams: form sources compile to streams with the writer's
// value encoders, and any stream dumps back to text with the reader's value reads.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/streams.h"

namespace tavelo::formtext {

// A compile error at a line of the source (or a dump error at a byte of the stream).
struct TFormError {
  long long where;
  std::string message;  // UTF-8
};

struct TCompiled {
  std::string bytes;
  String rootClass;  // the class of the root component, for the resource name
};

// Compiles UTF-8 source text; a relative binary("file") is looked for in baseDir, then in
// each of binaryDirs (where the build writes generated images). Throws TFormError with the
// line.
TCompiled Compile(const std::string& source, const std::string& baseDir,
                  const std::vector<std::string>& binaryDirs = {});

// Dumps the stream as UTF-8 text. Throws TFormError with the byte offset where reading
// failed and the reader's message (SInvalidImage, SReadError).
std::string Dump(TStream& stream);

}  // namespace tavelo::formtext
