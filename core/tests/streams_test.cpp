#include "core/streams.h"

#include <cstring>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "core/system.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {


// A stream that overrides neither seek.
class TNoSeekStream : public TStream {
public:
  std::int32_t Read(void*, std::int32_t) override { return 0; }
  std::int32_t Write(const void*, std::int32_t count) override { return count; }
};

// A stream that implements only the 64-bit seek.
class TSeek64Stream : public TStream {
public:
  std::int64_t where = 0;
  std::int32_t Read(void*, std::int32_t) override { return 0; }
  std::int32_t Write(const void*, std::int32_t count) override { return count; }
  std::int64_t Seek64(std::int64_t offset, TSeekOrigin origin) override {
    where = origin == soBeginning ? offset : origin == soCurrent ? where + offset : 1000 + offset;
    return where;
  }
};

TEST(StreamSeekTest, TheBaseSeeksBridgeToTheOverriddenOne) {
  TNoSeekStream none;
  EXPECT_RAISES(none.Seek(0, soCurrent), EStreamError, "TStream.Positionnement non implémenté");
  EXPECT_RAISES(none.Position(), EStreamError, "TStream.Positionnement non implémenté");
  EXPECT_RAISES(none.Seek(0, soBeginning), EStreamError, "TStream.Positionnement non implémenté");  // still refuses

  TSeek64Stream wide;
  EXPECT_EQ(wide.Seek(-10, soEnd), 990);
  EXPECT_EQ(wide.Size(), 1000);
  EXPECT_EQ(wide.Position(), 990);

  TMemoryStream memory;
  EXPECT_RAISES(memory.Seek64(0x80000000LL, soBeginning), ERangeError, "Erreur de vérification d'étendue");
  EXPECT_RAISES(memory.SetSize64(-0x80000001LL), ERangeError, "Erreur de vérification d'étendue");
}

TEST(MemoryStreamTest, GrowsInStepsOf8192Bytes) {
  TMemoryStream stream;
  stream.WriteBuffer("x", 1);
  EXPECT_EQ(stream.Size(), 1);
  EXPECT_EQ(stream.Capacity(), 8192);
  stream.SetSize(10000);
  EXPECT_EQ(stream.Capacity(), 16384);
  stream.SetSize(10000);  // the size itself is not rounded
  EXPECT_EQ(stream.Capacity(), 10000);
  stream.Clear();
  EXPECT_EQ(stream.Capacity(), 0);
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
}

TEST(MemoryStreamTest, PositionsPastTheEndReadNothingAndWritesExtend) {
  TMemoryStream stream;
  stream.WriteBuffer("0123456789", 10);
  stream.SetPosition(100);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, 4), 0);
  stream.WriteBuffer("!", 1);
  EXPECT_EQ(stream.Size(), 101);
  stream.SetPosition(98);
  EXPECT_EQ(stream.Read(buffer, 10), 3);
  EXPECT_EQ(buffer[2], '!');
  EXPECT_EQ(stream.Read(buffer, -1), 0);
  stream.SetPosition(-5);
  EXPECT_EQ(stream.Write("a", 1), 0);
  EXPECT_RAISES(stream.ReadBuffer(buffer, 1), EReadError, "Erreur de lecture du flux");
  stream.SetSize(4);  // the position follows a shrink to the end
  stream.SetPosition(50);
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 4);
}

TEST(MemoryStreamTest, CopyFromWithNoCountTakesTheWholeSource) {
  TMemoryStream source, target;
  std::string bytes(150000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  source.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  source.SetPosition(42);
  EXPECT_EQ(target.CopyFrom(source, 0), 150000);
  ASSERT_EQ(target.Size(), 150000);
  EXPECT_EQ(std::memcmp(target.Memory(), bytes.data(), bytes.size()), 0);
  source.SetPosition(149990);
  EXPECT_RAISES(target.CopyFrom(source, 20), EReadError, "Erreur de lecture du flux");
}

TEST(MemoryStreamTest, LoadsFromAStreamFromItsBeginning) {
  TMemoryStream source, copy;
  source.WriteBuffer("abcdef", 6);
  copy.WriteBuffer("zzzzzzzzzzzz", 12);
  copy.LoadFromStream(source);
  EXPECT_EQ(copy.Size(), 6);
  EXPECT_EQ(std::string(static_cast<char*>(copy.Memory()), 6), "abcdef");
}

TEST(FileStreamTest, ModesChooseCreateOrOpen) {
  TScratchFolder folder;
  String path = folder.File("f.bin");
  {
    TFileStream created(path, fmCreate);
    created.WriteBuffer("hello world", 11);
    created.SetSize(5);
    EXPECT_EQ(created.Size(), 5);
  }
  EXPECT_EQ(ReadAll(path), "hello");
  {
    TFileStream opened(path, fmOpenReadWrite | fmShareDenyNone);
    opened.Seek(0, soEnd);
    opened.WriteBuffer("!", 1);
    EXPECT_EQ(opened.Position(), 6);
  }
  EXPECT_EQ(ReadAll(path), "hello!");
  {
    TFileStream reader(path, fmOpenRead | fmShareDenyWrite);
    char buffer[8];
    EXPECT_EQ(reader.Read(buffer, 8), 6);
    EXPECT_EQ(reader.Write("x", 1), 0);  // no write access: nothing moves
  }
  EXPECT_RAISES(TFileStream(path, 0x23), EFOpenError, "Impossible d'ouvrir le fichier " + path);
  EXPECT_RAISES(TFileStream(path, 0x50), EFOpenError, "Impossible d'ouvrir le fichier " + path);
  String absent = folder.File("absent.bin");
  EXPECT_RAISES(TFileStream(absent, fmOpenRead), EFOpenError, "Impossible d'ouvrir le fichier " + absent);
  String nowhere = folder.File("no/such/folder.bin");
  EXPECT_RAISES(TFileStream(nowhere, fmCreate), EFCreateError, "Impossible de créer le fichier " + nowhere);
}

TEST(FileStreamTest, MemoryStreamsSaveWithoutLoss) {
  TScratchFolder folder;
  String path = folder.File("m.bin");
  WriteAll(path, "old");
  TMemoryStream stream;
  stream.WriteBuffer("new bytes", 9);
  stream.SaveToFile(path);
  EXPECT_EQ(ReadAll(path), "new bytes");
  TMemoryStream back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.Size(), 9);
}

