#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/Streams.h"

using namespace vcl;
using namespace kxtest;

namespace {

// Every property kind, a nested child, a forward reference and events; written exactly as the
// writer writes it, so text -> objects -> text is the identity.
const char16_t* const kFullForm =
    u"object Form1: TTestForm\r\n"
    u"  Tag = 3\r\n"
    u"  object W1: TWidget\r\n"
    u"    Width = 120\r\n"
    u"    Mask = 4294967295\r\n"
    u"    Big = -9223372036854775807\r\n"
    u"    State = kxsPressed\r\n"
    u"    States = [kxsHot, kxsFocused]\r\n"
    u"    Flag = True\r\n"
    u"    Accel = #13\r\n"
    u"    Caption = 'It''s'#13#10'caf'#233\r\n"
    u"    Ratio = 1.5E-7\r\n"
    u"    Color = clWindowText\r\n"
    u"    Buddy = W3\r\n"
    u"    Glow.Color = clNone\r\n"
    u"    Glow.Size = -11\r\n"
    u"    Glow.Enabled = True\r\n"
    u"    Items = <\r\n"
    u"      item\r\n"
    u"        Caption = 'first'\r\n"
    u"        Value = 7\r\n"
    u"      end\r\n"
    u"      item\r\n"
    u"        Kind = kxsHot\r\n"
    u"      end>\r\n"
    u"    Lines.Strings = (\r\n"
    u"      'a'\r\n"
    u"      'b c')\r\n"
    u"    OnClick = ButtonClick\r\n"
    u"    OnValue = ValueChanged\r\n"
    u"    Data = {\r\n"
    u"      000102FF}\r\n"
    u"    Extra = (\r\n"
    u"      1\r\n"
    u"      -2\r\n"
    u"      300000)\r\n"
    u"    object W2: TWidget\r\n"
    u"      Ratio = 2.5\r\n"
    u"      Color = 16711935\r\n"
    u"      Glow.Enabled = False\r\n"
    u"    end\r\n"
    u"  end\r\n"
    u"  object W3: TWidget\r\n"
    u"    Buddy = W1\r\n"
    u"    Glow.Enabled = False\r\n"
    u"  end\r\n"
    u"end\r\n";

struct StreamingTest : ::testing::Test {
  void SetUp() override {
    RegisterTestClasses();
    Log().clear();
  }
  TWidget* W(TComponent* root, const char16_t* name) { return dynamic_cast<TWidget*>(root->FindComponent(name)); }
};

// Bytes of a literal, embedded zeros included.
template <size_t N>
std::vector<Byte> Bytes(const char (&s)[N]) {
  return {s, s + N - 1};
}

}  // namespace

