#include "host/classes/Object.h"

#include <algorithm>
#include <vector>

namespace vcl {

const TClass TObject::Class(u"TObject", nullptr);

bool TClass::InheritsFrom(const TClass* ancestor) const {
  for (const TClass* c = this; c; c = c->FParent)
    if (c == ancestor) return true;
  return false;
}

bool TClass::ClassNameIs(StringView name) const { return detail::SameTextIgnoreCase(FName, name); }

TObject* TClass::Create(TObject* arg) const {
  if (!FCreate) throw EInvalidOperation(u"Cannot create an instance of " + String(FName));
  return FCreate(arg);
}

void TObject::operator delete(TObject* p, std::destroying_delete_t) {
  // Give the complete object a last look (components mark themselves destroying and tell
  // their owned components), then destroy and free it from its most derived address.
  void* block = dynamic_cast<void*>(p);
  p->BeforeDestruction();
  p->~TObject();
  ::operator delete(block);
}

// ---- registry ----

namespace {
std::vector<const TClass*>& Registry() {
  static std::vector<const TClass*> classes;
  return classes;
}

const TClass* Lookup(StringView name) {
  for (const TClass* c : Registry())
    if (c->ClassNameIs(name)) return c;
  return nullptr;
}
}  // namespace

void RegisterClass(const TClass* c) {
  for (; c; c = c->ClassParent()) {
    const TClass* known = Lookup(c->ClassName());
    if (known == c) continue;
    if (known) throw EFilerError(u"A class named " + String(c->ClassName()) + u" already exists");
    Registry().push_back(c);
  }
}

void RegisterClasses(std::initializer_list<const TClass*> classes) {
  for (const TClass* c : classes) RegisterClass(c);
}

void UnRegisterClass(const TClass* c) {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), c), r.end());
}

const TClass* GetClass(StringView name) { return Lookup(name); }

const TClass* FindClass(StringView name) {
  if (const TClass* c = Lookup(name)) return c;
  throw EClassNotFound(u"Class " + String(name) + u" not found");
}

// ---- identifiers ----

namespace detail {
namespace {
char32_t Fold(char32_t c) {
  if (c >= u'a' && c <= u'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;  // Latin-1
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 32;  // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}
}  // namespace

int CompareTextIgnoreCase(StringView a, StringView b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char32_t x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
}  // namespace detail

bool IsValidIdent(StringView s) {
  auto alpha = [](Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; };
  if (s.empty() || !alpha(s[0])) return false;
  for (Char c : s)
    if (!alpha(c) && !(c >= u'0' && c <= u'9')) return false;
  return true;
}

}  // namespace vcl
