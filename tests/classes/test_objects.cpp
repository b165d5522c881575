#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"
#include "host/classes/TypInfo.h"

using namespace vcl;
using namespace kxtest;

namespace {
class TAbstractThing : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TComponent::TComponent;
  virtual void Paint() = 0;
};
const TClass TAbstractThing::Class = TClass::Define<TAbstractThing, TComponent>(u"TAbstractThing");

class TOtherWidget : public TComponent {  // same name as TWidget: must not register
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  using TComponent::TComponent;
};
const TClass TOtherWidget::Class = TClass::Define<TOtherWidget, TComponent>(u"TWidget");

std::vector<String> Names(const TClass* c) {
  std::vector<String> names;
  for (const TPropInfo* p : GetPropList(c)) names.push_back(p->Name);
  return names;
}
}  // namespace

TEST(ClassMetadata, NamesParentsAndInheritance) {
  auto form = std::make_unique<TTestForm>(nullptr);
  auto* w = new TWidget(form.get());
  EXPECT_EQ(w->ClassName(), u"TWidget");
  EXPECT_EQ(w->ClassType(), &TWidget::Class);
  EXPECT_EQ(w->ClassParent(), &TComponent::Class);
  EXPECT_TRUE(w->InheritsFrom(&TPersistent::Class));
  EXPECT_TRUE(w->InheritsFrom(&TObject::Class));
  EXPECT_FALSE(w->InheritsFrom(&TTestForm::Class));
  EXPECT_TRUE(TWidget::Class.ClassNameIs(u"twidget"));
  TStringList list;
  EXPECT_EQ(list.ClassName(), u"TStringList");
  EXPECT_EQ(list.ClassParent()->ClassParent(), &TPersistent::Class);
}

TEST(ClassMetadata, PropertyTablesInheritAncestorsFirstAndDeduceKinds) {
  std::vector<String> expected = {u"Name", u"Tag", u"Width", u"Mask", u"Big", u"State", u"States", u"Flag",
                                  u"Accel", u"Caption", u"Ratio", u"Color", u"Buddy", u"Glow", u"Items",
                                  u"Lines", u"OnClick", u"OnValue"};
  EXPECT_EQ(Names(&TWidget::Class), expected);
  struct {
    const char16_t* Name;
    TPropKind Kind;
  } kinds[] = {{u"width", pkInteger}, {u"Mask", pkCardinal}, {u"Big", pkInt64}, {u"State", pkEnumeration},
               {u"States", pkSet}, {u"Flag", pkBoolean}, {u"Accel", pkChar}, {u"Caption", pkString},
               {u"Ratio", pkFloat}, {u"Buddy", pkComponent}, {u"Glow", pkPersistent}, {u"Items", pkCollection},
               {u"Lines", pkPersistent}, {u"OnClick", pkMethod}, {u"Tag", pkInt64}};
  for (auto& k : kinds) {
    const TPropInfo* p = GetPropInfo(&TWidget::Class, k.Name);
    ASSERT_NE(p, nullptr) << StringToUtf8(k.Name);
    EXPECT_EQ(p->Kind, k.Kind) << StringToUtf8(k.Name);
  }
  EXPECT_EQ(GetPropInfo(&TWidget::Class, u"States")->EnumType->Name(2), u"kxsPressed");
  EXPECT_EQ(GetPropInfo(&TWidget::Class, u"Nope"), nullptr);
  EXPECT_EQ(GetPropInfo(&TWidget::Class, u"Name")->StoredMode, TPropInfo::TStoredMode::Never);
}

