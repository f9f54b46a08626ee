// Where binary("file") values come from: beside the source, then the generated files.
#include "tools/formtext.h"

#include <gtest/gtest.h>

#include "core/tests/test_support.h"

namespace tavelo {
namespace {

std::string Payload(const std::string& compiled) {
  // "TPF0", the class and name, the property name, then vaBinary (10), a 32-bit length.
  std::size_t at = compiled.find('\x0A', compiled.find("Bitmap"));
  return compiled.substr(at + 5, static_cast<unsigned char>(compiled[at + 1]));
}

TEST(FormTextBinaryTest, RelativeFilesAreFoundBesideTheSourceThenInTheBinaryFolders) {
  testing::TScratchFolder scratch;
  std::filesystem::create_directories(scratch.Path() / "src");
  std::filesystem::create_directories(scratch.Path() / "gen1");
  std::filesystem::create_directories(scratch.Path() / "gen2");
  testing::WriteAll(scratch.File("gen1/a.bin"), "gen1");
  testing::WriteAll(scratch.File("gen2/a.bin"), "gen2");
  testing::WriteAll(scratch.File("gen2/b.bin"), "second");
  const std::string form = "L: TImageList {\n  Bitmap = binary(\"a.bin\")\n}\n";
  std::vector<std::string> dirs = {scratch.File("gen1"), scratch.File("gen2")};
  EXPECT_EQ(Payload(formtext::Compile(form, scratch.File("src"), dirs).bytes), "gen1");
  testing::WriteAll(scratch.File("src/a.bin"), "beside");
  EXPECT_EQ(Payload(formtext::Compile(form, scratch.File("src"), dirs).bytes), "beside");
  const std::string second = "L: TImageList {\n  Bitmap = binary(\"b.bin\")\n}\n";
  EXPECT_EQ(Payload(formtext::Compile(second, scratch.File("src"), dirs).bytes), "second");
  try {
    formtext::Compile("L: TImageList {\n  Bitmap = binary(\"c.bin\")\n}\n", scratch.File("src"), dirs);
    ADD_FAILURE() << "a missing file compiled";
  } catch (const formtext::TFormError& e) {
    EXPECT_EQ(e.where, 2);
    EXPECT_NE(e.message.find("src/c.bin"), std::string::npos) << e.message;
  }
}

}  // namespace
}  // namespace tavelo