#ifndef _WIN32
// Permissions, owners and symbolic links as the POSIX side has them.
class SafeSaveTest : public ::testing::Test {
protected:
  static void Save(const String& path, const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SaveToFile(path);
  }
  static int FilesIn(const std::filesystem::path& folder) {
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder))
      files += !std::filesystem::is_directory(entry.symlink_status());
    return files;
  }
};

TEST_F(SafeSaveTest, TheReplacedFileKeepsItsPermissionsAndOwner) {
  TScratchFolder folder;
  String path = folder.File("secret.js");
  WriteAll(path, "old");
  ::chmod(path.c_str(), 0600);
  bool privileged = ::geteuid() == 0;
  if (privileged) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  Save(path, "new");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  if (privileged) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
  ::chmod(path.c_str(), 0751);
  Save(path, "newer");
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
  EXPECT_EQ(ReadAll(path), "newer");
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

TEST_F(SafeSaveTest, SavingThroughALinkWritesTheFileItNames) {
  TScratchFolder folder;
  std::filesystem::create_directory(folder.Path() / "real");
  String real = folder.File("real/doc.js");
  WriteAll(real, "old");
  ::chmod(real.c_str(), 0640);
  String link = folder.File("link.js"), chain = folder.File("chain.js");
  std::filesystem::create_symlink("real/doc.js", link);
  std::filesystem::create_symlink(folder.File("link.js"), chain);  // a link to a link
  Save(chain, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_symlink(chain));
  EXPECT_EQ(std::filesystem::read_symlink(link), "real/doc.js");
  EXPECT_EQ(ReadAll(real), "new");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesIn(folder.Path()), 2);  // the two links, no temporary file
  EXPECT_EQ(FilesIn(folder.Path() / "real"), 1);

  // A link to a file not there yet makes it; a loop of links is refused and left alone.
  String ahead = folder.File("ahead.js");
  std::filesystem::create_symlink("real/new.js", ahead);
  Save(ahead, "made");
  EXPECT_TRUE(std::filesystem::is_symlink(ahead));
  EXPECT_EQ(ReadAll(folder.File("real/new.js")), "made");
  String loop = folder.File("loop.js");
  std::filesystem::create_symlink("loop.js", loop);
  EXPECT_RAISES(Save(loop, "x"), EFCreateError, "Impossible de créer le fichier " + loop);
  EXPECT_TRUE(std::filesystem::is_symlink(loop));
  EXPECT_EQ(FilesIn(folder.Path()), 4);
}
#endif

TEST(ResourceStreamTest, FindsRcDataByNameWithoutCaseAndRefusesWrites) {
  static const char kBytes[] = "TPF0 bytes";
  sys::RegisterResource("TFORMTEST", sys::kRcData, kBytes, 10);
  TResourceStream stream(0, "TFormTest", sys::kRcData);
  EXPECT_EQ(stream.Size(), 10);
  char buffer[4];
  stream.ReadBuffer(buffer, 4);
  EXPECT_EQ(std::string(buffer, 4), "TPF0");
  EXPECT_RAISES(stream.Write("x", 1), EStreamError, "Impossible d'écrire dans un flux en lecture seule");
  EXPECT_RAISES(TResourceStream(0, "TNOWHERE", sys::kRcData), EResNotFound, "Ressource TNOWHERE non trouvée");
  EXPECT_RAISES(TResourceStream(0, "TFORMTEST", 3), EResNotFound, "Ressource TFORMTEST non trouvée");
}

}  // namespace
}  // namespace tavelo::testing
