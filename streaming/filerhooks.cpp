#include "streaming/filerhooks.h"

#include <vector>

#include "core/filer.h"
#include "streaming/fixups.h"
#include "streaming/reader.h"
#include "streaming/writer.h"

namespace tavelo {

void InstallFilerHooks() {
  static const bool installed = [] {
    TFilerHooks& hooks = FilerHooks();
    hooks.ReadData = [](TReader& reader, TComponent* instance) { reader.ReadData(instance); };
    hooks.WriteData = [](TWriter& writer, TComponent* instance) { writer.WriteData(instance); };
    hooks.ReadInteger = [](TReader& reader) { return reader.ReadInteger(); };
    hooks.WriteInteger = [](TWriter& writer, int value) { writer.WriteInteger(value); };
    hooks.ReadStringList = [](TReader& reader) {
      std::vector<String> strings;
      reader.ReadListBegin();
      while (!reader.EndOfList()) strings.push_back(reader.ReadString());
      reader.ReadListEnd();
      return strings;
    };
    hooks.WriteStringList = [](TWriter& writer, const std::vector<String>& strings) {
      writer.WriteListBegin();
      for (const String& s : strings) writer.WriteString(s);
      writer.WriteListEnd();
    };
    hooks.ObjectDestroyed = [](TPersistent* object) {
      if (PendingGlobalFixupCount() > 0) RemoveFixupReferences(nullptr, object);
    };
    return true;
  }();
  (void)installed;
}

}  // namespace tavelo
