// The program's form sources, compiled as the build compiles them
// and read back through the dump: the component tree, every property in stream order, and
// the resource sizes the program is built with.
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "core/streams.h"
#include "core/tests/test_support.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

using TProperties = std::vector<std::pair<String, String>>;

// One component (or collection item) of a dump; values as dumped, in the program's code page,
// a binary value as binary(N) with N its length, a collection as <N> with N its item count
// and its items in collections under the property's name.
struct TNode {
  String name, className;
  TProperties properties;
  std::vector<TNode> children;
  std::vector<std::pair<String, std::vector<TNode>>> collections;

  const std::vector<TNode>& Items(const String& property) const {
    for (const auto& c : collections)
      if (c.first == property) return c.second;
    ADD_FAILURE() << "no collection " << property << " in " << name;
    static const std::vector<TNode> none;
    return none;
  }

  const TNode& Child(const String& childName) const {
    for (const TNode& child : children)
      if (child.name == childName) return child;
    ADD_FAILURE() << "no child " << childName << " in " << name;
    static const TNode none;
    return none;
  }
  String Value(const String& property) const {
    for (const auto& p : properties)
      if (p.first == property) return p.second;
    return "<absent>";
  }
};

class TDumpParser {
public:
  explicit TDumpParser(const std::string& dump) {
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) lines_.push_back(Utf8ToAnsi(line));
  }

  TNode Root() {
    TNode root = Component();
    EXPECT_EQ(at_, lines_.size()) << "text after the root";
    return root;
  }

private:
  TNode Component() {
    static const std::regex header(R"(^ *(\w*): (\w+) \{$)");
    static const std::regex property(R"(^ *([A-Za-z_.]+) = (.*)$)");
    TNode node;
    std::smatch m;
    if (at_ >= lines_.size() || !std::regex_match(lines_[at_], m, header)) {
      ADD_FAILURE() << "component expected at line " << at_ + 1;
      at_ = lines_.size();
      return node;
    }
    node.name = m[1];
    node.className = m[2];
    ++at_;
    while (at_ < lines_.size()) {
      const std::string& line = lines_[at_];
      if (line.find_first_not_of(' ') != std::string::npos && line.substr(line.find_first_not_of(' ')) == "}") {
        ++at_;
        return node;
      }
      if (std::regex_match(line, m, header)) {
        node.children.push_back(Component());
      } else if (std::regex_match(line, m, property)) {
        Property(node, m[1], m[2]);
      } else {
        ADD_FAILURE() << "unexpected line " << at_ + 1 << ": " << line;
        ++at_;
      }
    }
    ADD_FAILURE() << "unterminated component " << node.name;
    return node;
  }

  static std::string Trimmed(const std::string& line) {
    std::size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
  }

  void Property(TNode& node, const String& name, String value) {
    ++at_;
    if (value == "binary{") value = "binary(" + std::to_string(BinaryLength()) + ")";
    if (value == "<") {
      std::vector<TNode> items = Collection();
      value = "<" + std::to_string(items.size()) + ">";
      node.collections.emplace_back(name, std::move(items));
    }
    node.properties.emplace_back(name, value);
  }

  // Items up to the closing angle bracket, each between braces.
  std::vector<TNode> Collection() {
    static const std::regex property(R"(^ *([A-Za-z_.]+) = (.*)$)");
    std::vector<TNode> items;
    std::smatch m;
    while (at_ < lines_.size()) {
      std::string line = Trimmed(lines_[at_++]);
      if (line == ">") return items;
      if (line != "{") {
        ADD_FAILURE() << "item expected at line " << at_ << ": " << line;
        continue;
      }
      TNode item;
      while (at_ < lines_.size() && Trimmed(lines_[at_]) != "}") {
        if (std::regex_match(lines_[at_], m, property)) {
          Property(item, m[1], m[2]);
        } else {
          ADD_FAILURE() << "unexpected line " << at_ + 1 << ": " << lines_[at_];
          ++at_;
        }
      }
      ++at_;
      items.push_back(std::move(item));
    }
    ADD_FAILURE() << "unterminated collection";
    return items;
  }

  // Hexadecimal pairs up to the closing brace.
  std::size_t BinaryLength() {
    std::size_t bytes = 0;
    for (; at_ < lines_.size(); ++at_) {
      std::istringstream words(lines_[at_]);
      std::string word;
      while (words >> word) {
        if (word == "}") {
          ++at_;
          return bytes;
        }
        ++bytes;
      }
    }
    return bytes;
  }

  std::vector<std::string> lines_;
  std::size_t at_ = 0;
};

