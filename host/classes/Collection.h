// TCollection: an ordered list of items of one class, owned by a persistent object and stored
// in window descriptions as `Items = < item ... end >`.
//
// A collection of TkxEditButton items owned by a control:
//   FButtons = new TOwnedCollection(this, &TkxEditButton::Class);
// with `TkxEditButton(TCollection* c) : TCollectionItem(c) {}` as the item constructor.
#pragma once
#include <vector>

#include "host/classes/Persistent.h"

namespace vcl {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // Joins `collection` without announcing itself; create items with TCollection::Add, which
  // calls Notify(cnAdded) and Update once the item is complete.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  void BeforeDestruction() override;  // leaves the collection while still complete

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (nullptr: to none).
  void SetCollection(TCollection* value);
  int Index() const;
  // Moves the item within its collection.
  virtual void SetIndex(int value);
  int ID() const { return FID; }
  virtual String DisplayName() const;
  virtual void SetDisplayName(StringView value);

  TPersistent* GetOwner() const override;
  String GetNamePath() const override;  // "Form1.Grid1.Columns[2]"

 protected:
  // Tells the collection that this item (allItems false) or the whole collection changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // `itemClass` must descend from TCollectionItem and be creatable from a collection.
  explicit TCollection(const TClass* itemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  void BeginUpdate();
  // The outermost EndUpdate calls Update(nullptr) once.
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int index) const;  // EListError when out of range
  void SetItems(int index, TCollectionItem* value);  // assigns `value` to the item
  TCollectionItem* FindItemID(int id) const;
  const TClass* ItemClass() const { return FItemClass; }

  // From another collection: the same number of items, each assigned from its counterpart.
  void Assign(TPersistent* source) override;
  String GetNamePath() const override;

 protected:
  // A change of one item, or of the collection when `item` is nullptr.
  virtual void Update(TCollectionItem* item) {}
  virtual void Notify(TCollectionItem* item, TCollectionNotification action) {}
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item, bool announce);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(int from, int to);

  const TClass* FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection that knows its owner (for name paths and GetOwner).
class TOwnedCollection : public TCollection {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  TOwnedCollection(TPersistent* owner, const TClass* itemClass)
      : TCollection(itemClass), FOwner(owner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

}  // namespace vcl
