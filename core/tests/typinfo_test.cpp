#include "core/typinfo.h"

#include <gtest/gtest.h>

#include "core/component.h"
#include "core/identmaps.h"
#include "core/tests/test_support.h"

// The test types live in the tests' namespace, so that the production enumerations of the
// same names (alNone, fsBold, ...) never meet them.
namespace tavelo::testing {

// A distinct integer type with an identifier map, like the colours.
enum TShade : std::int32_t {};
TAVELO_INTEGER_TYPE(TShade)
inline constexpr TShade shDark = TShade(0x8000000F);

namespace {

constexpr TIdentMapEntry kShades[] = {{static_cast<int>(0x8000000F), "shDark"}, {0x1FFFFFFF, "shNone"}};
bool IdentToShade(const String& ident, int& value) { return IdentToInt(ident, value, kShades); }
bool ShadeToIdent(int value, String& ident) { return IntToIdent(value, ident, kShades); }

}  // namespace

TAVELO_INTEGER_TYPE_IMPL(TShade, otSLong, INT_MIN, INT_MAX, IdentToShade, ShadeToIdent)

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
TAVELO_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
TAVELO_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;

namespace {

class TFontLike : public TPersistent {
  TAVELO_CLASS(TFontLike, TPersistent)
public:
  String Name() const { return name_; }
  void SetName(const String& value) { name_ = value; }

private:
  String name_ = "Tahoma";
};
TAVELO_PUBLISH(TFontLike) { c.Property("Name", &Self::Name, &Self::SetName); }

class TControlLike : public TComponent {
  TAVELO_CLASS(TControlLike, TComponent)
public:
  using TComponent::TComponent;
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value) { align_ = value; }
  TShade Color() const { return color_; }
  void SetColor(TShade value) { color_ = value; }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value) { style_ = value; }
  TFontLike* Font() const { return const_cast<TFontLike*>(&font_); }
  void SetFont(TFontLike* value) { font_.SetName(value->Name()); }
  WideString Hint() const { return hint_; }
  void SetHint(const WideString& value) { hint_ = value; }
  double Ratio() const { return ratio_; }
  void SetRatio(double value) { ratio_ = value; }
  long long Big() const { return big_; }
  void SetBig(long long value) { big_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  int Computed() const { return 7; }
  bool IsColorStored() const { return color_ != shDark; }
  TNotifyEvent OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent value) { onClick_ = value; }

private:
  TAlign align_ = alNone;
  TShade color_ = shDark;
  TFontStyles style_;
  TFontLike font_;
  WideString hint_;
  double ratio_ = 0;
  long long big_ = 0;
  bool visible_ = true;
  TNotifyEvent onClick_;
};
TAVELO_PUBLISH(TControlLike) {
  c.Property("Align", &Self::Align, &Self::SetAlign).Default(alNone);
  c.Property("Color", &Self::Color, &Self::SetColor).Stored<&Self::IsColorStored>();
  c.Property("Style", &Self::Style, &Self::SetStyle).Default({});
  c.Property("Font", &Self::Font, &Self::SetFont);
  c.Property("Hint", &Self::Hint, &Self::SetHint);
  c.Property("Ratio", &Self::Ratio, &Self::SetRatio);
  c.Property("Big", &Self::Big, &Self::SetBig);
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Property("Computed", &Self::Computed);
  c.Event("OnClick", &Self::OnClick, &Self::SetOnClick);
}

// Redeclares Tag with another default, and publishes handlers.
class TFormLike : public TControlLike {
  TAVELO_CLASS(TFormLike, TControlLike)
public:
  using TControlLike::TControlLike;
  int MyTag() const { return Tag(); }
  void SetMyTag(int value) { SetTag(value); }
  void ButtonClick(TObject* sender) { clicked = sender; }
  void Resized(TObject*, int) {}
  TObject* clicked = nullptr;
};
TAVELO_PUBLISH(TFormLike) {
  c.Property("Tag", &Self::MyTag, &Self::SetMyTag).Default(5);
  c.Method<&Self::ButtonClick>("ButtonClick");
  c.Method<&Self::Resized>("Resized");
}

TEST(PropertyLookupTest, FindsByFoldedNameMostDerivedFirst) {
  TClass form = TFormLike::StaticClass();
  EXPECT_EQ(form->FindProperty("FONT")->Name(), "Font");
  EXPECT_EQ(form->FindProperty("fOnT.nAmE"), nullptr);
  EXPECT_EQ(form->FindProperty("Fon"), nullptr);
  EXPECT_EQ(form->FindProperty("tag")->Default(), 5);
  EXPECT_EQ(TControlLike::StaticClass()->FindProperty("tag")->Default(), 0);
  EXPECT_EQ(form->FindProperty("Name")->PropType(), StringTypeInfo());
}