TEST_F(StreamingTest, TextSetsEveryPropertyKindAndResolvesForwardReferences) {
  TTestForm form(nullptr);
  ReadComponentFromText(kFullForm, &form, u"Unit1.dfm");
  EXPECT_EQ(form.Name(), u"Form1");
  EXPECT_EQ(form.Tag(), 3);
  ASSERT_EQ(form.ComponentCount(), 3);
  TWidget* w1 = W(&form, u"W1");
  TWidget* w2 = W(&form, u"W2");
  TWidget* w3 = W(&form, u"W3");
  ASSERT_TRUE(w1 && w2 && w3);
  EXPECT_EQ(w1->Width(), 120);
  EXPECT_EQ(w1->Mask(), 4294967295u);
  EXPECT_EQ(w1->Big(), -9223372036854775807);
  EXPECT_EQ(w1->State(), kxsPressed);
  EXPECT_EQ(w1->States(), (TkxsCtrlStates{kxsHot, kxsFocused}));
  EXPECT_TRUE(w1->Flag());
  EXPECT_EQ(w1->Accel(), u'\r');
  EXPECT_EQ(w1->Caption(), u"It's\r\ncaf\u00e9");
  EXPECT_DOUBLE_EQ(w1->Ratio(), 1.5e-7);
  EXPECT_EQ(w1->Color(), clWindowText);
  EXPECT_EQ(w1->Glow()->Color(), clNone);
  EXPECT_EQ(w1->Glow()->Size(), -11);
  EXPECT_TRUE(w1->Glow()->Enabled());
  ASSERT_EQ(w1->Items()->Count(), 2);
  auto* item0 = static_cast<TWidgetItem*>(w1->Items()->Items(0));
  auto* item1 = static_cast<TWidgetItem*>(w1->Items()->Items(1));
  EXPECT_EQ(item0->Caption(), u"first");
  EXPECT_EQ(item0->Value(), 7);
  EXPECT_EQ(item1->Kind(), kxsHot);
  EXPECT_EQ(w1->Lines()->Text(), u"a\r\nb c\r\n");
  EXPECT_EQ(w1->Data, (std::vector<Byte>{0, 1, 2, 255}));
  EXPECT_EQ(w1->Extra, (std::vector<Integer>{1, -2, 300000}));
  EXPECT_EQ(w2->Color(), 16711935);
  // References in both directions, the forward one included; nesting gives parents.
  EXPECT_EQ(w1->Buddy(), w3);
  EXPECT_EQ(w3->Buddy(), w1);
  EXPECT_EQ(w2->ParentWidget(), w1);
  EXPECT_EQ(w1->Children(), std::vector<TWidget*>{w2});
  EXPECT_EQ(w1->ParentWidget(), nullptr);
  // Events are bound to the root's published methods.
  w1->OnClick(w1);
  w1->OnValue(5);
  EXPECT_EQ(w1->OnClick, TNotifyEvent(&form, &TTestForm::ButtonClick));
  // Loaded once each, in creation order with the root first, after every reference was set.
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded Form1", "Loaded W1", "Loaded W2", "Loaded W3",
                                             "ButtonClick", "ValueChanged 5"}));
  EXPECT_EQ(w1->LoadedCount, 1);
  EXPECT_EQ(w1->BuddyAtLoaded, u"W3");
  EXPECT_TRUE(w1->WidthSetWhileReading);
  for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(w1), static_cast<TComponent*>(w3)})
    EXPECT_TRUE((c->ComponentState() * TComponentState{csLoading, csReading}).Empty());
}

TEST_F(StreamingTest, TextAndBinaryRoundTripsGiveTheSameDescription) {
  TTestForm form(nullptr);
  ReadComponentFromText(kFullForm, &form);
  EXPECT_EQ(WriteComponentText(&form), kFullForm);

  // text -> binary -> objects -> text
  std::vector<Byte> binary = ObjectTextToBinary(kFullForm);
  ASSERT_TRUE(IsBinaryForm(binary));
  TBytesStream stream(binary);
  TTestForm fromBinary(nullptr);
  ReadComponent(&stream, &fromBinary, u"Unit1.res");
  EXPECT_EQ(WriteComponentText(&fromBinary), kFullForm);
  // objects -> binary is what the converter makes of the text; and back to text.
  EXPECT_EQ(WriteComponentBinary(&fromBinary), binary);
  EXPECT_EQ(ObjectBinaryToText(binary), kFullForm);
  // The stream converters agree with the in-memory ones.
  TStringStream text{StringView(kFullForm)};
  TBytesStream converted;
  ObjectTextToBinary(&text, &converted);
  EXPECT_EQ(converted.Bytes(), binary);
  TBytesStream binaryIn(binary);
  TStringStream textOut;
  ObjectBinaryToText(&binaryIn, &textOut);
  EXPECT_EQ(textOut.DataString(), kFullForm);
  // A root the reader creates from the registered class.
  std::unique_ptr<TComponent> made(ReadComponentData(binary, nullptr));
  EXPECT_EQ(made->ClassType(), &TTestForm::Class);
  EXPECT_EQ(WriteComponentText(made.get()), kFullForm);
}

