#include "host/classes/Component.h"

#include <algorithm>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"

namespace vcl {

// ---- TPersistent ----

const TClass TPersistent::Class = TClass::Define<TPersistent, TObject>(u"TPersistent");

void TPersistent::Assign(TPersistent* source) {
  if (source) source->AssignTo(this);
  else AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* source) {
  String from = source ? String(source->ClassName()) : String(u"nil");
  throw EConvertError(u"Cannot assign a " + from + u" to a " + String(ClassName()));
}

String TPersistent::GetNamePath() const {
  String result(ClassName());
  if (TPersistent* owner = GetOwner()) {
    String path = owner->GetNamePath();
    if (!path.empty()) result = path + u"." + result;
  }
  return result;
}

// ---- TComponent ----

const TClass TComponent::Class =
    TClass::Define<TComponent, TPersistent>(u"TComponent", [](auto& c) {
      c.Property(u"Name", &TComponent::Name, &TComponent::SetName).Stored(false);
      c.Property(u"Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
    });

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
  if (FGlobalRoot) UnregisterGlobalRoot(this);
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
  return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  int cur = ComponentIndex();
  index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  if (cur == index) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + index, this);
}

void TComponent::SetName(StringView value) {
  if (FName == value) return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError(u"'" + String(value) + u"' is not a valid component name");
  if (FOwner) FOwner->ValidateRename(this, FName, value);
  else ValidateRename(nullptr, FName, value);
  FName = String(value);
}

void TComponent::ValidateRename(TComponent* component, StringView curName, StringView newName) {
  if (component && !newName.empty() && !detail::SameTextIgnoreCase(curName, newName) &&
      component->FOwner == this) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError(u"A component named " + String(newName) + u" already exists");
  }
}

TComponent* TComponent::FindComponent(StringView name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (detail::SameTextIgnoreCase(c->FName, name)) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
    component->FreeNotification(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto drop = [](std::vector<TComponent*>& list, TComponent* c) {
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
  };
  drop(FFreeNotifies, component);
  if (component) drop(component->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotifications() {
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& theirs = c->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    c->Notification(this, opRemove);
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Handlers may free components: walk down and re-check the bound on every step.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i >= FComponents.size()) {
      if (FComponents.empty()) break;
      i = FComponents.size() - 1;
    }
    FComponents[i]->Notification(component, operation);
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->FOwner == this) return;
  component->ValidateContainer(this);
  ValidateInsert(component);
  if (!component->FName.empty() && FindComponent(component->FName))
    throw EComponentError(u"A component named " + component->FName + u" already exists");
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  Insert(component);
  if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  ValidateRename(component, component->FName, u"");
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it != FComponents.end()) FComponents.erase(it);
  component->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    RemoveComponent(c);  // siblings hear of it and drop their references
    delete c;
  }
}

void TComponent::SetSubComponent(bool value) {
  if (value) FComponentStyle.Include(csSubComponent);
  else FComponentStyle.Exclude(csSubComponent);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value) FComponentState.Include(csDesigning);
  else FComponentState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetInline(bool value) {
  if (value) FComponentState.Include(csInline);
  else FComponentState.Exclude(csInline);
}

void TComponent::Updating() { FComponentState.Include(csUpdating); }
void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

void TComponent::ReadState(TReader& reader) { reader.ReadData(this); }
void TComponent::WriteState(TWriter& writer) { writer.WriteData(this); }

void TComponent::GetChildren(const TGetChildProc& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* c : std::vector<TComponent*>(FComponents))
    if (!c->HasParent()) proc(c);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

// ---- global roots ----

namespace {
std::vector<TComponent*>& GlobalRoots() {
  static std::vector<TComponent*> roots;
  return roots;
}
}  // namespace

void RegisterGlobalRoot(TComponent* root) {
  if (!root || root->FGlobalRoot) return;
  GlobalRoots().push_back(root);
  root->FGlobalRoot = true;
}

void UnregisterGlobalRoot(TComponent* root) {
  if (!root || !root->FGlobalRoot) return;
  auto& roots = GlobalRoots();
  roots.erase(std::remove(roots.begin(), roots.end(), root), roots.end());
  root->FGlobalRoot = false;
}

TComponent* FindGlobalComponent(StringView name) {
  if (name.empty()) return nullptr;
  for (TComponent* c : GlobalRoots())
    if (detail::SameTextIgnoreCase(c->Name(), name)) return c;
  return nullptr;
}

}  // namespace vcl
