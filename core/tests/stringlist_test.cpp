#include "core/stringlist.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/streams.h"
#include "core/system.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {


std::vector<String> Lines(const TStrings& list) {
  std::vector<String> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

// Records the list's changing and change events in order.
struct TEventLog : TObject {
  std::vector<std::string> calls;
  void Changing(TObject*) { calls.push_back("changing"); }
  void Change(TObject*) { calls.push_back("change"); }
  void Attach(TStringList& list) {
    list.SetOnChanging(TNotifyEvent::Bind<&TEventLog::Changing>(this));
    list.SetOnChange(TNotifyEvent::Bind<&TEventLog::Change>(this));
  }
};

TEST(StringListTextTest, SettingTheTextCutsLinesAtEachBreak) {
  TStringList list;
  struct Case { String text; std::vector<String> lines; };
  for (const Case& c : std::vector<Case>{
           {"a\r\nb", {"a", "b"}},
           {"a\nb\n", {"a", "b"}},
           {"a\rb", {"a", "b"}},
           {"a\n\rb", {"a", "", "b"}},
           {"\r\n", {""}},
           {"", {}},
           {String("a\r\nb\0c\r\nd", 9), {"a", "b"}},
           {String("\0x", 2), {}},
           {"\r\r\n\n", {"", "", ""}}}) {
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << "text of " << c.text.size() << " bytes";
  }
}

TEST(StringListTextTest, GettingTheTextEndsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("");
  EXPECT_EQ(list.Text(), "\r\n");
  list.Clear();
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
  EXPECT_STREQ(list.GetText().get(), "a\r\nb\r\n");
  list.SetTextBuffer("x\ny");
  EXPECT_EQ(Lines(list), (std::vector<String>{"x", "y"}));
}

TEST(StringListEventTest, OneChangingAndOneChangeForEachBracketedOperation) {
  TStringList list;
  TEventLog log;
  log.Attach(list);
  list.Clear();  // empty: nothing
  EXPECT_TRUE(log.calls.empty());
  list.SetText("a\nb\nc");
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing", "change"}));
  log.calls.clear();
  list.Clear();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing", "change"}));
  log.calls.clear();
  list.SetText("");  // nothing changes, the bracket still fires once
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing", "change"}));
  log.calls.clear();
  list.BeginUpdate();
  list.Add("x");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing"}));
  list.EndUpdate();
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing", "change"}));
  log.calls.clear();
  list.Add("y");
  list.SetObjects(0, &list);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"changing", "change", "changing", "change"}));
}

TEST(StringListEventTest, ABracketIsReleasedWhenTheWorkFails) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  TStringList source;
  source.Add("a");
  source.Add("A");
  EXPECT_THROW(list.AddStrings(source), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(Lines(list), (std::vector<String>{"a"}));
}

TEST(StringListSortedTest, KeepsOrderAndAppliesTheDuplicatesMode) {
  TStringList list;
  list.SetSorted(true);
  list.Add("b");
  list.Add("a");
  list.Add("c");
  EXPECT_EQ(Lines(list), (std::vector<String>{"a", "b", "c"}));
  EXPECT_EQ(list.Add("A"), 0);  // ignore: the index of the entry already there
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicates(dupError);
  EXPECT_RAISES(list.Add("B"), EStringListError, "La liste de chaînes n'autorise pas les doublons");
  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add("B"), 1);  // before the equal ones
  EXPECT_EQ(list.IndexOf("c"), 3);
  EXPECT_EQ(list.IndexOf("zz"), -1);
  EXPECT_RAISES(list.Insert(0, "x"), EStringListError, "Opération non autorisée dans une liste ordonnée");
  EXPECT_RAISES(list.SetStrings(0, "x"), EStringListError, "Opération non autorisée dans une liste ordonnée");
  list.Exchange(0, 3);  // allowed on a sorted list
  EXPECT_EQ(list.Strings(0), "c");
}