TEST_F(StreamingTest, DefaultValuesAreNotWritten) {
  TTestForm form(nullptr);
  form.SetName(u"F");
  auto* w = new TWidget(&form);
  w->SetName(u"W");
  // Glow.Enabled declares no default, so it is always written; nothing else differs.
  EXPECT_EQ(WriteComponentText(&form),
            u"object F: TTestForm\r\n  object W: TWidget\r\n    Glow.Enabled = False\r\n  end\r\nend\r\n");
  w->SetWidth(75);  // equal to the default
  w->SetCaption(u"");
  w->Items()->Add();
  w->Lines()->Add(u"");
  EXPECT_EQ(WriteComponentText(&form),
            u"object F: TTestForm\r\n"
            u"  object W: TWidget\r\n"
            u"    Glow.Enabled = False\r\n"
            u"    Items = <\r\n"
            u"      item\r\n"
            u"      end>\r\n"
            u"    Lines.Strings = (\r\n"
            u"      '')\r\n"
            u"  end\r\n"
            u"end\r\n");
}

namespace {
class TStoreTest : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TComponent::TComponent;
  Integer A = 1, B = 2, C = 0;
  String S;
  bool CStored() const { return C > 10; }
};
const TClass TStoreTest::Class = TClass::Define<TStoreTest, TComponent>(u"TStoreTest", [](auto& c) {
  c.Property(u"A", &TStoreTest::A).Default(1).AlwaysStored();
  c.Property(u"B", &TStoreTest::B).Stored(false);
  c.Property(u"C", &TStoreTest::C).Stored(&TStoreTest::CStored);
  c.Property(u"S", &TStoreTest::S).AlwaysStored();
});
class TStoreTest2 : public TStoreTest {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TStoreTest::TStoreTest;
};
const TClass TStoreTest2::Class = TClass::Define<TStoreTest2, TStoreTest>(u"TStoreTest2", [](auto& c) {
  c.Inherited(u"S").Stored(true);  // back to "when not empty"
  c.Inherited(u"B").Stored(true).Default(2);
});
}  // namespace

TEST_F(StreamingTest, StoredSpecifiersAndRedeclaredProperties) {
  TStoreTest t(nullptr);
  t.SetName(u"T");
  EXPECT_EQ(WriteComponentText(&t), u"object T: TStoreTest\r\n  A = 1\r\n  S = ''\r\nend\r\n");
  t.B = 9;
  t.C = 5;
  EXPECT_EQ(WriteComponentText(&t), u"object T: TStoreTest\r\n  A = 1\r\n  S = ''\r\nend\r\n");
  t.C = 11;
  EXPECT_EQ(WriteComponentText(&t), u"object T: TStoreTest\r\n  A = 1\r\n  C = 11\r\n  S = ''\r\nend\r\n");
  TStoreTest2 t2(nullptr);
  t2.SetName(u"T2");
  t2.B = 3;
  EXPECT_EQ(WriteComponentText(&t2), u"object T2: TStoreTest2\r\n  A = 1\r\n  B = 3\r\nend\r\n");
  // The redeclared properties keep their places.
  auto list = GetPropList(&TStoreTest2::Class);
  EXPECT_EQ(list[3]->Name, u"B");
  EXPECT_EQ(list.size(), 6u);
}