TEST(ClassMetadata, PropertyAccessByNameChecksTypes) {
  TTestForm form(nullptr);
  auto* a = new TWidget(&form);
  auto* b = new TWidget(&form);
  SetPropValue(a, u"Width", Int64(120));
  SetPropValue(a, u"Ratio", Int64(2));  // an integer is a fine float
  SetPropValue(a, u"Buddy", static_cast<TObject*>(b));
  EXPECT_EQ(a->Width(), 120);
  EXPECT_EQ(a->Ratio(), 2.0);
  EXPECT_EQ(a->Buddy(), b);
  EXPECT_EQ(std::get<Int64>(GetPropValue(a, u"width")), 120);
  // A reference of the wrong class, a missing property, a read-only one.
  EXPECT_THROW(SetPropValue(a, u"Buddy", static_cast<TObject*>(&form)), EConvertError);
  EXPECT_THROW(GetPropValue(a, u"Nope"), EPropertyError);
  EXPECT_THROW(SetPropValue(a, u"Items", static_cast<TObject*>(nullptr)), EPropertyError);
  EXPECT_THROW(SetPropValue(a, u"Width", String(u"wide")), EPropertyError);
}

TEST(ClassMetadata, DefaultsDecideWhatIsStored) {
  TWidget w(nullptr);
  auto isDefault = [&](const char16_t* name) { return GetPropInfo(&TWidget::Class, name)->IsDefaultValue(&w); };
  EXPECT_TRUE(isDefault(u"Width"));
  EXPECT_TRUE(isDefault(u"Caption"));   // strings: empty
  EXPECT_TRUE(isDefault(u"Ratio"));     // floats: zero
  EXPECT_TRUE(isDefault(u"Color"));
  EXPECT_TRUE(isDefault(u"States"));
  EXPECT_FALSE(GetPropInfo(&TGlow::Class, u"Enabled")->IsDefaultValue(w.Glow()));  // no default
  w.SetWidth(76);
  w.SetCaption(u"x");
  w.SetStates({kxsHot});
  EXPECT_FALSE(isDefault(u"Width"));
  EXPECT_FALSE(isDefault(u"Caption"));
  EXPECT_FALSE(isDefault(u"States"));
}

TEST(ClassRegistry, FindsRegisteredClassesAndTheirAncestors) {
  RegisterTestClasses();
  EXPECT_EQ(FindClass(u"TWidget"), &TWidget::Class);
  EXPECT_EQ(FindClass(u"twidget"), &TWidget::Class);
  EXPECT_EQ(GetClass(u"TComponent"), &TComponent::Class);  // ancestors come along
  EXPECT_EQ(GetClass(u"TNothing"), nullptr);
  try {
    FindClass(u"TNothing");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), u"Class TNothing not found");
  }
  EXPECT_THROW(RegisterClass(&TOtherWidget::Class), EFilerError);
  EXPECT_EQ(FindClass(u"TWidget"), &TWidget::Class);

  TTestForm owner(nullptr);
  TObject* made = FindClass(u"TWidget")->Create(&owner);
  ASSERT_NE(dynamic_cast<TWidget*>(made), nullptr);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_FALSE(TAbstractThing::Class.CanCreate());
  EXPECT_THROW(TAbstractThing::Class.Create(&owner), EInvalidOperation);
  TGlow notAnOwner;
  EXPECT_THROW(TWidget::Class.Create(&notAnOwner), EConvertError);  // owner must be a component

  RegisterClass(&TAbstractThing::Class);
  EXPECT_EQ(GetClass(u"TAbstractThing"), &TAbstractThing::Class);
  UnRegisterClass(&TAbstractThing::Class);
  EXPECT_EQ(GetClass(u"TAbstractThing"), nullptr);
}

TEST(Persistent, AssignCopiesOrNamesBothClasses) {
  TGlow a, b;
  a.SetColor(clBtnFace);
  a.SetSize(9);
  b.Assign(&a);
  EXPECT_EQ(b.Color(), clBtnFace);
  EXPECT_EQ(b.Size(), 9);
  TCollection coll(&TWidgetItem::Class);
  TCollectionItem* item = coll.Add();
  try {
    b.Assign(item);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TWidgetItem to a TGlow");
  }
  try {
    b.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a nil to a TGlow");
  }
}

namespace {
class TTarget : public TObject {
 public:
  int Hits = 0;
  int Last = 0;
  void Click(TObject*) { ++Hits; }
  void Other(TObject*) { Hits += 100; }
  int Twice(int v) const { return 2 * v; }
};
int gFreeCalls = 0;
void FreeHandler(TObject*) { ++gFreeCalls; }
}  // namespace

