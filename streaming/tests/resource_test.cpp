#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "core/system.h"
#include "core/tests/test_support.h"
#include "streaming/resources.h"
#include "streaming/tests/sample_classes.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {


// The sample form's description: in the win32 tree the build embeds it in this very test
// program; the native tree has no resources, so the test registers the compiled bytes.
void ProvideDescription() {
#ifndef _WIN32
  static const std::string bytes = [] {
    std::ifstream in(std::string(TAVELO_SOURCE_DIR) + "/streaming/tests/forms/sampleform.form", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return formtext::Compile(text, ".").bytes;
  }();
  sys::RegisterResource("TSAMPLEFORM", sys::kRcData, bytes.data(), static_cast<std::int32_t>(bytes.size()));
#endif
}

TEST(ClassDescriptionTest, AWindowIsBuiltFromItsClassResource) {
  RegisterSamples();
  ProvideDescription();
  EXPECT_TRUE(FindClassDescription(TSampleForm::StaticClass()));
  EXPECT_FALSE(FindClassDescription(TSampleControl::StaticClass()));
  LoadedLog().clear();
  TSampleForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form, TSampleControl::StaticClass()));
  EXPECT_EQ(form.Name(), "Form1");
  ASSERT_NE(form.StatusBar1, nullptr);
  EXPECT_EQ(form.StatusBar1->Panels()->Count(), 2);
  EXPECT_EQ(form.ActiveControl(), form.Button1);
  // Loaded once each, after the whole chain was read.
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Form1", "Button1", "Panel1", "Memo1", "StatusBar1"}));
  TSampleControl plain(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&plain, TComponent::StaticClass()));
}

}  // namespace
}  // namespace tavelo::testing
