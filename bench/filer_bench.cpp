// Reading a window of 1,000 components with about ten properties each, and skipping values.
#include <benchmark/benchmark.h>

#include "streaming/reader.h"
#include "streaming/tests/sample_classes.h"
#include "streaming/writer.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {


const std::string& WideForm() {
  static const std::string bytes = [] {
    std::string text = "Form1: TSampleForm {\n";
    for (int i = 0; i < 1000; ++i) {
      text += "  C" + std::to_string(i) + ": TSampleControl {\n";
      text += "    Caption = \"Contr\xC3\xB4le " + std::to_string(i) + "\"\n";
      text += "    Align = alTop; Color = clWindow; Cursor = crIBeam; Left = " + std::to_string(i * 3) + "\n";
      text += "    Width = " + std::to_string(100 + i) + "; Visible = False; Hint = \"Aide|Longue aide\"\n";
      text += "    Tag = " + std::to_string(i) + "; Font.Name = \"Tahoma\"; Font.Height = -13\n";
      text += "  }\n";
    }
    return formtext::Compile(text + "}\n", ".").bytes;
  }();
  return bytes;
}

void BM_ReadThousandComponents(benchmark::State& state) {
  RegisterSamples();
  const std::string& bytes = WideForm();
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    auto* form = new TSampleForm(nullptr);
    ReadComponentFromStream(stream, form);
    benchmark::DoNotOptimize(form->ComponentCount());
    state.PauseTiming();
    delete form;
    LoadedLog().clear();
    state.ResumeTiming();
  }
  state.counters["components"] = 1000;
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ReadThousandComponents)->Unit(benchmark::kMillisecond);

void BM_SkipValues(benchmark::State& state) {
  // A list of strings, integers, floats, sets and small binaries.
  TMemoryStream stream;
  {
    TWriter writer(stream, 4096);
    writer.WriteListBegin();
    for (int i = 0; i < 20000; ++i) {
      writer.WriteString("une valeur de texte assez ordinaire");
      writer.WriteInteger(i * 1000);
      writer.WriteFloat(i / 3.0L);
      writer.WriteSet({"fsBold", "fsItalic"});
      std::string blob(16, static_cast<char>(i));
      writer.WriteBinary(blob.data(), 16);
    }
    writer.WriteListEnd();
    writer.FlushBuffer();
  }
  for (auto _ : state) {
    stream.SetPosition(0);
    TReader reader(stream, 4096);
    reader.SkipValue();
  }
  state.SetBytesProcessed(state.iterations() * stream.Size());
}
BENCHMARK(BM_SkipValues)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavelo::testing

BENCHMARK_MAIN();
