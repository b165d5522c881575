#include "host/classes/Collection.h"

#include <algorithm>
#include <variant>

#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/ScopeGuards.h"

namespace vcl {

const TClass TCollectionItem::Class = TClass::Define<TCollectionItem, TPersistent>(u"TCollectionItem");
const TClass TCollection::Class = TClass::Define<TCollection, TPersistent>(u"TCollection");
const TClass TOwnedCollection::Class = TClass::Define<TOwnedCollection, TCollection>(u"TOwnedCollection");

// ---- TCollectionItem ----

// The item joins silently: it is not complete yet. Add() announces it (Notify, Update).
TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection) collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::BeforeDestruction() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
  if (FCollection == value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this, true);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value) {
  int cur = Index();
  if (cur < 0 || value < 0 || value == cur) return;
  if (value >= FCollection->Count()) value = FCollection->Count() - 1;
  FCollection->MoveItem(cur, value);
  Changed(true);
}

String TCollectionItem::DisplayName() const { return String(ClassName()); }

void TCollectionItem::SetDisplayName(StringView) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

String TCollectionItem::GetNamePath() const {
  if (!FCollection) return String(ClassName());
  return FCollection->GetNamePath() + u"[" + IntToStr(Index()) + u"]";
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(const TClass* itemClass) : FItemClass(itemClass) {
  if (!itemClass || !itemClass->InheritsFrom(&TCollectionItem::Class))
    throw EInvalidOperation("A collection needs a TCollectionItem class");
}

TCollection::~TCollection() {
  FUpdateCount = 1;
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  TObject* obj = FItemClass->Create(this);
  auto* item = dynamic_cast<TCollectionItem*>(obj);
  if (!item || item->FCollection != this) {
    delete obj;
    throw EInvalidOperation(u"Class " + String(FItemClass->ClassName()) + u" did not create an item of this collection");
  }
  Notify(item, cnAdded);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  while (!FItems.empty()) delete FItems.back();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
  return FItems[static_cast<size_t>(index)];
}

void TCollection::SetItems(int index, TCollectionItem* value) { Items(index)->Assign(value); }

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

void TCollection::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCollection*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  Clear();
  for (TCollectionItem* item : other->FItems) Add()->Assign(item);
}

String TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return String(ClassName());
  String path = owner->GetNamePath();
  if (path.empty()) return String(ClassName());
  // The owner's published property that holds this collection.
  for (const TPropInfo* p : GetPropList(owner->ClassType()))
    if (p->Kind == pkCollection && std::get<TObject*>(p->Get(owner)) == this) return path + u"." + p->Name;
  return String(ClassName());
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item, bool announce) {
  if (announce && !item->InheritsFrom(FItemClass))
    throw EInvalidOperation(u"A " + String(item->ClassName()) + u" cannot join a collection of " +
                            String(FItemClass->ClassName()));
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  if (!announce) return;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  FItems.erase(std::find(FItems.begin(), FItems.end(), item));
  item->FCollection = nullptr;
  Changed();
}

void TCollection::MoveItem(int from, int to) {
  TCollectionItem* item = FItems[static_cast<size_t>(from)];
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, item);
}

}  // namespace vcl
