#include <gtest/gtest.h>

#include "TestClasses.h"

using namespace vcl;
using namespace kxtest;

namespace {
class TCountingCollection : public TCollection {
 public:
  TCountingCollection() : TCollection(&TWidgetItem::Class) {}
  std::vector<TCollectionItem*> Updates;
  std::vector<std::pair<String, TCollectionNotification>> Notes;
  TWidgetItem* At(int i) const { return static_cast<TWidgetItem*>(Items(i)); }
  TWidgetItem* AddNamed(const char16_t* caption) {
    BeginUpdate();  // adding and naming make one update
    auto* item = static_cast<TWidgetItem*>(Add());
    item->SetCaption(caption);
    EndUpdate();
    return item;
  }
  std::vector<String> Captions() const {
    std::vector<String> c;
    for (int i = 0; i < Count(); ++i) c.push_back(At(i)->Caption());
    return c;
  }

 protected:
  void Update(TCollectionItem* item) override { Updates.push_back(item); }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    Notes.emplace_back(static_cast<TWidgetItem*>(item)->Caption(), action);
  }
};
}  // namespace

TEST(Collections, AddInsertDeleteAndMove) {
  TCountingCollection c;
  TWidgetItem* a = c.AddNamed(u"a");
  TWidgetItem* b = c.AddNamed(u"b");
  c.AddNamed(u"c");
  auto* inserted = static_cast<TWidgetItem*>(c.Insert(1));
  inserted->SetCaption(u"x");
  EXPECT_EQ(c.Captions(), (std::vector<String>{u"a", u"x", u"b", u"c"}));
  EXPECT_EQ(b->Index(), 2);
  EXPECT_EQ(b->Collection(), &c);
  // IDs stay with the items and are never reused.
  EXPECT_EQ(a->ID(), 0);
  EXPECT_EQ(inserted->ID(), 3);
  EXPECT_EQ(c.FindItemID(3), inserted);
  a->SetIndex(3);
  EXPECT_EQ(c.Captions(), (std::vector<String>{u"x", u"b", u"c", u"a"}));
  a->SetIndex(99);  // clamped to the end
  EXPECT_EQ(a->Index(), 3);
  c.Delete(0);
  delete b;  // an item may also be freed directly
  EXPECT_EQ(c.Captions(), (std::vector<String>{u"c", u"a"}));
  EXPECT_EQ(static_cast<TWidgetItem*>(c.Add())->ID(), 4);
  try {
    c.Items(7);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"List index out of bounds (7)");
  }
  EXPECT_THROW(c.Delete(-1), EListError);
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
}

TEST(Collections, NestedUpdatesEndInOneUpdateOfTheWhole) {
  TCountingCollection c;
  c.AddNamed(u"a");
  c.Updates.clear();
  c.BeginUpdate();
  c.BeginUpdate();
  c.AddNamed(u"b");
  c.At(0)->SetValue(5);
  c.EndUpdate();
  EXPECT_TRUE(c.Updates.empty());
  c.Delete(0);
  c.EndUpdate();
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
  // Outside an update: a change of one item names it; a move updates everything.
  c.Updates.clear();
  TWidgetItem* b = c.At(0);
  b->SetValue(7);
  c.AddNamed(u"c");
  b->SetIndex(1);
  EXPECT_EQ(c.Updates, (std::vector<TCollectionItem*>{b, nullptr, nullptr}));
  // Clear is one update as well.
  c.Updates.clear();
  c.Clear();
  EXPECT_EQ(c.Updates, std::vector<TCollectionItem*>{nullptr});
}

TEST(Collections, NotifyTellsOfAddingAndDeleting) {
  TCountingCollection c;
  c.AddNamed(u"a");  // announced before the caption is set
  c.AddNamed(u"b");
  c.Notes.clear();
  c.Delete(0);
  delete c.Items(0);
  using N = std::pair<String, TCollectionNotification>;
  EXPECT_EQ(c.Notes, (std::vector<N>{{u"a", cnDeleting}, {u"a", cnExtracting}, {u"b", cnExtracting}}));
}

TEST(Collections, AssignCopiesItemsAndNamePathsNameTheOwner) {
  TTestForm form(nullptr);
  auto* w = new TWidget(&form);
  w->SetName(u"Widget1");
  TCountingCollection src;
  src.AddNamed(u"one")->SetValue(1);
  src.AddNamed(u"two")->SetKind(kxsHot);
  w->Items()->Add();
  w->Items()->Assign(&src);
  ASSERT_EQ(w->Items()->Count(), 2);
  auto* second = static_cast<TWidgetItem*>(w->Items()->Items(1));
  EXPECT_EQ(second->Caption(), u"two");
  EXPECT_EQ(second->Kind(), kxsHot);
  EXPECT_EQ(static_cast<TWidgetItem*>(w->Items()->Items(0))->Value(), 1);
  EXPECT_EQ(second->GetNamePath(), u"Widget1.Items[1]");
  EXPECT_EQ(second->DisplayName(), u"two");
  EXPECT_EQ(w->Glow()->GetNamePath(), u"TGlow");
  TGlow glow;
  EXPECT_THROW(w->Items()->Assign(&glow), EConvertError);
  EXPECT_EQ(w->Items()->Count(), 2);
}

TEST(Collections, MovingAnItemToAnotherCollection) {
  TCountingCollection a, b;
  TWidgetItem* item = a.AddNamed(u"m");
  a.Updates.clear();
  item->SetCollection(&b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.At(0), item);
  EXPECT_EQ(a.Updates, std::vector<TCollectionItem*>{nullptr});
  TCollection glows(&TCollectionItem::Class);
  EXPECT_THROW(TCollection(&TGlow::Class), EInvalidOperation);  // not an item class
  EXPECT_THROW(glows.Items(0), EListError);
}
