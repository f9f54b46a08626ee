// What the Windows-side tools share: reading a file whole, and handing a component one binary
// property through the reader, as a form description would.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "core/streams.h"
#include "core/exceptions.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo::tools {

inline std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError(Format("Impossible d'ouvrir le fichier %s", {String(path)}));
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Reads into component a stream that sets one binary property of it.
inline void ReadBinaryProperty(TComponent* component, const String& className, const String& property,
                               const std::string& payload) {
  TMemoryStream stream;
  {
    TWriter writer(stream, 4096);
    writer.WriteSignature();
    writer.WriteStr(className);
    writer.WriteStr("Shown");
    writer.WriteStr(property);
    writer.WriteBinary(payload.data(), static_cast<std::int32_t>(payload.size()));
    writer.WriteListEnd();
    writer.WriteListEnd();
  }
  stream.SetPosition(0);
  ReadComponentFromStream(stream, component);
}

}  // namespace tavelo::tools