TEST_F(StreamingTest, ValueSyntaxVariants) {
  TTestForm form(nullptr);
  ReadComponentFromText(
      u"object F: TTestForm\n"
      u"  object W: TWidget\n"
      u"    Width = $7F\n"
      u"    Color = $00FF00FF\n"
      u"    Mask = $FFFFFFFF\n"
      u"    Big = $FFFFFFFFFF\n"
      u"    States = []\n"
      u"    Flag = false\n"
      u"    Caption = 'one ' +\n"
      u"      'two' + #$41#66\n"
      u"      + ''\n"
      u"    Ratio = 3\n"
      u"    Accel = 'Z'\n"
      u"    Glow.Color = CLRED\n"
      u"    OnClick = nil\n"
      u"    Buddy = nil\n"
      u"    Items = <\n"
      u"      item [4]\n"
      u"      end>\n"
      u"  end\n"
      u"end",
      &form);
  TWidget* w = W(&form, u"W");
  EXPECT_EQ(w->Width(), 127);
  EXPECT_EQ(w->Color(), 0x00FF00FF);
  EXPECT_EQ(w->Mask(), 0xFFFFFFFFu);
  EXPECT_EQ(w->Big(), 0xFFFFFFFFFFll);
  EXPECT_TRUE(w->States().Empty());
  EXPECT_EQ(w->Caption(), u"one twoAB");
  EXPECT_EQ(w->Ratio(), 3.0);
  EXPECT_EQ(w->Accel(), u'Z');
  EXPECT_EQ(w->Glow()->Color(), clRed);
  EXPECT_EQ(w->Items()->Count(), 1);
  // Long strings come back in pieces joined with '+'; non-ASCII as character codes.
  String longText(150, u'x');
  longText[70] = u'\u20ac';
  w->SetCaption(longText);
  String written = WriteComponentText(&form);
  EXPECT_NE(written.find(u"    Caption =\r\n      'xxx"), String::npos);
  EXPECT_NE(written.find(u"#8364"), String::npos);
  TTestForm again(nullptr);
  ReadComponentFromText(written, &again);
  EXPECT_EQ(W(&again, u"W")->Caption(), longText);
}

TEST_F(StreamingTest, ConvertersKeepEveryValueType) {
  const char16_t* text =
      u"inline Root: TSomething [7]\r\n"
      u"  Single = 0.1s\r\n"
      u"  Money = 922337203685477.5807c\r\n"
      u"  Cents = -0.05c\r\n"
      u"  Zero = 0c\r\n"
      u"  Day = 2d\r\n"
      u"  When = 45000.5d\r\n"
      u"  Big = 1E300\r\n"
      u"  Small = -2.5E-300\r\n"
      u"  Wide = 'x'#8364'y'\r\n"
      u"  Ref = Form2.Button1\r\n"
      u"  Nothing = nil\r\n"
      u"  Empty = {}\r\n"
      u"  NoItems = <>\r\n"
      u"  Mixed = (\r\n"
      u"    1\r\n"
      u"    'a'\r\n"
      u"    [x, y]\r\n"
      u"    ()\r\n"
      u"    (\r\n"
      u"      -70000\r\n"
      u"      False))\r\n"
      u"  Items = <\r\n"
      u"    item [3]\r\n"
      u"      Sub.Prop = True\r\n"
      u"    end>\r\n"
      u"  object TNoName\r\n"
      u"  end\r\n"
      u"end\r\n";
  std::vector<Byte> binary = ObjectTextToBinary(text);
  EXPECT_EQ(ObjectBinaryToText(binary), text);
  TFormObject tree = ParseFormBinary(binary);
  EXPECT_EQ(tree.Props[0].Value.Type, vaSingle);
  EXPECT_EQ(tree.Props[1].Value.Int, INT64_MAX);
  EXPECT_EQ(tree.Props[2].Value.Int, -500);
  EXPECT_EQ(tree.Props[3].Value.Type, vaCurrency);
  EXPECT_EQ(tree.Props[4].Value.Float, 2.0);
  EXPECT_EQ(tree.Props[5].Value.Type, vaDate);
  EXPECT_EQ(tree.Props[8].Value.Type, vaWString);
  EXPECT_EQ(tree.Props[8].Value.Str, u"x\u20acy");
  EXPECT_EQ(tree.Children[0].Name, u"");
}

