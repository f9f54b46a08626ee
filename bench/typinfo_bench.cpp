// Finding a published property by name on a class of about 60 properties, inherited ones
// included.
#include <benchmark/benchmark.h>

#include "core/component.h"
#include "core/typinfo.h"

namespace tavelo::bench {

// Fifty-eight integer properties over three generations, plus Name and Tag.
class TWide1 : public TComponent {
  TAVELO_CLASS(TWide1, TComponent)
public:
  using TComponent::TComponent;
  int Get() const { return value_; }
  void Set(int value) { value_ = value; }

private:
  int value_ = 0;
};
TAVELO_PUBLISH(TWide1) {
  for (int i = 0; i < 20; ++i) c.Property(Format("First%d", {i}).c_str(), &Self::Get, &Self::Set);
}

class TWide2 : public TWide1 {
  TAVELO_CLASS(TWide2, TWide1)
public:
  using TWide1::TWide1;
};
TAVELO_PUBLISH(TWide2) {
  for (int i = 0; i < 20; ++i) c.Property(Format("Second%d", {i}).c_str(), &Self::Get, &Self::Set);
}

class TWide3 : public TWide2 {
  TAVELO_CLASS(TWide3, TWide2)
public:
  using TWide2::TWide2;
};
TAVELO_PUBLISH(TWide3) {
  for (int i = 0; i < 18; ++i) c.Property(Format("Third%d", {i}).c_str(), &Self::Get, &Self::Set);
}

namespace {

void BM_FindProperty(benchmark::State& state) {
  TClass cls = TWide3::StaticClass();
  const char* names[] = {"Name", "tag", "FIRST7", "First19", "second3", "Third17", "Missing", "third0"};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cls->FindProperty(names[i++ & 7]));
  }
  state.counters["properties"] = cls->PropertyCount();
}
BENCHMARK(BM_FindProperty);

}  // namespace
}  // namespace tavelo::bench
BENCHMARK_MAIN();