TEST(PropertyLookupTest, ListsEveryPropertyByNameIndexWithTheMostDerivedDeclaration) {
  std::span<const TPropInfo* const> all = TFormLike::StaticClass()->Properties();
  std::vector<String> names;
  for (const TPropInfo* p : all) names.push_back(p->Name());
  EXPECT_EQ(names, (std::vector<String>{"Name", "Tag", "Align", "Color", "Style", "Font", "Hint", "Ratio", "Big",
                                         "Visible", "Computed", "OnClick"}));
  EXPECT_EQ(all[1]->Default(), 5);  // the redeclared Tag keeps its place
  EXPECT_EQ(TFormLike::StaticClass()->PropertyCount(), 12);
  EXPECT_EQ(TFormLike::StaticClass()->OwnProperties().size(), 1u);
}

TEST(PropertyTypesTest, KindsAreDerivedFromTheAccessors) {
  TClass cls = TControlLike::StaticClass();
  auto kind = [cls](const char* name) { return cls->FindProperty(name)->Kind(); };
  EXPECT_EQ(kind("Align"), tkEnumeration);
  EXPECT_EQ(kind("Color"), tkInteger);
  EXPECT_EQ(kind("Style"), tkSet);
  EXPECT_EQ(kind("Font"), tkClass);
  EXPECT_EQ(kind("Hint"), tkWString);
  EXPECT_EQ(kind("Ratio"), tkFloat);
  EXPECT_EQ(kind("Big"), tkInt64);
  EXPECT_EQ(kind("Visible"), tkEnumeration);
  EXPECT_EQ(kind("OnClick"), tkMethod);
  const TTypeInfo* color = cls->FindProperty("Color")->PropType();
  EXPECT_EQ(color->Name, "TShade");
  EXPECT_EQ(color->MinValue, INT_MIN);
  EXPECT_EQ(cls->FindProperty("Style")->PropType()->CompType->Name, "TFontStyle");
  EXPECT_EQ(cls->FindProperty("Font")->PropType()->ClassType, TFontLike::StaticClass());
  EXPECT_FALSE(cls->FindProperty("Computed")->HasSetter());
  EXPECT_EQ(cls->FindProperty("Visible")->Default(), 1);
}

TEST(PropertyAccessTest, ReadsAndWritesByKind) {
  TControlLike control(nullptr);
  TClass cls = control.ClassType();
  cls->FindProperty("Align")->Access().SetOrd(&control, alClient);
  EXPECT_EQ(control.Align(), alClient);
  cls->FindProperty("Style")->Access().SetOrd(&control, 0b101);
  EXPECT_EQ(control.Style(), (TFontStyles{fsBold, fsUnderline}));
  cls->FindProperty("Color")->Access().SetOrd(&control, static_cast<int>(0x8000000F));
  EXPECT_FALSE(cls->FindProperty("Color")->IsStored(&control));
  cls->FindProperty("Color")->Access().SetOrd(&control, 0xFF);
  EXPECT_TRUE(cls->FindProperty("Color")->IsStored(&control));
  EXPECT_EQ(cls->FindProperty("Color")->Access().GetOrd(&control), 0xFF);
  const TPropAccessor& hint = cls->FindProperty("Hint")->Access();
  hint.SetStr(&control, "s\xE9lection");  // the ANSI form converts to the wide one
  EXPECT_EQ(control.Hint(), (WideString{u's', 0xE9, u'l', u'e', u'c', u't', u'i', u'o', u'n'}));
  EXPECT_EQ(hint.GetStr(&control), "s\xE9lection");
  cls->FindProperty("Ratio")->Access().SetFloat(&control, 1.5L);
  EXPECT_EQ(control.Ratio(), 1.5);
  cls->FindProperty("Big")->Access().SetOrd(&control, 1LL << 40);
  EXPECT_EQ(control.Big(), 1LL << 40);
  TFontLike* font = static_cast<TFontLike*>(cls->FindProperty("Font")->Access().GetObject(&control));
  EXPECT_EQ(font->Name(), "Tahoma");
  TControlLike stranger(nullptr);
  EXPECT_RAISES(cls->FindProperty("Font")->Access().SetObject(&control, &stranger), EInvalidCast,
                "Transtypage de classe incorrect");
  EXPECT_THROW(cls->FindProperty("Hint")->Access().GetOrd(&control), EInvalidCast);
}

TEST(PublishedMethodTest, BindsByNameAndComparesByCode) {
  TFormLike form(nullptr);
  const TMethodInfo* click = TFormLike::StaticClass()->FindMethod("BUTTONCLICK");
  ASSERT_NE(click, nullptr);
  const TPropInfo* onClick = form.ClassType()->FindProperty("OnClick");
  EXPECT_EQ(click->Signature, onClick->PropType()->MethodSignature);
  EXPECT_NE(TFormLike::StaticClass()->FindMethod("Resized")->Signature, onClick->PropType()->MethodSignature);
  EXPECT_EQ(TFormLike::StaticClass()->FindMethod("Missing"), nullptr);
  onClick->Access().SetMethod(&form, TMethod{click->Code, &form});
  form.OnClick()(&form);
  EXPECT_EQ(form.clicked, &form);
  // The same handler bound in code is the same event.
  EXPECT_TRUE(form.OnClick() == TNotifyEvent::Bind<&TFormLike::ButtonClick>(&form));
  EXPECT_EQ(TFormLike::StaticClass()->FindMethodByCode(click->Code), click);
}