TEST_F(StreamingTest, BinaryLayout) {
  std::vector<Byte> b = ObjectTextToBinary(
      u"object A: TWidget\n  Width = 300\n  Flag = True\n  Ratio = 1.5\n  inherited B: TWidget [2]\n  end\nend");
  std::vector<Byte> expected = Bytes(
      "TPF0"
      "\x07TWidget\x01" "A"
      "\x05Width\x03\x2C\x01"
      "\x04" "Flag\x09"
      "\x05Ratio\x05\x00\x00\x00\x00\x00\x00\x00\xC0\xFF\x3F"
      "\x00"
      "\xF3\x02\x02\x07TWidget\x01" "B\x00\x00"
      "\x00");
  EXPECT_EQ(b, expected);
  Byte ten[10];
  for (double v : {1.5, -0.1, 1e300, 5e-324, 0.0, 123456789.125}) {
    DoubleToExtended(v, ten);
    EXPECT_EQ(ExtendedToDouble(ten), v);
  }
  // 10-byte values that no double holds exactly round to the nearest double.
  const Byte third[10] = {0xAB, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xFD, 0x3F};  // 1/3
  EXPECT_DOUBLE_EQ(ExtendedToDouble(third), 1.0 / 3);
  const Byte inf[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF};
  EXPECT_EQ(ExtendedToDouble(inf), -std::numeric_limits<double>::infinity());
}

TEST_F(StreamingTest, ReferencesAcrossRootsAndNestedOwners) {
  auto* form2 = new TTestForm(nullptr);
  form2->SetName(u"Form2");
  auto* target = new TWidget(form2);
  target->SetName(u"Target");
  RegisterGlobalRoot(form2);
  TTestForm form(nullptr);
  auto* frame = new TTestForm(&form);  // a nested owner holding its own components
  frame->SetName(u"Frame1");
  auto* inner = new TWidget(frame);
  inner->SetName(u"Inner");
  ReadComponentFromText(
      u"object F: TTestForm\n"
      u"  object A: TWidget\n    Buddy = Form2.Target\n  end\n"
      u"  object B: TWidget\n    Buddy = Frame1.Inner\n  end\n"
      u"end",
      &form);
  EXPECT_EQ(W(&form, u"A")->Buddy(), target);
  EXPECT_EQ(W(&form, u"B")->Buddy(), inner);
  String text = WriteComponentText(&form);
  EXPECT_NE(text.find(u"Buddy = Form2.Target"), String::npos);
  EXPECT_NE(text.find(u"Buddy = Frame1.Inner"), String::npos);
  delete form2;  // the reference to its component is cleared
  EXPECT_EQ(W(&form, u"A")->Buddy(), nullptr);
}

namespace {
// A frame-like container: it owns the components read inside it and writes them as its own.
class TTestFrame : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TComponent::TComponent;
  TComponent* GetChildOwner() override { return this; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
};
const TClass TTestFrame::Class = TClass::Define<TTestFrame, TComponent>(u"TTestFrame");
}  // namespace

TEST_F(StreamingTest, InlineContainersOwnTheirChildrenAndAnOwnerCanBeChosen) {
  RegisterClass(&TTestFrame::Class);
  const char16_t* text =
      u"object F: TTestForm\r\n"
      u"  inline Frame1: TTestFrame\r\n"
      u"    object B: TWidget\r\n"
      u"      Glow.Enabled = False\r\n"
      u"    end\r\n"
      u"  end\r\n"
      u"  object A: TWidget\r\n"
      u"    Buddy = Frame1.B\r\n"
      u"    Glow.Enabled = False\r\n"
      u"  end\r\n"
      u"end\r\n";
  TTestForm form(nullptr);
  ReadComponentFromText(text, &form);
  auto* frame = dynamic_cast<TTestFrame*>(form.FindComponent(u"Frame1"));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->ComponentState().Contains(csInline));
  TWidget* b = W(frame, u"B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(form.FindComponent(u"B"), nullptr);
  EXPECT_EQ(W(&form, u"A")->Buddy(), b);
  EXPECT_EQ(WriteComponentText(&form), text);

  // A reader given another owner puts the components there; the root keeps none.
  TTestForm root(nullptr), keeper(nullptr);
  TReader reader(u"owned.dfm");
  reader.SetOwner(&keeper);
  reader.ReadRootComponent(ParseFormText(u"object R: TTestForm\n object X: TWidget\n  Buddy = Y\n end\n"
                                         u" object Y: TWidget\n end\nend"),
                           &root);
  EXPECT_EQ(root.ComponentCount(), 0);
  ASSERT_EQ(keeper.ComponentCount(), 2);
  EXPECT_EQ(W(&keeper, u"X")->Buddy(), W(&keeper, u"Y"));
  EXPECT_EQ(W(&keeper, u"X")->LoadedCount, 1);
}