formtext::TCompiled CompileForm(const std::string& file) {
  std::string source = ReadAll(std::string(TAVELO_APP_DIR) + "/" + file);
  EXPECT_FALSE(source.empty()) << file;
  return formtext::Compile(source, TAVELO_APP_DIR, {TAVELO_ASSET_DIR});
}

std::string DumpOf(const std::string& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.SetPosition(0);
  return formtext::Dump(stream);
}

TNode TreeOf(const std::string& bytes) { return TDumpParser(DumpOf(bytes)).Root(); }

// The payload of the first binary value after the property name.
std::string Payload(const std::string& bytes, const std::string& property) {
  std::size_t at = bytes.find(property);
  if (at == std::string::npos || bytes[at + property.size()] != '\x0A') return std::string();
  at += property.size() + 1;
  std::uint32_t length = 0;
  for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(bytes[at + i]);
  return bytes.substr(at + 4, length);
}

// A literal's bytes, zeros included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

const TProperties kFormFont = {{"Font.Charset", "DEFAULT_CHARSET"},
                               {"Font.Color", "clWindowText"},
                               {"Font.Height", "-11"},
                               {"Font.Name", "\"MS Sans Serif\""},
                               {"Font.Style", "[]"}};

TProperties Concat(std::initializer_list<TProperties> parts) {
  TProperties all;
  for (const TProperties& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(AppFormsTest, EachSourceCompilesToItsResourceSizeAndDumpsBackToTheSameBytes) {
  const struct {
    const char* file;
    const char* rootClass;
    std::size_t size;
  } kForms[] = {{"Splash.form", "TForm2", 12642}, {"About.form", "TAboutBox", 12988}, {"Unit1.form", "TForm1", 20243}};
  for (const auto& form : kForms) {
    formtext::TCompiled compiled = CompileForm(form.file);
    EXPECT_EQ(compiled.rootClass, String(form.rootClass)) << form.file;
    EXPECT_EQ(compiled.bytes.size(), form.size) << form.file;
    EXPECT_EQ(formtext::Compile(DumpOf(compiled.bytes), ".").bytes, compiled.bytes) << form.file;
  }
}

TEST(AppFormsTest, TheSplashStreamBeginsAndPassesToItsFirstChildWithTheWritersEncodings) {
  std::string bytes = CompileForm("Splash.form").bytes;
  const std::string head = Bytes("TPF0\x06TForm2\x05" "Form2\x04Left\x03\xAD\x01\x03Top\x03\x25\x01") +
                           Bytes("\x05Width\x03\x1A\x01\x06Height\x03\xC1\x00") +
                           Bytes("\x0B" "BorderStyle\x07\x0D" "bsSizeToolWin\x0B" "BorderWidth\x02\x08");
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_NE(bytes.find(Bytes("\x0ATextHeight\x02\x0D\x00\x06TPanel\x06Panel1")), std::string::npos);
  EXPECT_NE(bytes.find(Bytes("\x0CPicture.Data\x0A\xB2\x2D\x00\x00\x07TBitmap")), std::string::npos);
  EXPECT_NE(bytes.find(Bytes("\x0A" "Font.Style\x0B\x00")), std::string::npos);
}

TEST(AppFormsTest, TheSplashWindowReadsAsDesigned) {
  TNode root = TreeOf(CompileForm("Splash.form").bytes);
  EXPECT_EQ(root.name, "Form2");
  EXPECT_EQ(root.className, "TForm2");
  EXPECT_EQ(root.properties,
            Concat({{{"Left", "429"}, {"Top", "293"}, {"Width", "282"}, {"Height", "193"},
                     {"BorderStyle", "bsSizeToolWin"}, {"BorderWidth", "8"}, {"Caption", "\"Information\""},
                     {"Color", "clSilver"}},
                    kFormFont,
                    {{"FormStyle", "fsStayOnTop"}, {"OldCreateOrder", "False"}, {"PixelsPerInch", "96"},
                     {"TextHeight", "13"}}}));

  ASSERT_EQ(root.children.size(), 2u);
  const TNode& panel = root.children[0];
  EXPECT_EQ(panel.name, "Panel1");
  EXPECT_EQ(panel.className, "TPanel");
  EXPECT_EQ(panel.properties, (TProperties{{"Left", "0"}, {"Top", "0"}, {"Width", "258"}, {"Height", "150"},
                                           {"Align", "alClient"}, {"BevelInner", "bvLowered"},
                                           {"BevelOuter", "bvNone"}, {"Color", "clYellow"}, {"TabOrder", "0"}}));

  // The picture, then the two labels drawn over it, all on the panel.
  ASSERT_EQ(panel.children.size(), 3u);
  EXPECT_EQ(panel.children[0].name, "Image1");
  EXPECT_EQ(panel.children[0].className, "TImage");
  EXPECT_EQ(panel.children[0].properties,
            (TProperties{{"Left", "72"}, {"Top", "0"}, {"Width", "105"}, {"Height", "105"},
                         {"Picture.Data", "binary(11698)"}, {"Transparent", "True"}}));
  EXPECT_EQ(panel.children[1].name, "Label1");
  EXPECT_EQ(panel.children[1].className, "TLabel");
  EXPECT_EQ(panel.children[1].properties,
            (TProperties{{"Left", "64"}, {"Top", "72"}, {"Width", "124"}, {"Height", "45"}, {"Caption", "\"Tavelo\""},
                         {"Font.Charset", "ANSI_CHARSET"}, {"Font.Color", "clWindowText"}, {"Font.Height", "-35"},
                         {"Font.Name", "\"Swiss921 BT\""}, {"Font.Style", "[fsBold]"}, {"ParentFont", "False"}}));
  EXPECT_EQ(panel.children[2].name, "Label2");
  EXPECT_EQ(panel.children[2].className, "TLabel");
  EXPECT_EQ(panel.children[2].properties,
            Concat({{{"Left", "64"}, {"Top", "120"}, {"Width", "133"}, {"Height", "13"},
                     {"Caption", "\"© 2004 Lucien Varembon\""}},
                    {{"Font.Charset", "DEFAULT_CHARSET"}, {"Font.Color", "clBlue"}, {"Font.Height", "-11"},
                     {"Font.Name", "\"MS Sans Serif\""}, {"Font.Style", "[]"}, {"ParentFont", "False"}}}));

  // Interval and Enabled are not written: the timer keeps its defaults.
  const TNode& timer = root.children[1];
  EXPECT_EQ(timer.name, "Timer1");
  EXPECT_EQ(timer.className, "TTimer");
  EXPECT_EQ(timer.properties, (TProperties{{"OnTimer", "Timer1Timer"}, {"Left", "88"}, {"Top", "40"}}));
  EXPECT_TRUE(timer.children.empty());
}

TEST(AppFormsTest, TheAboutBoxReadsAsDesigned) {
  TNode root = TreeOf(CompileForm("About.form").bytes);
  EXPECT_EQ(root.name, "AboutBox");
  EXPECT_EQ(root.className, "TAboutBox");
  EXPECT_EQ(root.properties,
            Concat({{{"Left", "425"}, {"Top", "181"}, {"BorderStyle", "bsDialog"}, {"Caption", "\"A propos\""},
                     {"ClientHeight", "300"}, {"ClientWidth", "298"}, {"Color", "clWhite"}},
                    kFormFont,
                    {{"OldCreateOrder", "True"}, {"Position", "poScreenCenter"}, {"PixelsPerInch", "96"},
                     {"TextHeight", "13"}}}));

  // Every child on the form itself, none nested.
  const char* const kChildren[][2] = {{"ProgramIcon", "TImage"}, {"Label1", "TLabel"}, {"Label2", "TLabel"},
                                      {"Label3", "TLabel"},      {"Label4", "TLabel"}, {"Label5", "TLabel"},
                                      {"Label6", "TLabel"},      {"OKButton", "TButton"}};
  ASSERT_EQ(root.children.size(), std::size(kChildren));
  for (std::size_t i = 0; i < std::size(kChildren); ++i) {
    EXPECT_EQ(root.children[i].name, kChildren[i][0]);
    EXPECT_EQ(root.children[i].className, kChildren[i][1]);
    EXPECT_TRUE(root.children[i].children.empty()) << kChildren[i][0];
  }

  EXPECT_EQ(root.Child("ProgramIcon").properties,
            (TProperties{{"Left", "16"}, {"Top", "8"}, {"Width", "102"}, {"Height", "102"}, {"AutoSize", "True"},
                         {"Picture.Data", "binary(11698)"}, {"Stretch", "True"}, {"Transparent", "True"},
                         {"IsControl", "True"}}));
  EXPECT_EQ(root.Child("Label1").properties,
            (TProperties{{"Left", "136"}, {"Top", "24"}, {"Width", "131"}, {"Height", "48"}, {"Caption", "\"Tavelo\""},
                         {"Font.Charset", "ANSI_CHARSET"}, {"Font.Color", "clWindowText"}, {"Font.Height", "-37"},
                         {"Font.Name", "\"Swiss921 BT\""}, {"Font.Style", "[fsBold]"}, {"ParentFont", "False"}}));
  EXPECT_EQ(root.Child("Label2").properties, (TProperties{{"Left", "136"}, {"Top", "72"}, {"Width", "43"},
                                                          {"Height", "13"}, {"Caption", "\"version:1\""}}));
  EXPECT_EQ(root.Child("Label3").properties,
            (TProperties{{"Left", "64"}, {"Top", "120"}, {"Width", "180"}, {"Height", "13"},
                         {"Caption", "\"Copyright © 2004 Lucien Varembon\""}}));
  TProperties note = root.Child("Label4").properties;
  ASSERT_EQ(note.size(), 6u);
  EXPECT_EQ(TProperties(note.begin(), note.end() - 1),
            (TProperties{{"Left", "40"}, {"Top", "144"}, {"Width", "229"}, {"Height", "52"}, {"WordWrap", "True"}}));
  EXPECT_EQ(note.back().first, "Caption");
  EXPECT_EQ(root.Child("Label5").properties, (TProperties{{"Left", "104"}, {"Top", "208"}, {"Width", "93"},
                                                          {"Height", "13"}, {"Caption", "\"lucien@example.org\""}}));
  EXPECT_EQ(root.Child("Label6").properties, (TProperties{{"Left", "96"}, {"Top", "224"}, {"Width", "105"},
                                                          {"Height", "13"}, {"Caption", "\"http://tavelo.example\""}}));
  EXPECT_EQ(root.Child("OKButton").properties,
            (TProperties{{"Left", "111"}, {"Top", "260"}, {"Width", "75"}, {"Height", "25"}, {"Caption", "\"OK\""},
                         {"Default", "True"}, {"ModalResult", "1"}, {"TabOrder", "0"}, {"OnClick", "OKButtonClick"}}));
}

TEST(AppFormsTest, TheDonationNoteHas183CharactersOfTheProgramsCodePageAndTravelsAsUtf8) {
  std::string bytes = CompileForm("About.form").bytes;
  String caption = TreeOf(bytes).Child("Label4").Value("Caption");
  ASSERT_GE(caption.size(), 2u);
  String note = caption.substr(1, caption.size() - 2);
  EXPECT_EQ(note.size(), 183u) << note;
  EXPECT_NE(note.find("don volontaire"), String::npos);
  EXPECT_NE(note.find("courriel"), String::npos);
  // Its accented letters make the writer choose the UTF-8 string kind, with the byte length.
  std::string utf8 = AnsiToUtf8(note);
  std::uint32_t length = static_cast<std::uint32_t>(utf8.size());
  std::string encoded = Bytes("\x07" "Caption\x14") + static_cast<char>(length & 0xFF) +
                        static_cast<char>(length >> 8) + std::string(2, '\0') + utf8;
  EXPECT_NE(bytes.find(encoded), std::string::npos);
}

TEST(AppFormsTest, BothPicturesAreTheGeneratedLogoBitmap) {
  std::string logo = ReadAll(std::string(TAVELO_ASSET_DIR) + "/logo.picture");
  ASSERT_EQ(logo.size(), 11698u);
  EXPECT_EQ(logo.substr(0, 8), "\x07TBitmap");
  EXPECT_EQ(Payload(CompileForm("Splash.form").bytes, "Picture.Data"), logo);
  EXPECT_EQ(Payload(CompileForm("About.form").bytes, "Picture.Data"), logo);
}

// ---- The main window ----

TProperties Item(String action, String imageIndex, String shortCut) {
  TProperties p{{"Action", action}};
  if (!imageIndex.empty()) p.emplace_back("ImageIndex", imageIndex);
  if (!shortCut.empty()) p.emplace_back("ShortCut", shortCut);
  return p;
}

std::vector<TProperties> ItemsOf(const std::vector<TNode>& items) {
  std::vector<TProperties> all;
  for (const TNode& item : items) all.push_back(item.properties);
  return all;
}

TEST(AppFormsTest, TheMainWindowsTreeIsInStreamOrder) {
  TNode root = TreeOf(CompileForm("Unit1.form").bytes);
  EXPECT_EQ(root.name, "Form1");
  EXPECT_EQ(root.className, "TForm1");
  const char* const kChildren[][2] = {{"PageControl1", "TPageControl"},         {"StatusBar1", "TStatusBar"},
                                      {"ActionMainMenuBar1", "TActionMainMenuBar"}, {"ActionToolBar1", "TActionToolBar"},
                                      {"ActionManager1", "TActionManager"},     {"ImageList1", "TImageList"}};
  ASSERT_EQ(root.children.size(), std::size(kChildren));
  for (std::size_t i = 0; i < std::size(kChildren); ++i) {
    EXPECT_EQ(root.children[i].name, kChildren[i][0]);
    EXPECT_EQ(root.children[i].className, kChildren[i][1]);
  }
  const TNode& pages = root.Child("PageControl1");
  ASSERT_EQ(pages.children.size(), 1u);
  EXPECT_EQ(pages.children[0].name, "TabSheet1");
  EXPECT_EQ(pages.children[0].className, "TTabSheet");
  ASSERT_EQ(pages.children[0].children.size(), 1u);
  EXPECT_EQ(pages.children[0].children[0].name, "Memo1");
  EXPECT_EQ(pages.children[0].children[0].className, "TMemo");
  EXPECT_TRUE(pages.children[0].children[0].children.empty());
  // The actions are written inside their list, in this order.
  const char* const kActions[][2] = {{"Action1", "TAction"},         {"FileOpen1", "TFileOpen"},
                                     {"FichierEnregistrer", "TAction"}, {"Action3", "TAction"},
                                     {"EditCut1", "TEditCut"},         {"EditCopy1", "TEditCopy"},
                                     {"EditPaste1", "TEditPaste"},     {"EditSelectAll1", "TEditSelectAll"},
                                     {"FileSaveAs1", "TFileSaveAs"},   {"FileExit1", "TFileExit"}};
  const TNode& manager = root.Child("ActionManager1");
  ASSERT_EQ(manager.children.size(), std::size(kActions));
  for (std::size_t i = 0; i < std::size(kActions); ++i) {
    EXPECT_EQ(manager.children[i].name, kActions[i][0]);
    EXPECT_EQ(manager.children[i].className, kActions[i][1]);
    EXPECT_TRUE(manager.children[i].children.empty());
  }
  for (const char* leaf : {"StatusBar1", "ActionMainMenuBar1", "ActionToolBar1", "ImageList1"})
    EXPECT_TRUE(root.Child(leaf).children.empty()) << leaf;
}

TEST(AppFormsTest, TheMainWindowAndItsControlsReadAsDesigned) {
  TNode root = TreeOf(CompileForm("Unit1.form").bytes);
  EXPECT_EQ(root.properties,
            Concat({{{"Left", "198"}, {"Top", "107"}, {"Width", "696"}, {"Height", "480"}, {"Caption", "\"Tavelo\""},
                     {"Color", "clBtnFace"}},
                    kFormFont,
                    {{"OldCreateOrder", "False"}, {"OnClose", "FormClose"}, {"OnShow", "FormShow"},
                     {"PixelsPerInch", "96"}, {"TextHeight", "13"}}}));
  const TNode& pages = root.Child("PageControl1");
  EXPECT_EQ(pages.properties, (TProperties{{"Left", "0"}, {"Top", "58"}, {"Width", "688"}, {"Height", "376"},
                                           {"ActivePage", "TabSheet1"}, {"Align", "alClient"}, {"TabIndex", "0"},
                                           {"TabOrder", "0"}}));
  const TNode& sheet = pages.Child("TabSheet1");
  EXPECT_EQ(sheet.properties, (TProperties{{"Caption", "\"   Js\""}}));
  EXPECT_EQ(sheet.Child("Memo1").properties,
            (TProperties{{"Left", "0"}, {"Top", "0"}, {"Width", "680"}, {"Height", "348"}, {"Align", "alClient"},
                         {"Font.Charset", "ANSI_CHARSET"}, {"Font.Color", "clMaroon"}, {"Font.Height", "-13"},
                         {"Font.Name", "\"Courier New\""}, {"Font.Style", "[]"}, {"ParentFont", "False"},
                         {"ScrollBars", "ssVertical"}, {"TabOrder", "0"}, {"OnChange", "Memo1Change"}}));

  const TNode& status = root.Child("StatusBar1");
  EXPECT_EQ(status.properties, (TProperties{{"Left", "0"}, {"Top", "434"}, {"Width", "688"}, {"Height", "19"},
                                            {"Panels", "<4>"}, {"SimplePanel", "False"}}));
  EXPECT_EQ(ItemsOf(status.Items("Panels")),
            (std::vector<TProperties>{
                {{"Alignment", "taCenter"}, {"Bevel", "pbNone"}, {"Text", "\"Tavelo\""}, {"Width", "90"}},
                {{"Alignment", "taCenter"}, {"Width", "350"}},
                {{"Alignment", "taCenter"}, {"Bevel", "pbRaised"}, {"Width", "100"}},
                {{"Alignment", "taCenter"}, {"Width", "200"}}}));

  EXPECT_EQ(root.Child("ActionMainMenuBar1").properties,
            (TProperties{{"Left", "0"}, {"Top", "0"}, {"Width", "688"}, {"Height", "29"},
                         {"ActionManager", "ActionManager1"}, {"Caption", "\"ActionMainMenuBar1\""},
                         {"EdgeOuter", "esNone"}, {"Spacing", "0"}}));
  EXPECT_EQ(root.Child("ActionToolBar1").properties,
            (TProperties{{"Left", "0"}, {"Top", "29"}, {"Width", "688"}, {"Height", "29"},
                         {"ActionManager", "ActionManager1"}, {"AllowHiding", "True"},
                         {"Caption", "\"ActionToolBar1\""}, {"HorzSeparator", "True"},
                         {"Orientation", "boLeftToRight"}, {"PersistentHotKeys", "False"}, {"Spacing", "0"}}));
  EXPECT_EQ(root.Child("ImageList1").properties,
            (TProperties{{"Left", "72"}, {"Top", "128"}, {"Bitmap", "binary(16166)"}}));
}

TEST(AppFormsTest, TheActionManagerHoldsTheThreeBarsAndTheirClientItems) {
  TNode root = TreeOf(CompileForm("Unit1.form").bytes);
  const TNode& manager = root.Child("ActionManager1");
  // The collection's own property comes before its items, the defined position last.
  EXPECT_EQ(manager.properties, (TProperties{{"ActionBars.SessionCount", "1"}, {"ActionBars", "<3>"},
                                             {"LinkedActionLists", "<0>"}, {"Images", "ImageList1"},
                                             {"Left", "336"}, {"Top", "224"}}));
  const std::vector<TNode>& bars = manager.Items("ActionBars");
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_EQ(bars[0].properties, (TProperties{{"Items", "<3>"}, {"ActionBar", "ActionMainMenuBar1"},
                                             {"AutoSize", "False"}}));
  EXPECT_EQ(bars[1].properties, (TProperties{{"Items", "<2>"}, {"AutoSize", "False"}}));
  EXPECT_EQ(bars[2].properties, (TProperties{{"Items", "<6>"}, {"ActionBar", "ActionToolBar1"},
                                             {"AutoSize", "False"}}));

  const std::vector<TNode>& menus = bars[0].Items("Items");
  ASSERT_EQ(menus.size(), 3u);
  EXPECT_EQ(menus[0].properties, (TProperties{{"Items", "<5>"}, {"Caption", "\"&Fichier\""}}));
  EXPECT_EQ(menus[1].properties, (TProperties{{"Items", "<4>"}, {"Caption", "\"&Edition\""}}));
  EXPECT_EQ(menus[2].properties, (TProperties{{"Items", "<1>"}, {"Caption", "\"?\""}}));
  EXPECT_EQ(ItemsOf(menus[0].Items("Items")),
            (std::vector<TProperties>{Item("Action1", "6", "16462"), Item("FileOpen1", "7", "16463"),
                                      Item("FichierEnregistrer", "8", "16467"), Item("FileSaveAs1", "30", ""),
                                      Item("FileExit1", "43", "")}));
  EXPECT_EQ(ItemsOf(menus[1].Items("Items")),
            (std::vector<TProperties>{Item("EditCut1", "0", "16472"), Item("EditCopy1", "1", "16451"),
                                      Item("EditPaste1", "2", "16470"), Item("EditSelectAll1", "", "16449")}));
  EXPECT_EQ(ItemsOf(menus[2].Items("Items")), (std::vector<TProperties>{Item("Action3", "", "")}));
  EXPECT_EQ(ItemsOf(bars[1].Items("Items")),
            (std::vector<TProperties>{Item("Action1", "6", "16462"), Item("FileOpen1", "7", "16463")}));
  EXPECT_EQ(ItemsOf(bars[2].Items("Items")),
            (std::vector<TProperties>{Item("Action1", "6", "16462"), Item("FileOpen1", "7", "16463"),
                                      Item("FichierEnregistrer", "8", "16467"), Item("EditCut1", "0", "16472"),
                                      Item("EditCopy1", "1", "16451"), Item("EditPaste1", "2", "16470")}));
}

TEST(AppFormsTest, TheMainWindowsActionsReadAsDesigned) {
  TNode root = TreeOf(CompileForm("Unit1.form").bytes);
  const TNode& manager = root.Child("ActionManager1");
  EXPECT_EQ(manager.Child("Action1").properties,
            (TProperties{{"Category", "\"Fichier\""}, {"Caption", "\"&Nouveau fichier...\""}, {"ImageIndex", "6"},
                         {"ShortCut", "16462"}, {"OnExecute", "Action1Execute"}}));
  EXPECT_EQ(manager.Child("FileOpen1").properties,
            (TProperties{{"Category", "\"Fichier\""}, {"Caption", "\"&Ouvrir...\""}, {"Dialog.DefaultExt", "\"js\""},
                         {"Dialog.Filter", "\"Fichier Javascript (*.js*)|*.js|Tous les fichiers (*.*)|*.*\""},
                         {"Dialog.Title", "\"Ouverture de fichier\""},
                         {"Hint", "\"Ouvrir|Ouvrir un fichier existant\""}, {"ImageIndex", "7"},
                         {"ShortCut", "16463"}, {"OnAccept", "FileOpen1Accept"}}));
  EXPECT_EQ(manager.Child("FichierEnregistrer").properties,
            (TProperties{{"Category", "\"Fichier\""}, {"Caption", "\"&Enregistrer...\""}, {"ImageIndex", "8"},
                         {"ShortCut", "16467"}, {"OnExecute", "FichierEnregistrerExecute"}}));
  EXPECT_EQ(manager.Child("Action3").properties,
            (TProperties{{"Category", "\"?\""}, {"Caption", "\"&A propos...\""}, {"OnExecute", "Action3Execute"}}));
  EXPECT_EQ(manager.Child("EditCut1").properties,
            (TProperties{{"Category", "\"Edition\""}, {"Caption", "\"Cou&per\""},
                         {"Hint", "\"Couper|Couper la sélection et la mettre dans le Presse-papiers\""},
                         {"ImageIndex", "0"}, {"ShortCut", "16472"}}));
  EXPECT_EQ(manager.Child("EditCopy1").properties,
            (TProperties{{"Category", "\"Edition\""}, {"Caption", "\"&Copier\""},
                         {"Hint", "\"Copier|Copier la sélection et la mettre dans le Presse-papiers\""},
                         {"ImageIndex", "1"}, {"ShortCut", "16451"}}));
  EXPECT_EQ(manager.Child("EditPaste1").properties,
            (TProperties{{"Category", "\"Edition\""}, {"Caption", "\"Co&ller\""},
                         {"Hint", "\"Coller|Insérer le contenu du Presse-papiers\""}, {"ImageIndex", "2"},
                         {"ShortCut", "16470"}}));
  EXPECT_EQ(manager.Child("EditSelectAll1").properties,
            (TProperties{{"Category", "\"Edition\""}, {"Caption", "\"&Tout sélectionner\""},
                         {"Hint", "\"Tout sélectionner|Sélectionner l'intégralité du document\""},
                         {"ShortCut", "16449"}}));
  EXPECT_EQ(manager.Child("FileSaveAs1").properties,
            (TProperties{{"Category", "\"Fichier\""}, {"Caption", "\"Enregistrer &sous...\""},
                         {"Dialog.DefaultExt", "\"js\""},
                         {"Dialog.Filter", "\"Fichiers javascripts (*.js*)|*.js|Tous les fichiers (*.*)|*.*\""},
                         {"Dialog.Title", "\"Enregistrer sous\""},
                         {"Hint", "\"Enregistrer sous|Enregistrer le fichier actif sous un nouveau nom\""},
                         {"ImageIndex", "30"}, {"BeforeExecute", "FileSaveAs1BeforeExecute"},
                         {"OnAccept", "FileSaveAs1Accept"}}));
  EXPECT_EQ(manager.Child("FileExit1").properties,
            (TProperties{{"Category", "\"Fichier\""}, {"Caption", "\"&Quitter\""},
                         {"Hint", "\"Quitter|Quitter l'application\""}, {"ImageIndex", "43"}}));
}

// Accented captions and hints travel as UTF-8 strings and come back as the same text.
TEST(AppFormsTest, TheMainWindowsAccentedTextsTravelAsUtf8) {
  std::string bytes = CompileForm("Unit1.form").bytes;
  for (const char* text : {"&Tout sélectionner", "Insérer le contenu du Presse-papiers"}) {
    std::string utf8 = AnsiToUtf8(text);
    EXPECT_NE(bytes.find(utf8), std::string::npos) << text;
  }
  EXPECT_NE(bytes.find(Bytes("\x07" "Caption\x06\x05   Js")), std::string::npos);
  EXPECT_EQ(Payload(bytes, "Bitmap"), ReadAll(std::string(TAVELO_ASSET_DIR) + "/toolbar.imagelist"));
}

}  // namespace
}  // namespace tavelo::testing