// A handler class whose TObject part does not start the object: the event must carry the
// object as a TObject* and convert it back, or the handler runs on a wrong "this".
struct TMixin {
  virtual ~TMixin() = default;
  int mixinValue = 42;
};

TAVELO_EVENT(TResizeEvent, void(TObject* sender, int width))
TAVELO_EVENT(TOtherNotify, void(TObject* sender))

class TTwoBases : public TMixin, public TComponent {
  TAVELO_CLASS(TTwoBases, TComponent)
public:
  using TComponent::TComponent;
  TResizeEvent OnResize() const { return onResize_; }
  void SetOnResize(TResizeEvent value) { onResize_ = value; }
  void Resized(TObject* sender, int width) {
    seenThis = this;
    seenSender = sender;
    seenWidth = width;
    seenMixin = mixinValue;
  }
  TTwoBases* seenThis = nullptr;
  TObject* seenSender = nullptr;
  int seenWidth = 0;
  int seenMixin = 0;

private:
  TResizeEvent onResize_;
};
TAVELO_PUBLISH(TTwoBases) {
  c.Event("OnResize", &Self::OnResize, &Self::SetOnResize);
  c.Method<&Self::Resized>("Resized");
}

TEST(PublishedMethodTest, HandlersOfAClassWithMoreThanOneBaseRunOnTheirOwnObject) {
  TTwoBases form(nullptr);
  ASSERT_NE(static_cast<void*>(static_cast<TObject*>(&form)), static_cast<void*>(&form));
  const TMethodInfo* resized = form.ClassType()->FindMethod("Resized");
  const TPropInfo* onResize = form.ClassType()->FindProperty("OnResize");
  EXPECT_EQ(resized->Signature, onResize->PropType()->MethodSignature);
  // The reader binds with the root as it knows it: a component.
  TComponent* root = &form;
  onResize->Access().SetMethod(&form, TMethod{resized->Code, root});
  form.OnResize()(root, 640);
  EXPECT_EQ(form.seenThis, &form);
  EXPECT_EQ(form.seenSender, root);
  EXPECT_EQ(form.seenWidth, 640);
  EXPECT_EQ(form.seenMixin, 42);
  EXPECT_TRUE(form.OnResize() == TResizeEvent::Bind<&TTwoBases::Resized>(&form));
}

TEST(PublishedMethodTest, EventTypesCarryTheirOwnNames) {
  EXPECT_EQ(TTwoBases::StaticClass()->FindProperty("OnResize")->PropType()->Name, "TResizeEvent");
  EXPECT_EQ(TControlLike::StaticClass()->FindProperty("OnClick")->PropType()->Name, "TNotifyEvent");
  // Another event type of the same signature is another name but binds the same handlers.
  EXPECT_EQ(TypeInfoOf<TOtherNotify>()->Name, "TOtherNotify");
  EXPECT_EQ(TypeInfoOf<TOtherNotify>()->MethodSignature, TypeInfoOf<TNotifyEvent>()->MethodSignature);
}

TEST(EnumValueTest, NamesPositionsAndBooleans) {
  const TTypeInfo* align = TypeInfoOf<TAlign>();
  EXPECT_EQ(GetEnumValue(align, "ALCLIENT"), alClient);
  EXPECT_EQ(GetEnumValue(align, "alMiddle"), -1);
  EXPECT_EQ(GetEnumValue(align, ""), -1);
  EXPECT_EQ(GetEnumName(align, alTop), "alTop");
  EXPECT_EQ(GetEnumValue(BooleanTypeInfo(), "true"), 1);
  EXPECT_EQ(GetEnumValue(IntegerTypeInfo(4, true), "-12"), -12);
  TTypeInfo longBool = MakeEnumTypeInfo("LongBool", "False, True");
  longBool.MinValue = INT_MIN;
  EXPECT_EQ(GetEnumValue(&longBool, "TRUE"), -1);
  EXPECT_EQ(GetEnumValue(&longBool, "False"), 0);
  EXPECT_EQ(GetEnumValue(&longBool, "7"), 7);
}

TEST(IdentifierMapTest, IntegerTypesConvertBothWaysThroughTheirOwnMap) {
  TIdentToInt toInt = FindIdentToInt(TypeInfoOf<TShade>());
  TIntToIdent toIdent = FindIntToIdent(TypeInfoOf<TShade>());
  ASSERT_TRUE(toInt && toIdent);
  int value = 0;
  EXPECT_TRUE(toInt("SHDARK", value));
  EXPECT_EQ(static_cast<unsigned>(value), 0x8000000Fu);
  String name;
  EXPECT_TRUE(toIdent(static_cast<int>(0x8000000F), name));
  EXPECT_EQ(name, "shDark");
  EXPECT_FALSE(toIdent(0x123456, name));
  EXPECT_FALSE(toInt("shNothing", value));
  EXPECT_FALSE(toInt("shDar", value));
  EXPECT_EQ(FindIdentToInt(IntegerTypeInfo(4, true)), nullptr);
}

}  // namespace
}  // namespace tavelo::testing