TEST_F(StreamingTest, InheritedComponentsAreUpdatedNotCreated) {
  TTestForm form(nullptr);
  auto* existing = new TWidget(&form);
  existing->SetName(u"W1");
  ReadComponentFromText(u"inherited F: TTestForm\n  inherited W1: TWidget\n    Width = 5\n  end\nend", &form);
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(existing->Width(), 5);
  EXPECT_EQ(existing->LoadedCount, 1);
}

TEST_F(StreamingTest, DefinedPropertiesReadAndWriteThroughTheFiler) {
  // A description made by hand with a nested list and every reader call.
  TTestForm form(nullptr);
  auto* w = new TWidget(&form);
  w->SetName(u"W");
  w->Extra = {INT32_MIN, INT32_MAX};
  std::vector<Byte> big(300);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<Byte>(i * 7);
  w->Data = big;
  std::vector<Byte> binary = WriteComponentBinary(&form);
  TTestForm copy(nullptr);
  ReadComponentData(binary, &copy);
  EXPECT_EQ(W(&copy, u"W")->Extra, w->Extra);
  EXPECT_EQ(W(&copy, u"W")->Data, big);
  // A value of the wrong shape is named.
  TTestForm bad(nullptr);
  try {
    ReadComponentFromText(u"object F: TTestForm\n object W: TWidget\n  Extra = ('x')\n end\nend", &bad, u"x.dfm");
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"x.dfm: line 3, column 12: Error reading W.Extra: Integer expected but 'x' found");
  }
  EXPECT_EQ(bad.ComponentCount(), 0);
}

// ---- errors ----

namespace {
struct ErrorCase {
  const char16_t* Text;
  const char16_t* Message;
};
}  // namespace

