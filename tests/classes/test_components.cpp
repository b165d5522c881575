#include <gtest/gtest.h>

#include <memory>

#include "TestClasses.h"

using namespace vcl;
using namespace kxtest;

namespace {
TWidget* Make(TComponent* owner, const char16_t* name) {
  auto* w = new TWidget(owner);
  w->SetName(name);
  return w;
}

// Records the notifications it receives.
class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<std::pair<String, TOperation>> Seen;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    Seen.emplace_back(c->Name(), op);
  }
};
}  // namespace

TEST(Components, OwnerFreesOwnedLastToFirstWhileTheyKnowTheyAreDestroying) {
  Log().clear();
  auto* form = new TTestForm(nullptr);
  Make(form, u"A");
  TWidget* b = Make(form, u"B");
  Make(form, u"C");
  EXPECT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(1), b);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(b->Owner(), form);
  try {
    form->Components(5);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), u"List index out of bounds (5)");
  }
  b->SetComponentIndex(0);
  EXPECT_EQ(form->Components(0), b);
  delete form;
  EXPECT_EQ(Log(), (std::vector<std::string>{"~C destroying", "~A destroying", "~B destroying"}));
}

TEST(Components, DeletingOneLeavesTheOwner) {
  TTestForm form(nullptr);
  TWidget* a = Make(&form, u"A");
  Make(&form, u"B");
  delete a;
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0)->Name(), u"B");
  EXPECT_EQ(form.FindComponent(u"A"), nullptr);
}

TEST(Components, FreeNotificationClearsReferencesAcrossOwners) {
  auto* formA = new TTestForm(nullptr);
  auto* formB = new TTestForm(nullptr);
  TWidget* holder = Make(formA, u"Holder");
  TWidget* target = Make(formB, u"Target");
  holder->SetBuddy(target);
  target->SetBuddy(holder);  // and the other way
  delete target;
  EXPECT_EQ(holder->Buddy(), nullptr);
  // The holder's link to the freed target is gone: freeing it now must not touch the target.
  TWidget* second = Make(formB, u"Second");
  holder->SetBuddy(second);
  second->SetBuddy(holder);
  delete formA;  // frees the holder; the second widget forgets it
  EXPECT_EQ(second->Buddy(), nullptr);
  delete formB;
}

TEST(Components, SiblingReferencesAreClearedWhicheverGoesFirst) {
  for (int order = 0; order < 2; ++order) {
    auto* form = new TTestForm(nullptr);
    TWidget* a = Make(form, u"A");
    TWidget* b = Make(form, u"B");
    a->SetBuddy(b);
    b->SetBuddy(a);
    if (order == 0) {
      delete b;
      EXPECT_EQ(a->Buddy(), nullptr);
    } else {
      delete a;
      EXPECT_EQ(b->Buddy(), nullptr);
    }
    delete form;
  }
}

TEST(Components, RemoveFreeNotificationStopsTheMessage) {
  TTestForm form1(nullptr), form2(nullptr);
  auto* watcher = new TWatcher(&form1);
  TWidget* w = Make(&form2, u"W");
  w->FreeNotification(watcher);
  w->RemoveFreeNotification(watcher);
  delete w;
  EXPECT_TRUE(watcher->Seen.empty());
  TWidget* v = Make(&form2, u"V");
  v->FreeNotification(watcher);
  delete v;
  ASSERT_EQ(watcher->Seen.size(), 1u);
  EXPECT_EQ(watcher->Seen[0], std::make_pair(String(u"V"), opRemove));
}

TEST(Components, OwnersPassInsertAndRemoveToTheirComponents) {
  TTestForm form(nullptr);
  auto* watcher = new TWatcher(&form);
  TWidget* w = Make(nullptr, u"Loose");
  form.InsertComponent(w);
  EXPECT_EQ(w->Owner(), &form);
  form.RemoveComponent(w);
  EXPECT_EQ(w->Owner(), nullptr);
  ASSERT_EQ(watcher->Seen.size(), 2u);
  EXPECT_EQ(watcher->Seen[0], std::make_pair(String(u"Loose"), opInsert));
  EXPECT_EQ(watcher->Seen[1], std::make_pair(String(u"Loose"), opRemove));
  delete w;
}

TEST(Components, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
  TTestForm form(nullptr);
  TWidget* a = Make(&form, u"Button1");
  TWidget* b = Make(&form, u"Button2");
  try {
    b->SetName(u"BUTTON1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), u"A component named BUTTON1 already exists");
  }
  EXPECT_EQ(b->Name(), u"Button2");
  for (const char16_t* bad : {u"1abc", u"a b", u"a.b", u"é"}) {
    try {
      b->SetName(bad);
      FAIL() << StringToUtf8(bad);
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), u"'" + String(bad) + u"' is not a valid component name");
    }
  }
  a->SetName(u"BUTTON1");  // a new spelling of its own name
  EXPECT_EQ(a->Name(), u"BUTTON1");
  b->SetName(u"");         // unnamed is fine, also twice
  Make(&form, u"")->SetName(u"");
  EXPECT_EQ(form.FindComponent(u"button1"), a);
  EXPECT_EQ(form.FindComponent(u""), nullptr);
  EXPECT_EQ(form.FindComponent(u"Button2"), nullptr);

  // A component whose name is taken cannot join, and stays where it was.
  TTestForm other(nullptr);
  TWidget* dup = Make(&other, u"button1");
  EXPECT_THROW(form.InsertComponent(dup), EComponentError);
  EXPECT_EQ(dup->Owner(), &other);
}

TEST(Components, GlobalRootsAreFoundByNameUntilFreed) {
  auto* root = new TTestForm(nullptr);
  root->SetName(u"Form7");
  RegisterGlobalRoot(root);
  EXPECT_EQ(FindGlobalComponent(u"form7"), root);
  delete root;
  EXPECT_EQ(FindGlobalComponent(u"Form7"), nullptr);
}

TEST(Components, StateFlagsAndTag) {
  TTestForm form(nullptr);
  TWidget* w = Make(&form, u"W");
  w->SetTag(-42);
  EXPECT_EQ(w->Tag(), -42);
  form.SetDesigning(true);
  EXPECT_TRUE(w->ComponentState().Contains(csDesigning));
  TWidget* later = Make(&form, u"Later");
  EXPECT_TRUE(later->ComponentState().Contains(csDesigning));
  form.SetDesigning(false);
  EXPECT_FALSE(w->ComponentState().Contains(csDesigning));
  w->Updating();
  EXPECT_TRUE(w->ComponentState().Contains(csUpdating));
  w->Updated();
  EXPECT_FALSE(w->ComponentState().Contains(csUpdating));
  EXPECT_EQ(w->ComponentStyle(), TComponentStyle{csInheritable});
}
