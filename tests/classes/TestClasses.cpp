#include "TestClasses.h"

#include <algorithm>

#include "host/classes/TypInfo.h"
#include "host/rtl/Streams.h"

namespace kxtest {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

void RegisterTestColors() {
  static const TIdentMapEntry colors[] = {
      {clBtnFace, u"clBtnFace"}, {clWindowText, u"clWindowText"}, {clNone, u"clNone"},
      {clDefault, u"clDefault"}, {clRed, u"clRed"}};
  RegisterIntegerConsts(u"TColor", colors);
}

const TClass TGlow::Class = TClass::Define<TGlow, TPersistent>(u"TGlow", [](auto& c) {
  c.Property(u"Color", &TGlow::Color, &TGlow::SetColor).Idents(u"TColor").Default(clRed);
  c.Property(u"Size", &TGlow::Size, &TGlow::SetSize).Default(5);
  c.Property(u"Enabled", &TGlow::Enabled, &TGlow::SetEnabled);  // no default: always stored
});

void TGlow::Assign(TPersistent* source) {
  if (auto* g = dynamic_cast<TGlow*>(source)) {
    FColor = g->FColor;
    FSize = g->FSize;
    FEnabled = g->FEnabled;
    FOnChange(this);
    return;
  }
  TPersistent::Assign(source);
}

const TClass TWidgetItem::Class = TClass::Define<TWidgetItem, TCollectionItem>(u"TWidgetItem", [](auto& c) {
  c.Property(u"Caption", &TWidgetItem::Caption, &TWidgetItem::SetCaption);
  c.Property(u"Value", &TWidgetItem::Value, &TWidgetItem::SetValue).Default(0);
  c.Property(u"Kind", &TWidgetItem::Kind, &TWidgetItem::SetKind).Default(kxsNormal);
});

void TWidgetItem::Assign(TPersistent* source) {
  if (auto* i = dynamic_cast<TWidgetItem*>(source)) {
    FCaption = i->FCaption;
    FValue = i->FValue;
    FKind = i->FKind;
    return;
  }
  TCollectionItem::Assign(source);
}

const TClass TWidget::Class = TClass::Define<TWidget, TComponent>(u"TWidget", [](auto& c) {
  c.Property(u"Width", &TWidget::Width, &TWidget::SetWidth).Default(75);
  c.Property(u"Mask", &TWidget::Mask, &TWidget::SetMask).Default(0u);
  c.Property(u"Big", &TWidget::Big, &TWidget::SetBig).Default(0);
  c.Property(u"State", &TWidget::State, &TWidget::SetState).Default(kxsNormal);
  c.Property(u"States", &TWidget::States, &TWidget::SetStates).Default(TkxsCtrlStates{});
  c.Property(u"Flag", &TWidget::Flag, &TWidget::SetFlag).Default(false);
  c.Property(u"Accel", &TWidget::Accel, &TWidget::SetAccel).Default(u'a');
  c.Property(u"Caption", &TWidget::Caption, &TWidget::SetCaption);
  c.Property(u"Ratio", [](const TWidget& w) { return w.Ratio(); }, [](TWidget& w, double v) { w.SetRatio(v); });
  c.Property(u"Color", &TWidget::Color, &TWidget::SetColor).Idents(u"TColor").Default(clBtnFace);
  c.Property(u"Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
  c.Property(u"Glow", &TWidget::Glow, &TWidget::SetGlow);
  c.Property(u"Items", &TWidget::Items);
  c.Property(u"Lines", &TWidget::Lines);
  c.Property(u"OnClick", &TWidget::OnClick);
  c.Property(u"OnValue", &TWidget::OnValue);
});

TWidget::TWidget(TComponent* owner)
    : TComponent(owner),
      FGlow(new TGlow),
      FItems(new TOwnedCollection(this, &TWidgetItem::Class)),
      FLines(new TStringList) {}

TWidget::~TWidget() {
  Log().push_back("~" + StringToUtf8(Name()) + (ComponentState().Contains(csDestroying) ? " destroying" : ""));
  SetParentComponent(nullptr);
  for (TWidget* c : FChildren) c->FParent = nullptr;
  delete FGlow;
  delete FItems;
  delete FLines;
}

void TWidget::SetBuddy(TWidget* v) {
  if (FBuddy) FBuddy->RemoveFreeNotification(this);
  FBuddy = v;
  if (FBuddy) FBuddy->FreeNotification(this);
}

void TWidget::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == FBuddy) FBuddy = nullptr;
  if (op == opRemove) {
    auto it = std::find(FChildren.begin(), FChildren.end(), c);
    if (it != FChildren.end()) FChildren.erase(it);
  }
}

void TWidget::SetParentComponent(TComponent* value) {
  auto* p = dynamic_cast<TWidget*>(value);
  if (p == FParent) return;
  for (TWidget* a = p; a; a = a->FParent)
    if (a == this) throw EInvalidOperation("A widget cannot be its own parent");
  if (FParent) {
    auto& siblings = FParent->FChildren;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  FParent = p;
  if (p) p->FChildren.push_back(this);
}

void TWidget::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TComponent::GetChildren(proc, root);
  for (TWidget* c : std::vector<TWidget*>(FChildren))
    if (c->Owner() == root) proc(c);
}

void TWidget::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      u"Data",
      [this](TStream& s) {
        Data.resize(static_cast<size_t>(s.Size()));
        s.ReadBuffer(Data.data(), s.Size());
      },
      [this](TStream& s) { s.WriteBuffer(Data.data(), static_cast<Int64>(Data.size())); }, !Data.empty());
  filer->DefineProperty(
      u"Extra",
      [this](TReader& r) {
        Extra.clear();
        r.ReadListBegin();
        while (!r.EndOfList()) Extra.push_back(r.ReadInteger());
        r.ReadListEnd();
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (Integer v : Extra) w.WriteInteger(v);
        w.WriteListEnd();
      },
      !Extra.empty());
}

void TWidget::Loaded() {
  TComponent::Loaded();
  ++LoadedCount;
  BuddyAtLoaded = FBuddy ? FBuddy->Name() : u"";
  Log().push_back("Loaded " + StringToUtf8(Name()));
}

const TClass TTestForm::Class = TClass::Define<TTestForm, TComponent>(u"TTestForm", [](auto& c) {
  c.Method(u"ButtonClick", &TTestForm::ButtonClick);
  c.Method(u"OtherClick", &TTestForm::OtherClick);
  c.Method(u"ValueChanged", &TTestForm::ValueChanged);
});

void TTestForm::Loaded() {
  TComponent::Loaded();
  Log().push_back("Loaded " + StringToUtf8(Name()));
}

void RegisterTestClasses() {
  RegisterClasses({&TWidget::Class, &TTestForm::Class});
  RegisterTestColors();
}

}  // namespace kxtest
