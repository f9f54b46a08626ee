#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include <gtest/gtest.h>

#include "core/tests/test_support.h"
#include "streaming/classregistry.h"
#include "streaming/fixups.h"
#include "streaming/reader.h"
#include "streaming/tests/sample_classes.h"
#include "streaming/valueformat.h"
#include "streaming/writer.h"
#include "tools/formtext.h"

namespace tavelo::testing {
namespace {

using namespace std::string_literals;

std::string Compiled(const std::string& source) { return formtext::Compile(source, ".").bytes; }

// The bytes as hexadecimal pairs, for readable comparisons.
std::string Hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X ", b);
    out += buffer;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::string HexOf(const std::string& text) { return Hex(text); }
std::string Short(const std::string& text) { return Hex(std::string(1, static_cast<char>(text.size())) + text); }

TMemoryStream* StreamOf(const std::string& bytes) {
  auto* stream = new TMemoryStream;
  stream->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

std::string Written(TComponent* component) {
  TMemoryStream stream;
  WriteComponentToStream(stream, component);
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

std::string SampleSource() {
  std::ifstream in(std::string(TAVELO_SOURCE_DIR) + "/streaming/tests/forms/sampleform.form", std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A window of the samples, known by name to the global finder while it lives.
struct TWindow {
  TSampleForm* form;
  TWindow() : form(new TSampleForm(nullptr)) {
    RegisterSamples();
    AddSampleWindow(form);
  }
  ~TWindow() {
    RemoveSampleWindow(form);
    delete form;
  }
  void Read(const std::string& bytes) {
    std::unique_ptr<TMemoryStream> stream(StreamOf(bytes));
    ReadComponentFromStream(*stream, form);
  }
};

TEST(StreamFormatTest, WorkedExamplesEncodeByteForByte) {
  std::string splash = Compiled(
      "Form2: TForm2 { Left = 429; Top = 293; Width = 282; Height = 193\n"
      "BorderStyle = bsSizeToolWin; BorderWidth = 8 }");
  std::string expected = "54 50 46 30 " + Short("TForm2") + " " + Short("Form2") + " " + Short("Left") + " 03 AD 01 " +
                         Short("Top") + " 03 25 01 " + Short("Width") + " 03 1A 01 " + Short("Height") + " 03 C1 00 " +
                         Short("BorderStyle") + " 07 " + Short("bsSizeToolWin") + " " + Short("BorderWidth") +
                         " 02 08 00 00";
  EXPECT_EQ(Hex(splash), expected);

  EXPECT_NE(Hex(Compiled("A: T { Font.Style = [] }")).find(Short("Font.Style") + " 0B 00"), std::string::npos);
  EXPECT_NE(Hex(Compiled("A: T { TextHeight = 13\n Panel1: TPanel { } }"))
                .find(Short("TextHeight") + " 02 0D 00 " + Short("TPanel") + " " + Short("Panel1")),
            std::string::npos);
  // Form sources are UTF-8, whatever the code page of this file's literals.
  EXPECT_NE(Hex(Compiled("A: T { Caption = \"&Tout s\xC3\xA9lectionner\" }"))
                .find(Short("Caption") + " 14 13 00 00 00 " + HexOf("&Tout s\xC3\xA9lectionner")),
            std::string::npos);
  EXPECT_NE(Hex(Compiled("A: T { ActionBars.SessionCount = 1 }")).find(Short("ActionBars.SessionCount") + " 02 01"),
            std::string::npos);
  EXPECT_NE(Hex(Compiled("A: T { Panels = < { Alignment = taCenter; Width = 350 } > }"))
                .find("0E 01 " + Short("Alignment") + " 07 " + Short("taCenter") + " " + Short("Width") +
                      " 03 5E 01 00 00"),
            std::string::npos);
  EXPECT_NE(Hex(Compiled("A: T { LinkedActionLists = <> }")).find(Short("LinkedActionLists") + " 0E 00"),
            std::string::npos);
}

TEST(StreamFormatTest, WriterChoosesEncodingsByValue) {
  TMemoryStream stream;
  {
    TWriter writer(stream, 16);
    writer.WriteInteger(-128);
    writer.WriteInteger(128);
    writer.WriteInteger(-32769);
    writer.WriteInteger(5000000000LL);
    writer.WriteIdent("TRUE");
    writer.WriteIdent("nil");
    writer.WriteIdent("null");
    writer.WriteString(String(300, 'x'));
    writer.WriteWideString(WideString{0x4E2D});
    writer.WriteFloat(1.5L);
    writer.FlushBuffer();
  }
  std::string bytes(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
  std::string hex = Hex(bytes);
  EXPECT_EQ(hex.substr(0, 3 * 21 - 1), "02 80 03 80 00 04 FF 7F FF FF 13 00 F2 05 2A 01 00 00 00 09 0D");
  EXPECT_NE(hex.find("00 0C 2C 01 00 00 78"), std::string::npos);  // Null, then a long string of 300
  EXPECT_NE(hex.find("12 01 00 00 00 2D 4E"), std::string::npos);  // wide: UTF-8 would be longer
  EXPECT_EQ(hex.substr(hex.size() - 32), "05 00 00 00 00 00 00 00 C0 FF 3F");
}

TEST(StreamFormatTest, ExtendedFloatsConvertBothWays) {
  for (long double v : {0.0L, 1.5L, -2.25L, 1e300L, 3.141592653589793L, -1e-310L}) {
    unsigned char bytes[10];
    DoubleToExtended(v, bytes);
    EXPECT_EQ(ExtendedToDouble(bytes), v);
  }
  unsigned char one[10];
  DoubleToExtended(1.0L, one);
  EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(one), 10)), "00 00 00 00 00 00 00 80 FF 3F");
}

TEST(ValueReadTest, KindsAcceptedAndRefused) {
  std::unique_ptr<TMemoryStream> stream(StreamOf(
      "\x06\x03" "abc"                  // string read as a wide string
      "\x14\x02\x00\x00\x00\xC3\xA9"  // UTF-8 read as ANSI
      "\x03\x34\x12"                   // int16 read as int64
      "\x02\x05"                       // int8 read as a float
      "\x06\x01" "x"s));                // a string where an integer is expected
  TReader reader(*stream, 4);
  EXPECT_EQ(reader.ReadWideString(), (WideString{u'a', u'b', u'c'}));
  EXPECT_EQ(reader.ReadString(), "\xE9");
  EXPECT_EQ(reader.ReadInt64(), 0x1234);
  EXPECT_EQ(reader.ReadFloat(), 5.0L);
  EXPECT_RAISES(reader.ReadInteger(), EReadError, "Valeur de propriété incorrecte");
}

TEST(ValueReadTest, VariantsKeepTheirKind) {
  std::vector<TVariant> values{TVariant(), TVariant::Null(), TVariant::Integer(varByte, 100),
                               TVariant::Integer(varSmallint, -300), TVariant::Integer(varInteger, 100000),
                               TVariant::Integer(varInt64, 1LL << 40), TVariant::Float(varDouble, 2.5L),
                               TVariant::Float(varSingle, 0.25L), TVariant::Float(varCurrency, 12.5L),
                               TVariant::Float(varDate, 45000.5L), TVariant::Boolean(true),
                               TVariant::Ansi("Modifi\xE9"), TVariant::Wide(WideString{0x4E2D})};
  TMemoryStream stream;
  {
    TWriter writer(stream, 64);
    for (const TVariant& v : values) writer.WriteVariant(v);
    EXPECT_RAISES(writer.WriteVariant(TVariant::Array()), EWriteError, "Erreur d'écriture dans le flux");
    writer.FlushBuffer();
  }
  stream.SetPosition(0);
  TReader reader(stream, 64);
  for (const TVariant& v : values) {
    TVariant back = reader.ReadVariant();
    EXPECT_EQ(back.Type(), v.Type());
    EXPECT_TRUE(back == v);
  }
  std::unique_ptr<TMemoryStream> custom(StreamOf("\x0A\x01\x00\x00\x00" "x"s));
  TReader customReader(*custom, 64);
  EXPECT_RAISES(customReader.ReadVariant(), EReadError, "Erreur de lecture du flux");
}

TEST(ValueReadTest, SkippingConsumesExactlyOneValue) {
  // A list holding a collection of one item with an index, then a marker byte.
  std::string value = "\x01\x0E\x02\x07\x01\x04" "Name\x06\x01" "x\x00\x00\x0B\x01" "a\x00\x00"s;
  std::unique_ptr<TMemoryStream> stream(StreamOf(value + std::string("\x02\x2A", 2)));
  TReader reader(*stream, 8);
  reader.SkipValue();
  EXPECT_EQ(reader.ReadInteger(), 42);
}

TEST(ValueReadTest, AbsurdLengthsFailFast) {
  std::string claim("\x0A\xFF\xFF\xFF\x7F", 5);  // 2 GB of binary in a few bytes
  std::unique_ptr<TMemoryStream> stream(StreamOf(claim + std::string(100, 'x')));
  TReader reader(*stream, 4096);
  EXPECT_RAISES(reader.SkipValue(), EReadError, "Erreur de lecture du flux");
  std::unique_ptr<TMemoryStream> text(StreamOf(std::string("\x0C\x00\x00\x00\x40", 5)));
  TReader textReader(*text, 4096);
  EXPECT_RAISES(textReader.ReadString(), EReadError, "Erreur de lecture du flux");
  std::unique_ptr<TMemoryStream> nested(StreamOf(std::string(100000, '\x01')));
  TReader nestedReader(*nested, 4096);
  EXPECT_RAISES(nestedReader.SkipValue(), EReadError, "Erreur de lecture du flux");
}

TEST(ComponentReadTest, BuildsTheWholeSampleForm) {
  LoadedLog().clear();
  TWindow window;
  window.Read(Compiled(SampleSource()));
  TSampleForm* form = window.form;
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->Caption(), "\xC9" "chantillon");
  EXPECT_EQ(form->Cursor(), crHandPoint);
  EXPECT_EQ(form->Font()->Name(), "Tahoma");
  EXPECT_EQ(form->Font()->Style(), (TSampleFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(form->Font()->Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(form->Ratio(), 1.5L);
  EXPECT_EQ(form->Big(), 5000000000LL);
  EXPECT_EQ(form->Tag(), 7);
  ASSERT_NE(form->Button1, nullptr);
  EXPECT_EQ(form->ActiveControl(), form->Button1);  // resolved after the whole read
  EXPECT_EQ(form->Button1->Buddy(), form->Memo1);
  EXPECT_EQ(form->Button1->Parent(), form->Panel1);
  EXPECT_EQ(form->Button1->Owner(), form);
  EXPECT_EQ(form->Button1->Accel(), 'T');
  EXPECT_EQ(form->Memo1->Lines()->Text(), "un\r\ndeux\r\n");
  ASSERT_EQ(form->StatusBar1->Panels()->Count(), 2);
  auto* panel = static_cast<TSamplePanel*>(form->StatusBar1->Panels()->Items(0));
  EXPECT_EQ(panel->Alignment(), taCenter);
  EXPECT_EQ(panel->Width(), 350);
  EXPECT_EQ(static_cast<TSamplePanel*>(form->StatusBar1->Panels()->Items(1))->Text(), "Modifi\xE9");
  EXPECT_EQ(form->ImageList1->Bitmap(), std::string("\x42\x4D\x00\x01\x02\x03", 6));
  EXPECT_EQ(form->ImageList1->DesignInfo(), (34 << 16) | 12);
  form->OnClose()(form);
  EXPECT_EQ(form->closedBy, form);
  EXPECT_TRUE(form->Button1->OnClick() == TNotifyEvent::Bind<&TSampleForm::ButtonClick>(form));
  // The root first, then each component after its own children.
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Form1", "Button1", "Panel1", "Memo1", "StatusBar1"}));
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_FALSE(form->Memo1->ComponentState().Contains(csLoading));
}

// Known only through a published field of the window that holds it.
class TFieldOnly : public TComponent {
  TAVELO_CLASS(TFieldOnly, TComponent)
public:
  using TComponent::TComponent;
  std::vector<std::pair<TComponent*, int>> orders;
  void SetChildOrder(TComponent* child, int order) override { orders.emplace_back(child, order); }
  TComponent* GetChildParent() override { return this; }
};
TAVELO_CLASS_IMPL(TFieldOnly)

class TFieldForm : public TComponent {
  TAVELO_CLASS(TFieldForm, TComponent)
public:
  using TComponent::TComponent;
  TFieldOnly* Holder = nullptr;
};
TAVELO_PUBLISH(TFieldForm) { c.Field("Holder", &Self::Holder); }

TEST(ComponentReadTest, ClassesComeFromFieldsFirstAndRootsFromTheRegistry) {
  RegisterSamples();
  EXPECT_EQ(GetClass("TFieldOnly"), nullptr);
  TFieldForm form(nullptr);
  std::unique_ptr<TMemoryStream> stream(StreamOf(Compiled(
      "F: TFieldForm {\n Holder: TFieldOnly {\n A: TFieldOnly { }\n @0 B: TFieldOnly { }\n }\n}")));
  ReadComponentFromStream(*stream, &form);
  ASSERT_NE(form.Holder, nullptr);
  EXPECT_EQ(form.Holder->Owner(), &form);  // children are owned by the window
  ASSERT_EQ(form.Holder->orders.size(), 1u);
  EXPECT_EQ(form.Holder->orders[0].first->Name(), "B");
  EXPECT_EQ(form.Holder->orders[0].second, 0);

  // Without a root, the stream's class is found in the registry and built.
  std::unique_ptr<TMemoryStream> bare(StreamOf(Compiled("Made: TSampleControl { Caption = \"x\" }")));
  std::unique_ptr<TComponent> made(ReadComponentFromStream(*bare, nullptr));
  ASSERT_EQ(made->ClassName(), "TSampleControl");
  EXPECT_EQ(static_cast<TSampleControl*>(made.get())->Caption(), "x");
  EXPECT_EQ(made->Name(), "Made");
  std::unique_ptr<TMemoryStream> unknown(StreamOf(Compiled("U: TFieldOnly { }")));
  EXPECT_RAISES(ReadComponentFromStream(*unknown, nullptr), EClassNotFound, "Classe TFieldOnly non trouvée");
}

TEST(ComponentReadTest, ErrorsNameTheComponentAndThePath) {
  struct Case { const char* body; std::string message; };
  for (const Case& c : std::vector<Case>{
           {"Font.Nme = 1", "Erreur lors de la lecture de Form1.Font.Nme: La propriété Nme n'existe pas"},
           {"OnClose = Missing", "Erreur lors de la lecture de Form1.OnClose: Valeur de propriété incorrecte"},
           {"OnClose = Resized", "Erreur lors de la lecture de Form1.OnClose: Valeur de propriété incorrecte"},
           {"Tag = \"x\"", "Erreur lors de la lecture de Form1.Tag: Valeur de propriété incorrecte"},
           {"Color = clNothing", "Erreur lors de la lecture de Form1.Color: Valeur de propriété incorrecte"},
           {"Align = alMiddle", "Erreur lors de la lecture de Form1.Align: Valeur de propriété incorrecte"},
           {"Tag.Name = 1", "Erreur lors de la lecture de Form1.Tag.Name: Chemin de propriété incorrect"},
           {"Nothing.Name = (1, 2)", "Erreur lors de la lecture de Form1.Nothing.Name: La propriété Nothing n'existe pas"},
           {"Accel = \"ab\"", "Erreur lors de la lecture de Form1.Accel: Valeur de propriété incorrecte"},
       }) {
    TWindow window;
    EXPECT_RAISES(window.Read(Compiled(std::string("Form1: TSampleForm { ") + c.body + " }")), EReadError, c.message);
  }
}

TEST(ComponentReadTest, AFailedReadDestroysWhatItCreated) {
  TWindow window;
  std::string source =
      "Form1: TSampleForm {\n Panel1: TSampleControl {\n Button1: TSampleControl { }\n }\n"
      " Memo1: TSampleControl { Width = 1; Bogus = 2 }\n}";
  EXPECT_RAISES(window.Read(Compiled(source)), EReadError,
                "Erreur lors de la lecture de Memo1.Bogus: La propriété Bogus n'existe pas");
  // Panel1 and Button1 were read before the failure; Memo1 went with its error.
  EXPECT_EQ(window.form->Memo1, nullptr);
  EXPECT_EQ(window.form->FindComponent("Memo1"), nullptr);
  EXPECT_RAISES(window.Read(Compiled("Form1: TSampleForm {\n X: TNowhere { }\n}")), EClassNotFound,
                "Classe TNowhere non trouvée");
  EXPECT_RAISES(window.Read(Compiled("Form1: TSampleForm {\n inherited Y: TSampleControl { }\n}")), EReadError,
                "Ancêtre de 'Y' non trouvé");
  EXPECT_RAISES(window.Read("TPF1"), EReadError, "Format de flux incorrect");
  EXPECT_RAISES(window.Read("TP"), EReadError, "Erreur de lecture du flux");
  std::string whole = Compiled(SampleSource());
  for (std::size_t cut : {std::size_t{5}, whole.size() / 3, whole.size() - 1}) {
    TWindow other;
    EXPECT_THROW(other.Read(whole.substr(0, cut)), EReadError);
  }
}

TEST(ComponentReadTest, ReferencesAcrossWindowsWaitForTheOtherWindow) {
  TWindow first;
  first.Read(Compiled("Form1: TSampleForm { ActiveControl = Nobody\n Memo1: TSampleControl { Buddy = Other.Button1 } }"));
  EXPECT_EQ(first.form->ActiveControl(), nullptr);  // no "." : simply null
  EXPECT_EQ(first.form->Memo1->Buddy(), nullptr);
  EXPECT_EQ(PendingGlobalFixupCount(), 1);
  TWindow second;
  second.Read(Compiled("Other: TSampleForm { Button1: TSampleControl { } }"));
  EXPECT_EQ(first.form->Memo1->Buddy(), second.form->Button1);
  EXPECT_EQ(PendingGlobalFixupCount(), 0);
  // A window that is read under a taken name gets a new one.
  TWindow third;
  third.Read(Compiled("Other: TSampleForm { }"));
  EXPECT_EQ(third.form->Name(), "Other_1");
}

TEST(ComponentReadTest, PendingReferencesGoWithTheirObject) {
  TWindow window;
  window.Read(Compiled("Form1: TSampleForm { Memo1: TSampleControl { Buddy = Later.Button1 } }"));
  EXPECT_EQ(PendingGlobalFixupCount(), 1);
  delete window.form->Memo1;
  EXPECT_EQ(PendingGlobalFixupCount(), 0);
}

TEST(ComponentReadTest, AReaderReadsOnAfterItsRootWithoutTheRootsLoadedList) {
  TWindow window;
  std::string extra = Compiled("Extra: TSampleControl { Width = 3 }").substr(4);  // no signature
  std::unique_ptr<TMemoryStream> stream(StreamOf(Compiled("Form1: TSampleForm { }") + extra));
  TReader reader(*stream, 4096);
  reader.ReadRootComponent(window.form);
  LoadedLog().clear();
  auto* control = DynamicCast<TSampleControl>(reader.ReadComponent());
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->Owner(), window.form);
  EXPECT_EQ(control->Width(), 3);
  EXPECT_TRUE(LoadedLog().empty());  // the root's loading is over
}

TEST(ComponentReadTest, APendingReferenceIsReplacedByALaterReadingOrDroppedOnceSet) {
  TWindow window;
  window.Read(Compiled("Form1: TSampleForm { Memo1: TSampleControl { Buddy = Later.Button1 } }"));
  window.Read(Compiled("Form1: TSampleForm { inherited Memo1: TSampleControl { Buddy = Later.Button2 } }"));
  EXPECT_EQ(PendingGlobalFixupCount(), 1);  // the second reading's reference, not both
  // Any root read resolves what waits: a property set meanwhile stops waiting for its root.
  window.form->Memo1->SetBuddy(window.form->Memo1);
  TWindow unrelated;
  unrelated.Read(Compiled("Unrelated: TSampleForm { }"));
  EXPECT_EQ(PendingGlobalFixupCount(), 0);
  TWindow later;
  later.Read(Compiled("Later: TSampleForm { Button2: TSampleControl { } }"));
  EXPECT_EQ(window.form->Memo1->Buddy(), window.form->Memo1);
}

TEST(ComponentReadTest, CollectionsAreReplacedUnlessTheValueIsEmpty) {
  TWindow window;
  window.Read(Compiled("Form1: TSampleForm { StatusBar1: TSampleStatusBar { } }"));
  TOwnedCollection* panels = window.form->StatusBar1->Panels();
  panels->Add();
  panels->Add();
  std::string replace = Compiled("X: TSampleStatusBar { Panels = < { Width = 1 } > }");
  std::string keep = Compiled("X: TSampleStatusBar { Panels = <> }");
  // Re-read the bar's properties through a second root read of just that component.
  TSampleStatusBar* bar = window.form->StatusBar1;
  bar->SetName("");
  std::unique_ptr<TMemoryStream> keepStream(StreamOf(keep));
  ReadComponentFromStream(*keepStream, bar);
  EXPECT_EQ(panels->Count(), 2);
  std::unique_ptr<TMemoryStream> replaceStream(StreamOf(replace));
  ReadComponentFromStream(*replaceStream, bar);
  ASSERT_EQ(panels->Count(), 1);
  EXPECT_EQ(static_cast<TSamplePanel*>(panels->Items(0))->Width(), 1);
  EXPECT_EQ(panels->Items(0)->ID(), 2);  // fresh identifiers
}

TEST(ComponentWriteTest, DefaultsAreOmittedAndIdentifiersUsed) {
  RegisterSamples();
  TSampleForm form(nullptr);
  form.SetName("Form1");
  EXPECT_EQ(Hex(Written(&form)), "54 50 46 30 " + Short("TSampleForm") + " " + Short("Form1") + " " +
                                     Short("Font.Height") + " 02 F5 " + Short("Font.Name") + " 06 " +
                                     Short("MS Sans Serif") + " " + Short("Left") + " 02 00 00 00");
  form.SetColor(clInfoBk);
  form.SetCursor(crSizeAll);
  form.Font()->SetCharset(TFontCharset(238));
  std::string hex = Hex(Written(&form));
  EXPECT_NE(hex.find(Short("Color") + " 07 " + Short("clInfoBk")), std::string::npos);
  EXPECT_NE(hex.find(Short("Cursor") + " 07 " + Short("crSizeAll")), std::string::npos);
  EXPECT_NE(hex.find(Short("Font.Charset") + " 07 " + Short("EASTEUROPE_CHARSET")), std::string::npos);
  form.SetColor(TColor(0x123456));
  EXPECT_NE(Hex(Written(&form)).find(Short("Color") + " 04 56 34 12 00"), std::string::npos);
}

TEST(ComponentWriteTest, ReferencesEventsAndCollections) {
  TWindow window;
  window.Read(Compiled(SampleSource()));
  TSampleForm* form = window.form;
  TWindow other;
  other.Read(Compiled("Form2: TSampleForm { Button1: TSampleControl { } }"));
  form->Memo1->SetBuddy(form);
  form->Panel1->SetBuddy(other.form->Button1);
  // A handler that the window does not publish is left out.
  form->Memo1->SetOnClick(TNotifyEvent::Bind<&TSampleForm::FormClose>(form));
  form->Panel1->SetOnClick(TNotifyEvent([](TObject*, TObject*) {}, nullptr));
  std::string dump;
  {
    std::string bytes = Written(form);
    std::unique_ptr<TMemoryStream> stream(StreamOf(bytes));
    dump = formtext::Dump(*stream);
  }
  EXPECT_NE(dump.find("Buddy = Owner"), std::string::npos);
  EXPECT_NE(dump.find("Buddy = Form2.Button1"), std::string::npos);
  EXPECT_NE(dump.find("OnClick = FormClose"), std::string::npos);
  std::size_t handlers = 0;
  for (std::size_t at = dump.find("OnClick ="); at != std::string::npos; at = dump.find("OnClick =", at + 1)) ++handlers;
  EXPECT_EQ(handlers, 2u);  // ButtonClick and FormClose; the unpublished one is not written
  EXPECT_NE(dump.find("Panels = <\n      {\n        Alignment = taCenter\n        Width = 350\n      }"),
            std::string::npos);
}

TEST(ComponentWriteTest, ReadWriteReadIsByteIdentical) {
  TWindow first;
  first.Read(Compiled(SampleSource()));
  std::string once = Written(first.form);
  RemoveSampleWindow(first.form);
  TWindow second;
  second.Read(once);
  EXPECT_EQ(Hex(Written(second.form)), Hex(once));
  EXPECT_EQ(second.form->ImageList1->Bitmap(), first.form->ImageList1->Bitmap());
}

TEST(ComponentWriteTest, AnUnchangedDescendantWritesOnlyWhatDiffers) {
  TWindow ancestor;
  ancestor.Read(Compiled(SampleSource()));
  RemoveSampleWindow(ancestor.form);
  TWindow descendant;
  descendant.Read(Compiled(SampleSource()));
  auto writeDescendant = [&] {
    TMemoryStream stream;
    TWriter writer(stream, 4096);
    writer.WriteDescendent(descendant.form, ancestor.form);
    writer.FlushBuffer();
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
  };
  // Every inherited child without a change leaves no record at all.
  EXPECT_EQ(Hex(writeDescendant()), "54 50 46 30 F1 " + Short("TSampleForm") + " " + Short("Form1") + " 00 00");
  descendant.form->Memo1->SetWidth(640);
  EXPECT_EQ(Hex(writeDescendant()), "54 50 46 30 F1 " + Short("TSampleForm") + " " + Short("Form1") + " 00 F1 " +
                                         Short("TSampleControl") + " " + Short("Memo1") + " " + Short("Width") +
                                         " 03 80 02 00 00 00");
}

TEST(FormTextTest, CompileDumpCompileGivesTheSameBytes) {
  std::string bytes = Compiled(SampleSource());
  std::unique_ptr<TMemoryStream> stream(StreamOf(bytes));
  std::string text = formtext::Dump(*stream);
  EXPECT_EQ(Hex(Compiled(text)), Hex(bytes));
  std::string odd = Compiled(
      "inherited @2 A: T { S = single(1.25); C = currency(12.3456); D = date(45000.5)\n"
      "L = (1, \"x\\u{1}\", [a], <3 { P = nil }>, binary{}); W = \"\\u{4E2D}\" }");
  std::unique_ptr<TMemoryStream> oddStream(StreamOf(odd));
  EXPECT_EQ(Hex(Compiled(formtext::Dump(*oddStream))), Hex(odd));
}

// The bytes a source's string literal compiles to, after its property name.
std::string CompiledText(const std::string& literal) {
  std::string bytes = Compiled("A: T { P = \"" + literal + "\" }");
  std::size_t head = 4 + 3 * 2;  // signature, class, name, property name
  return Hex(bytes.substr(head, bytes.size() - head - 2));
}

std::string WrittenText(const std::function<void(TWriter&)>& write) {
  TMemoryStream stream;
  {
    TWriter writer(stream, 64);
    write(writer);
    writer.FlushBuffer();
  }
  return Hex(std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size())));
}

TEST(FormTextTest, StringsCompileAsTheWriterWritesThem) {
  // Literals are UTF-8 here, whatever the code page of this file's literals.
  const std::string eAcute = "\xC3\xA9", euro = "\xE2\x82\xAC";
  EXPECT_EQ(CompiledText(""), "06 00");
  EXPECT_EQ(CompiledText("abc"), "06 03 61 62 63");
  EXPECT_EQ(CompiledText(eAcute), "14 02 00 00 00 C3 A9");
  EXPECT_EQ(CompiledText(euro), "14 03 00 00 00 E2 82 AC");
  EXPECT_EQ(CompiledText(std::string(300, 'a')).substr(0, 17), "0C 2C 01 00 00 61");
  // Text the code page cannot hold goes by the wide-string rule, nothing lost.
  EXPECT_EQ(CompiledText("\xE4\xB8\xAD\xE6\x96\x87"), "12 02 00 00 00 2D 4E 87 65");
  EXPECT_EQ(CompiledText("ok \xE2\x9C\x93"), "14 06 00 00 00 6F 6B 20 E2 9C 93");
  // Whatever the case, exactly the writer's bytes.
  for (const std::string& text : {std::string(), std::string("x\x01y"), eAcute, euro, "\xC2\x81"s,
                                   "Autre fen\xC3\xAAtre"s, std::string(255, 'z'), std::string(256, 'z'),
                                   [&] { std::string s; for (int i = 0; i < 130; ++i) s += eAcute; return s; }()}) {
    String ansi = Utf8ToAnsi(text);
    EXPECT_EQ(CompiledText(text), WrittenText([&](TWriter& w) { w.WriteString(ansi); })) << text;
  }
  for (const std::string& text : {"\xE4\xB8\xAD"s, "a\xE2\x9C\x93"s, "\xF0\x9F\x98\x80"s})
    EXPECT_EQ(CompiledText(text), WrittenText([&](TWriter& w) { w.WriteWideString(Utf8ToWide(text)); })) << text;
}

TEST(FormTextTest, ErrorsGiveTheLineOrTheByte) {
  try {
    formtext::Compile("A: T {\n  X = 1\n  Y = \n}", ".");
    ADD_FAILURE() << "no error";
  } catch (const formtext::TFormError& e) {
    EXPECT_EQ(e.where, 3);
  }
  std::unique_ptr<TMemoryStream> bad(StreamOf("TPFX"));
  try {
    formtext::Dump(*bad);
    ADD_FAILURE() << "no error";
  } catch (const formtext::TFormError& e) {
    EXPECT_EQ(e.message, AnsiToUtf8("Format de flux incorrect"));
  }
  std::string cut = Compiled("A: T { Caption = \"abcdef\" }");
  std::unique_ptr<TMemoryStream> truncated(StreamOf(cut.substr(0, cut.size() - 6)));
  try {
    formtext::Dump(*truncated);
    ADD_FAILURE() << "no error";
  } catch (const formtext::TFormError& e) {
    EXPECT_EQ(e.message, AnsiToUtf8("Erreur de lecture du flux"));
    EXPECT_EQ(e.where, static_cast<long long>(cut.size() - 6));
  }
}

}  // namespace
}  // namespace tavelo::testing