TEST_F(StreamingTest, MalformedTextGivesPositionedErrorsAndLeavesNothingBehind) {
  const ErrorCase cases[] = {
      {u"object F: TTestForm\n  object W1: TWidget\n    Width = 1\n",
       u"u.dfm: line 4, column 1: Unexpected end of text: 'end' expected to close object W1 (line 2)"},
      {u"object F: TTestForm\nend\nend\n", u"u.dfm: line 3, column 1: Unexpected 'end' after the end of the root object"},
      {u"object F: TTestForm\n object W1: TWidget\n  States = [kxsHot, kxsBogus]\n end\nend",
       u"u.dfm: line 3, column 21: Error reading W1.States: Invalid set element kxsBogus: not a TkxsCtrlState value"},
      {u"object F: TTestForm\n object W1: TWidget\n  State = kxsFoo\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.State: Invalid property value kxsFoo: not a TkxsCtrlState value"},
      {u"object F: TTestForm\n object W1: TWidget\n  Captionx = 'a'\n end\nend",
       u"u.dfm: line 3, column 3: Error reading W1.Captionx: Property Captionx does not exist"},
      {u"object F: TTestForm\n object W1: TWidget\n  Items = <\n   item\n    Bogus = 1\n   end>\n end\nend",
       u"u.dfm: line 5, column 5: Error reading W1.Items[0].Bogus: Property Bogus does not exist"},
      {u"object F: TTestForm\n object X: TNope\n end\nend", u"u.dfm: line 2, column 2: Error reading X: Class TNope not found"},
      {u"object F: TTestForm\n object W1: TWidget\n  Width = 'abc'\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Width: Invalid property value 'abc': an integer expected"},
      {u"object F: TTestForm\n object W1: TWidget\n  Width = 5000000000\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Width: Invalid property value 5000000000: out of the 32-bit range"},
      {u"object F: TTestForm\n object W1: TWidget\n end\n object w1: TWidget\n end\nend",
       u"u.dfm: line 4, column 2: Error reading w1: A component named w1 already exists"},
      {u"object F: TTestForm\n object W1: TWidget\n  OnClick = Nope\n end\nend",
       u"u.dfm: line 3, column 13: Error reading W1.OnClick: Method Nope not found in TTestForm"},
      {u"object F: TTestForm\n object W1: TWidget\n  OnClick = ValueChanged\n end\nend",
       u"u.dfm: line 3, column 13: Error reading W1.OnClick: Method ValueChanged does not match the type of event OnClick"},
      {u"object F: TTestForm\n object W1: TWidget\n  Buddy = Nobody\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Buddy: Component Nobody not found"},
      {u"object F: TTestForm\n object W1: TWidget\n  Buddy = F\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Buddy: Invalid class: TTestForm is not a TWidget"},
      {u"object F: TTestForm\n object W1: TWidget\n  Color = clBogus\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Color: Invalid property value clBogus: not a TColor identifier"},
      {u"object F: TTestForm\n object W1: TWidget\n  Width.X = 1\n end\nend",
       u"u.dfm: line 3, column 3: Error reading W1.Width.X: Property Width is not an object"},
      {u"object F: TTestForm\n object W1: TWidget\n  Glow = 1\n end\nend",
       u"u.dfm: line 3, column 10: Error reading W1.Glow: Property Glow is an object; store its properties as Glow.Name = value"},
      {u"object F: TTestForm\n object W1: TWidget\n  Caption = 'abc\n end\nend", u"u.dfm: line 3, column 13: Unterminated string"},
      {u"object F: TTestForm\n object W1: TWidget\n end\n Tag = 1\nend",
       u"u.dfm: line 4, column 2: Property Tag follows the child objects of F"},
      {u"object F: TTestForm\n inherited Missing: TWidget\n end\nend",
       u"u.dfm: line 2, column 2: Error reading Missing: Inherited component Missing not found"},
      {u"object F: TTestForm\n object W1: TWidget\n  Data = {0A0}\n end\nend",
       u"u.dfm: line 3, column 14: Odd number of hexadecimal digits in binary value"},
      {u"object F: TTestForm\n object W1: TWidget\n  Accel = 'ab'\n end\nend",
       u"u.dfm: line 3, column 11: Error reading W1.Accel: Invalid property value 'ab': a single character expected"},
      {u"object F: TTestForm\n object W1: TWidget\n  inline W1: TWidget\n  end\n end\nend",
       u"u.dfm: line 3, column 3: Error reading W1: Component W1 cannot be read inside itself"},
      {u"thing F: TTestForm\nend", u"u.dfm: line 1, column 1: 'object', 'inherited' or 'inline' expected but 'thing' found"},
  };
  for (const ErrorCase& c : cases) {
    TTestForm form(nullptr);
    auto* keep = new TWidget(&form);
    keep->SetName(u"Keep");
    try {
      ReadComponentFromText(c.Text, &form, u"u.dfm");
      ADD_FAILURE() << "no error for " << StringToUtf8(c.Text);
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message) << StringToUtf8(c.Text);
    }
    // Everything the read created is gone; the root and what it had are left as they were.
    ASSERT_EQ(form.ComponentCount(), 1) << StringToUtf8(c.Text);
    EXPECT_EQ(form.Components(0), keep);
    EXPECT_TRUE((form.ComponentState() * TComponentState{csLoading, csReading}).Empty());
    EXPECT_EQ(keep->LoadedCount, 0);
  }
}

