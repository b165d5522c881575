// TComponent: named objects with an owner that frees them, free notifications that clear
// references to a component going away, and the streaming hooks the form reader and writer
// call.
//
// References to components that are not owned: in the setter, call
// `value->FreeNotification(this)` and override Notification to clear the field:
//
//   void TkxButton::SetImages(TCustomImageList* v) {
//     if (FImages) FImages->RemoveFreeNotification(this);
//     FImages = v;
//     if (FImages) FImages->FreeNotification(this);
//   }
//   void TkxButton::Notification(TComponent* c, TOperation op) {
//     TkxCustomButton::Notification(c, op);
//     if (op == opRemove && c == FImages) FImages = nullptr;
//   }
#pragma once
#include <vector>

#include "host/classes/Persistent.h"
#include "host/classes/Sets.h"

namespace vcl {

class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

enum TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

enum TOperation { opInsert, opRemove };

using TGetChildProc = std::function<void(TComponent* child)>;

class TComponent : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  explicit TComponent(TComponent* owner);
  // Marks the component destroying, tells every component that asked for a free notification,
  // frees the owned components last to first, and leaves the owner.
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;  // EListError when out of range
  int ComponentIndex() const;
  void SetComponentIndex(int index);

  const String& Name() const { return FName; }
  // Empty or an identifier, unique (ignoring case) among the owner's components; raises
  // EComponentError otherwise.
  virtual void SetName(StringView value);
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt value) { FTag = value; }
  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }

  // Owned component by name, ignoring case; nullptr when absent or `name` is empty.
  TComponent* FindComponent(StringView name) const;
  // `component` will be told (Notification opRemove) when this one is freed, and this one
  // when `component` is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();
  // Sets csDestroying on this component and everything it owns.
  void Destroying();

  void SetSubComponent(bool value);
  void SetDesigning(bool value, bool setChildren = true);
  void SetInline(bool value);
  virtual void Updating();  // csUpdating on
  virtual void Updated();   // csUpdating off

  TPersistent* GetOwner() const override { return FOwner; }
  String GetNamePath() const override { return FName; }

  // ---- streaming ----
  // Reads this component's properties and children from the reader (TReader::ReadData).
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);
  // Components stored as children of this one. The base class lists, for the root being
  // written, its owned components that have no parent component.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  // Owner of the children read inside this component (nullptr: the reader's owner).
  virtual TComponent* GetChildOwner() { return nullptr; }
  // Parent given to the children read inside this component.
  virtual TComponent* GetChildParent() { return this; }
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* value) {}
  virtual void SetChildOrder(TComponent* child, int order) {}
  // Called once after a description has set every property of every component read with it.
  // Overrides call the base class, which clears csLoading.
  virtual void Loaded();

 protected:
  // A component is inserted into (opInsert) or removed from (opRemove) this one, or a
  // component this one asked about is freed. The base class forgets the free notification
  // and passes the message on to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, StringView curName, StringView newName);
  virtual void ValidateContainer(TComponent* component) {}
  virtual void ValidateInsert(TComponent* component) {}

  void IncludeState(TComponentStateItem s) { FComponentState.Include(s); }
  void ExcludeState(TComponentStateItem s) { FComponentState.Exclude(s); }

 private:
  friend class TReader;
  friend class TWriter;
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveFreeNotifications();

  TComponent* FOwner = nullptr;
  String FName;
  NativeInt FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};
  bool FGlobalRoot = false;
  friend void RegisterGlobalRoot(TComponent*);
  friend void UnregisterGlobalRoot(TComponent*);
};

// Roots (forms, data modules) that references in other descriptions may name, as
// "Form2.Button1". A root leaves the registry when it is freed.
void RegisterGlobalRoot(TComponent* root);
void UnregisterGlobalRoot(TComponent* root);
TComponent* FindGlobalComponent(StringView name);

}  // namespace vcl
