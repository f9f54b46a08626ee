// Arbitrary bytes read as a component stream, into a window of the sample classes and as a
// root of whatever registered class the stream names. Any failure must be one of the
// system's exceptions; a crash, a leak or a sanitizer report is a finding.
#include <cstddef>
#include <cstdint>

#include "core/exceptions.h"
#include "streaming/reader.h"
#include "streaming/tests/sample_classes.h"

using namespace tavelo;
using namespace tavelo::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TClass formClass = RegisterSamples();
  (void)formClass;
  if (size > (1u << 20)) return 0;
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int32_t>(size));

  stream.SetPosition(0);
  auto* form = new TSampleForm(nullptr);
  AddSampleWindow(form);
  try {
    ReadComponentFromStream(stream, form);
  } catch (const Exception&) {
  }
  RemoveSampleWindow(form);
  delete form;

  stream.SetPosition(0);
  try {
    delete ReadComponentFromStream(stream, nullptr);
  } catch (const Exception&) {
  }
  LoadedLog().clear();
  return 0;
}