TEST_F(StreamingTest, MalformedBinaryGivesOffsetsAndNeverReadsPastTheEnd) {
  std::vector<Byte> good = ObjectTextToBinary(kFullForm);
  auto message = [](const std::vector<Byte>& data) -> String {
    try {
      TTestForm form(nullptr);
      ReadComponentData(data, &form, u"f.res");
    } catch (const EReadError& e) {
      return e.Message();
    }
    return u"(no error)";
  };
  // Every truncation of a valid stream is an error, never a crash.
  for (size_t n = 4; n < good.size(); ++n) {
    std::vector<Byte> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    String m = message(cut);
    EXPECT_EQ(m.rfind(u"f.res: offset ", 0), 0u) << n << ": " << StringToUtf8(m);
  }
  EXPECT_EQ(message(Bytes("TPF1\x07TWidget\x00\x00\x00")),
            u"f.res: line 1, column 1: 'object', 'inherited' or 'inline' expected but 'TPF1' found");
  try {
    ParseFormBinary(Bytes("TPX0"), u"f.res");
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"f.res: offset 0: Invalid stream format: the signature 'TPF0' is missing");
  }
  EXPECT_EQ(message(Bytes("TPF0\x09TTestForm\x01" "F\x04" "Data\x0A\xF0\xFF\xFF\xFF\x01\x02\x03")),
            u"f.res: offset 22: vaBinary length 4294967280 exceeds the 3 bytes that remain");
  EXPECT_EQ(message(Bytes("TPF0\x09TTestForm\x01" "F\x03Tag\x63")), u"f.res: offset 20: Invalid value type 99");
  // A child with the flags prefix but no class: written back it would end the list.
  EXPECT_EQ(message(Bytes("TPF0\x09TTestForm\x01" "F\x00\xF0\x00\x00\x00\x00\x00")),
            u"f.res: offset 18: Invalid stream format: an object without a class name");
  EXPECT_EQ(message(Bytes("TPF0\x09TTestForm\x01" "F\x03Tag\x0C\x00\x00\x00\x7F" "ab")),
            u"f.res: offset 21: vaLString length 2130706432 exceeds the 2 bytes that remain");
  // Lists nested without end stop at a fixed depth instead of exhausting the stack.
  std::vector<Byte> deep = Bytes("TPF0\x09TTestForm\x01" "F\x03Tag");
  deep.insert(deep.end(), 100000, vaList);
  EXPECT_EQ(message(deep).find(u"Values nested too deeply") != String::npos, true);
  // Names that the text form could not read back as written are refused, not mangled.
  for (auto bad : {Bytes("TPF0\x09TTestForm\x01" "F\x05\roney\x02\x01\x00\x00"),
                   Bytes("TPF0\x09TTestForm\x01" "F\x03" "end\x02\x01\x00\x00"),
                   Bytes("TPF0\x03T.T\x00\x00\x00"), Bytes("TPF0\x01T\x00\x01x\x07\x03" "a b\x00\x00")})
    EXPECT_THROW(ObjectBinaryToText(bad), EWriteError);
  // A property error in binary names the offset, the component and the property.
  EXPECT_EQ(message(Bytes("TPF0\x09TTestForm\x01" "F\x00\x07TWidget\x01W\x05State\x07\x03" "abc\x00\x00\x00")),
            u"f.res: offset 33: Error reading W.State: Invalid property value abc: not a TkxsCtrlState value");
}

TEST_F(StreamingTest, AFailedReadOfANewRootFreesEverything) {
  int before = static_cast<int>(Log().size());
  EXPECT_THROW(ReadComponentFromText(u"object F: TTestForm\n object A: TWidget\n end\n object B: TWidget\n  Width = x\n end\nend",
                                     nullptr, u"n.dfm"),
               EReadError);
  // Both widgets were created and are destroyed again, newest first; nothing is loaded.
  std::vector<std::string> tail(Log().begin() + before, Log().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"~B destroying", "~A destroying"}));
  // Read errors are filer errors, as handlers of either expect.
  EXPECT_THROW(ReadComponentFromText(u"object F: TTestForm\n Tag = x\nend", nullptr), EFilerError);
}

TEST_F(StreamingTest, EveryPrefixOfATextIsRejectedCleanly) {
  String text = kFullForm;
  for (size_t n = 0; n + 3 < text.size(); n += 3) {
    TTestForm form(nullptr);
    EXPECT_THROW(ReadComponentFromText(StringView(text).substr(0, n), &form), EReadError) << n;
    EXPECT_EQ(form.ComponentCount(), 0);
  }
}