TEST(Events, CompareByObjectAndMethodAndCall) {
  TTarget t1, t2;
  TNotifyEvent e1(&t1, &TTarget::Click), same(&t1, &TTarget::Click);
  TNotifyEvent otherObject(&t2, &TTarget::Click), otherMethod(&t1, &TTarget::Other);
  EXPECT_EQ(e1, same);
  EXPECT_NE(e1, otherObject);
  EXPECT_NE(e1, otherMethod);
  TNotifyEvent empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(empty, TNotifyEvent(nullptr));
  empty(nullptr);  // calling nothing does nothing
  e1(nullptr);
  TNotifyEvent copy = e1;
  copy(nullptr);
  EXPECT_EQ(t1.Hits, 2);
  copy = nullptr;
  EXPECT_FALSE(copy);

  TEvent<int(int)> twice(&t2, &TTarget::Twice);
  EXPECT_EQ(twice(21), 42);
  EXPECT_EQ(TEvent<int(int)>()(5), 0);

  TNotifyEvent f(&FreeHandler);
  f(nullptr);
  EXPECT_EQ(gFreeCalls, 1);
  EXPECT_EQ(f, TNotifyEvent(&FreeHandler));
  EXPECT_NE(f, e1);
}

TEST(Events, PublishedMethodsResolveByNameAndBack) {
  TTestForm form(nullptr);
  const TMethodEntry* m = FindMethod(form.ClassType(), u"buttonclick");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Signature, SignatureOf<void(TObject*)>());
  EXPECT_EQ(FindMethod(form.ClassType(), u"Nope"), nullptr);
  TNotifyEvent bound(&form, &TTestForm::OtherClick);
  EXPECT_EQ(MethodName(form.ClassType(), bound.Method().Code), u"OtherClick");
  // The published entry calls the same method as a directly bound event.
  TNotifyEvent fromTable = TNotifyEvent::FromMethod(TMethod{&form, m->Code});
  Log().clear();
  fromTable(nullptr);
  EXPECT_EQ(Log(), std::vector<std::string>{"ButtonClick"});
  EXPECT_EQ(fromTable, TNotifyEvent(&form, &TTestForm::ButtonClick));
}

TEST(IntegerIdents, RegisteredMapsTranslateBothWays) {
  RegisterTestColors();
  Integer v = 0;
  EXPECT_TRUE(IdentToInt(u"TColor", u"clbtnface", v));
  EXPECT_EQ(v, clBtnFace);
  String name;
  EXPECT_TRUE(IntToIdent(u"TColor", clNone, name));
  EXPECT_EQ(name, u"clNone");
  EXPECT_FALSE(IntToIdent(u"TColor", 0x123456, name));
  EXPECT_FALSE(IdentToInt(u"TCursor", u"crDefault", v));
  static const TIdentMapEntry cursors[] = {{-2, u"crArrow"}};
  RegisterIntegerConsts(u"TCursor", cursors);
  EXPECT_TRUE(IdentToInt(u"TCursor", u"crArrow", v));
  EXPECT_EQ(v, -2);
}

TEST(Sets, BehaveLikeSetsOfEnumerations) {
  TkxsCtrlStates s{kxsHot, kxsPressed};
  EXPECT_TRUE(s.Contains(kxsHot));
  EXPECT_FALSE(s.Contains(kxsNormal));
  s.Include(kxsDisabled).Exclude(kxsHot);
  EXPECT_EQ(s, (TkxsCtrlStates{kxsPressed, kxsDisabled}));
  EXPECT_EQ(s + TkxsCtrlStates{kxsHot}, (TkxsCtrlStates{kxsHot, kxsPressed, kxsDisabled}));
  EXPECT_EQ((s * TkxsCtrlStates{kxsPressed, kxsNormal}), (TkxsCtrlStates{kxsPressed}));
  EXPECT_TRUE(TkxsCtrlStates{kxsPressed} <= s);
  EXPECT_TRUE((s - s).Empty());
}
