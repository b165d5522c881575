// Classes the streaming tests read and write: a widget with one property of every kind, nested
// children, an owned option object, a collection, a string list, events and defined
// properties, and a form that publishes handlers.
#pragma once
#include <string>
#include <vector>

#include "host/classes/Classes.h"

namespace kxtest {

using namespace vcl;

enum TkxsCtrlState { kxsNormal, kxsHot, kxsPressed, kxsFocused, kxsDisabled };
constexpr TEnumNames EnumNames(TkxsCtrlState) {
  return {u"TkxsCtrlState", u"kxsNormal kxsHot kxsPressed kxsFocused kxsDisabled"};
}
using TkxsCtrlStates = TSet<TkxsCtrlState>;

using TColor = Integer;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBtnFace = TColor(0xFF00000Fu);
constexpr TColor clWindowText = TColor(0xFF000008u);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
void RegisterTestColors();  // "TColor" identifiers, as the graphics layer will register them

// Every event the tests look at, in order.
std::vector<std::string>& Log();

class TGlow : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; FOnChange(this); }
  Integer Size() const { return FSize; }
  void SetSize(Integer v) { FSize = v; FOnChange(this); }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TNotifyEvent FOnChange;

  void Assign(TPersistent* source) override;

 private:
  TColor FColor = clRed;
  Integer FSize = 5;
  bool FEnabled = false;
};

class TWidgetItem : public TCollectionItem {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TWidgetItem(TCollection* c) : TCollectionItem(c) {}

  const String& Caption() const { return FCaption; }
  void SetCaption(StringView v) { FCaption = String(v); Changed(false); }
  Integer Value() const { return FValue; }
  void SetValue(Integer v) { FValue = v; Changed(false); }
  TkxsCtrlState Kind() const { return FKind; }
  void SetKind(TkxsCtrlState v) { FKind = v; }
  String DisplayName() const override { return FCaption.empty() ? TCollectionItem::DisplayName() : FCaption; }
  void Assign(TPersistent* source) override;

 private:
  String FCaption;
  Integer FValue = 0;
  TkxsCtrlState FKind = kxsNormal;
};

class TWidget : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TWidget(TComponent* owner);
  ~TWidget() override;

  Integer Width() const { return FWidth; }
  void SetWidth(Integer v) {
    FWidth = v;
    WidthSetWhileReading = ComponentState().Contains(csReading) && ComponentState().Contains(csLoading);
  }
  bool WidthSetWhileReading = false;
  Cardinal Mask() const { return FMask; }
  void SetMask(Cardinal v) { FMask = v; }
  Int64 Big() const { return FBig; }
  void SetBig(Int64 v) { FBig = v; }
  TkxsCtrlState State() const { return FState; }
  void SetState(TkxsCtrlState v) { FState = v; }
  TkxsCtrlStates States() const { return FStates; }
  void SetStates(TkxsCtrlStates v) { FStates = v; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  Char Accel() const { return FAccel; }
  void SetAccel(Char v) { FAccel = v; }
  const String& Caption() const { return FCaption; }
  void SetCaption(StringView v) { FCaption = String(v); }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TWidget* Buddy() const { return FBuddy; }
  void SetBuddy(TWidget* v);
  TGlow* Glow() const { return FGlow; }
  void SetGlow(TGlow* v) { FGlow->Assign(v); }
  TOwnedCollection* Items() const { return FItems; }
  TStringList* Lines() const { return FLines; }
  std::vector<Byte> Data;     // stored as the binary property "Data"
  std::vector<Integer> Extra; // stored as the defined list property "Extra"
  TNotifyEvent OnClick;
  TEvent<void(int)> OnValue;

  // Nesting: a widget read inside another becomes its child.
  TWidget* ParentWidget() const { return FParent; }
  const std::vector<TWidget*>& Children() const { return FChildren; }
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* value) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  int LoadedCount = 0;
  String BuddyAtLoaded;  // name of Buddy when Loaded ran

 protected:
  void Notification(TComponent* c, TOperation op) override;

 private:
  Integer FWidth = 75;
  Cardinal FMask = 0;
  Int64 FBig = 0;
  TkxsCtrlState FState = kxsNormal;
  TkxsCtrlStates FStates;
  bool FFlag = false;
  Char FAccel = u'a';
  String FCaption;
  double FRatio = 0;
  TColor FColor = clBtnFace;
  TWidget* FBuddy = nullptr;
  TGlow* FGlow;
  TOwnedCollection* FItems;
  TStringList* FLines;
  TWidget* FParent = nullptr;
  std::vector<TWidget*> FChildren;
};

class TTestForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TTestForm(TComponent* owner) : TComponent(owner) {}

  void ButtonClick(TObject* sender) { Log().push_back("ButtonClick"); }
  void OtherClick(TObject* sender) { Log().push_back("OtherClick"); }
  void ValueChanged(int v) { Log().push_back("ValueChanged " + std::to_string(v)); }
  void Loaded() override;
};

// Registers the classes above (idempotent).
void RegisterTestClasses();

}  // namespace kxtest