TEST(StringListSortedTest, SortingSortsOnceAndCaseSensitivityResorts) {
  TStringList list;
  for (const char* s : {"delta", "Alpha", "charlie", "bravo", "alpha"}) list.Add(s);
  list.SetSorted(true);
  EXPECT_EQ(list.Strings(0).substr(1), "lpha");
  EXPECT_EQ(list.Strings(2), "bravo");
  EXPECT_EQ(list.Strings(4), "delta");
  int index = -1;
  EXPECT_TRUE(list.Find("CHARLIE", index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list.Find("b", index));
  EXPECT_EQ(index, 2);
  list.SetCaseSensitive(true);
  EXPECT_FALSE(list.Find("CHARLIE", index));
  EXPECT_TRUE(list.Find("charlie", index));
  EXPECT_EQ(list.Strings(index), "charlie");
}

TEST(StringListIndexTest, IndexErrorsNameTheIndex) {
  TStringList list;
  list.Add("a");
  list.Insert(1, "b");  // at count: appends
  EXPECT_RAISES(list.Insert(3, "c"), EStringListError, "Indice de liste hors limites (3)");
  EXPECT_RAISES(list.Strings(2), EStringListError, "Indice de liste hors limites (2)");
  EXPECT_RAISES(list.Objects(-1), EStringListError, "Indice de liste hors limites (-1)");
  EXPECT_RAISES(list.Delete(5), EStringListError, "Indice de liste hors limites (5)");
  EXPECT_RAISES(list.Exchange(0, 9), EStringListError, "Indice de liste hors limites (9)");
  EXPECT_RAISES(list.SetObjects(2, nullptr), EStringListError, "Indice de liste hors limites (2)");
}

TEST(StringListIndexTest, CapacityGrowsByTheRuleAndDeletesDoNotShrinkIt) {
  TStringList list;
  std::vector<int> capacities{list.Capacity()};
  for (int i = 0; i < 77; ++i) {
    list.Add("x");
    if (list.Capacity() != capacities.back()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
  list.Delete(0);
  EXPECT_EQ(list.Capacity(), 95);
  list.SetCapacity(10);  // never below the count
  EXPECT_EQ(list.Capacity(), 76);
  EXPECT_EQ(list.Strings(75), "x");
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(StringListNamesTest, NamesAndValues) {
  TStringList list;
  list.SetText("a=1\nB=2\nc\n=4\nd==5");
  EXPECT_EQ(list.IndexOfName("b"), 1);
  EXPECT_EQ(list.Values("b"), "2");
  EXPECT_EQ(list.Values("c"), "");
  EXPECT_EQ(list.IndexOfName("c"), -1);
  EXPECT_EQ(list.IndexOfName(""), 3);
  EXPECT_EQ(list.Values(""), "4");
  EXPECT_EQ(list.Values("d"), "=5");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Names(0), "a");
}

TEST(StringListEditTest, MoveExchangeObjectsAndEquality) {
  TStringList list, other;
  TObject a, b;
  list.AddObject("a", &a);
  list.AddObject("b", &b);
  list.Add("c");
  list.Move(0, 2);
  EXPECT_EQ(Lines(list), (std::vector<String>{"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 0);
  list.SetStrings(0, "B");
  EXPECT_EQ(list.Objects(0), &b);  // a put keeps the object
  other.Assign(&list);
  EXPECT_TRUE(other.Equals(list));
  EXPECT_EQ(other.Objects(2), &a);
  other.SetStrings(0, "b");
  EXPECT_FALSE(other.Equals(list));  // equality is case-sensitive
  EXPECT_EQ(list.IndexOf("b"), 0);   // lookups are not
}

TEST(StringListEditTest, AssigningFromNullOrAStrangerFails) {
  TStringList list;
  EXPECT_RAISES(list.Assign(nullptr), EConvertError, "Impossible d'affecter nil à TStringList");
  TPersistent stranger;
  EXPECT_RAISES(list.Assign(&stranger), EConvertError, "Impossible d'affecter TPersistent à TStringList");
}

TEST(StringListFileTest, LoadingAddsAFinalBreakOnSave) {
  TScratchFolder folder;
  String path = folder.File("doc.js");
  WriteAll(path, "x\r\ny");
  TStringList list;
  list.LoadFromFile(path);
  list.SaveToFile(path);
  EXPECT_EQ(ReadAll(path), "x\r\ny\r\n");
}

TEST(StringListFileTest, BytesAreCharactersAndANulEndsTheText) {
  TScratchFolder folder;
  String path = folder.File("bin.dat");
  String bytes("\xEF\xBB\xBFun\xE9\rdeux\x01\n", 13);
  WriteAll(path, bytes + String("\0trois\r\n", 8));
  TStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(Lines(list), (std::vector<String>{"\xEF\xBB\xBFun\xE9", "deux\x01"}));
}

TEST(StringListFileTest, AMissingFileLeavesTheListUnchanged) {
  TScratchFolder folder;
  TStringList list;
  list.Add("garde");
  TEventLog log;
  log.Attach(list);
  String path = folder.File("absent.js");
  EXPECT_RAISES(list.LoadFromFile(path), EFOpenError, "Impossible d'ouvrir le fichier " + path);
  EXPECT_EQ(Lines(list), (std::vector<String>{"garde"}));
  EXPECT_TRUE(log.calls.empty());
  EXPECT_RAISES(list.LoadFromFile(folder.Path().string()), EFOpenError,
                "Impossible d'ouvrir le fichier " + folder.Path().string());
}

TEST(StringListFileTest, LoadingFromTheMiddleOfAStreamTakesTheRest) {
  TMemoryStream stream;
  stream.WriteBuffer("skip\nkeep\n", 10);
  stream.SetPosition(5);
  TStringList list;
  list.LoadFromStream(stream);
  EXPECT_EQ(Lines(list), (std::vector<String>{"keep"}));
  stream.SetPosition(100);  // past the end: nothing to take
  list.LoadFromStream(stream);
  EXPECT_EQ(list.Count(), 0);
}

// A disk that takes only the first bytes of each write.
std::int32_t FullDisk(sys::THandle, const void*, std::int32_t count) { return count > 3 ? 3 : count; }

class TFullDisk {
public:
  TFullDisk() : previous_(sys::SetFileWriteForTesting(FullDisk)) {}
  ~TFullDisk() { sys::SetFileWriteForTesting(previous_); }

private:
  sys::TFileWriteFn previous_;
};

TEST(StringListSaveTest, AFailedWriteLeavesTheOldFileIntact) {
  TScratchFolder folder;
  String path = folder.File("doc.js");
  WriteAll(path, "ancien contenu\r\n");
  TStringList list;
  list.SetText("nouveau contenu qui ne tient pas");
  {
    TFullDisk full;
    EXPECT_RAISES(list.SaveToFile(path), EWriteError, "Erreur d'écriture dans le flux");
  }
  EXPECT_EQ(ReadAll(path), "ancien contenu\r\n");
  // Nothing but the document is left in the folder.
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(folder.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST(StringListSaveTest, AFolderThatRefusesTheFileRaisesCreateError) {
  TScratchFolder folder;
  String path = folder.File("missing-folder") + "/doc.js";
  TStringList list;
  list.Add("a");
  EXPECT_RAISES(list.SaveToFile(path), EFCreateError, "Impossible de créer le fichier " + path);
  // A target that cannot be replaced (a folder of that name) keeps its place too.
  String blocked = folder.File("blocked");
  std::filesystem::create_directory(blocked);
  std::filesystem::create_directory(blocked + "/inside");
  EXPECT_RAISES(list.SaveToFile(blocked), EFCreateError, "Impossible de créer le fichier " + blocked);
  EXPECT_TRUE(std::filesystem::is_directory(blocked + "/inside"));
}

TEST(StringListSaveTest, SavingReplacesTheWholeFile) {
  TScratchFolder folder;
  String path = folder.File("doc.js");
  WriteAll(path, String(5000, 'z'));
  TStringList list;
  list.Add("court");
  list.SaveToFile(path);
  EXPECT_EQ(ReadAll(path), "court\r\n");
}

}  // namespace
}  // namespace tavelo::testing
