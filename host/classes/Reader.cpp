// TReader: builds components from a parsed window description.
#include <algorithm>
#include <new>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/ScopeGuards.h"
#include "host/rtl/Streams.h"

namespace vcl {

namespace {
// Errors the reader raises itself; they already carry their position.
class EFormError : public EReadError {
 public:
  using EReadError::EReadError;
};

std::vector<StringView> SplitDots(StringView s) {
  std::vector<StringView> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i)
    if (i == s.size() || s[i] == u'.') {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}
}  // namespace

// Keeps the list of components a read touches, in order, and forgets those that get freed.
class TReader::TTracker : public TComponent {
 public:
  struct TEntry {
    TComponent* C;
    bool Created;
  };
  std::vector<TEntry> Entries;

  TTracker() : TComponent(nullptr) {}
  ~TTracker() override { Release(); }

  void Track(TComponent* c, bool created) {
    for (const TEntry& e : Entries)
      if (e.C == c) return;
    Entries.push_back({c, created});
    c->FreeNotification(this);
  }
  bool Alive(TComponent* c) const {
    for (const TEntry& e : Entries)
      if (e.C == c) return c != nullptr;
    return false;
  }
  void Release() {
    for (TEntry& e : Entries)
      if (e.C) e.C->RemoveFreeNotification(this);
    Entries.clear();
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove)
      for (TEntry& e : Entries)
        if (e.C == c) e.C = nullptr;
  }
};

TReader::TReader(StringView sourceName) : FSource(sourceName) {}
TReader::~TReader() = default;

void TReader::Error(TFormPos pos, StringView message) const {
  String s = FormPosText(FSource, pos);
  if (!FContext.empty()) s += u"Error reading " + FContext + u": ";
  throw EFormError(s + String(message));
}

template <class F>
void TReader::Guard(TFormPos pos, F&& f) {
  try {
    f();
  } catch (const EFormError&) {
    throw;
  } catch (const Exception& e) {
    Error(pos, e.Message());
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    Error(pos, Utf8ToString(e.what()));
  }
}

// ---- components ----

TComponent* TReader::ReadRootComponent(const TFormObject& data, TComponent* root) {
  TTracker tracker;
  FTracker = &tracker;
  FFixups.clear();
  FContext = data.Name.empty() ? data.ClassName : data.Name;
  bool createdRoot = false;
  try {
    if (!root) {
      root = CreateComponent(data.ClassName, nullptr, data.Pos);
      createdRoot = true;
    }
    FRoot = FLookupRoot = root;
    FDefaultOwner = FCurOwner = FOwner ? FOwner : root;
    FParent = nullptr;
    tracker.Track(root, createdRoot);
    root->FComponentState += TComponentState{csLoading, csReading};
    if (!data.Name.empty() && root->Name() != data.Name)
      Guard(data.Pos, [&] { root->SetName(data.Name); });
    FCurrent = &data;
    FHolder = root;
    FReading = {root};
    Guard(data.Pos, [&] { root->ReadState(*this); });
    FContext.clear();
    ResolveFixups();
    for (const TTracker::TEntry& e : tracker.Entries)
      if (e.C) e.C->FComponentState.Exclude(csReading);
    // Loaded may free or create components: walk by index over the list as it was.
    for (size_t i = 0; i < tracker.Entries.size(); ++i) {
      TComponent* c = tracker.Entries[i].C;
      if (!c) continue;
      Guard(data.Pos, [&] { c->Loaded(); });
      if (tracker.Alive(c)) c->FComponentState.Exclude(csLoading);
    }
  } catch (...) {
    // Free what this read created, newest first; leave the rest as it is, not loading.
    for (size_t i = tracker.Entries.size(); i-- > 0;) {
      TComponent* c = tracker.Entries[i].C;
      if (!c) continue;
      if (tracker.Entries[i].Created) {
        if (c != root || createdRoot) delete c;
      } else {
        c->FComponentState -= TComponentState{csLoading, csReading};
      }
    }
    FTracker = nullptr;
    FCurrent = nullptr;
    FFixups.clear();
    throw;
  }
  FTracker = nullptr;
  FCurrent = nullptr;
  return root;
}

TComponent* TReader::CreateComponent(const String& className, TComponent* owner, TFormPos pos) {
  const TClass* cls = GetClass(className);
  if (!cls) Error(pos, u"Class " + className + u" not found");
  if (!cls->InheritsFrom(&TComponent::Class) || !cls->CanCreate())
    Error(pos, u"Class " + className + u" is not a component class that can be created");
  TObject* obj = nullptr;
  Guard(pos, [&] { obj = cls->Create(owner); });
  auto* c = dynamic_cast<TComponent*>(obj);
  if (!c) {
    delete obj;
    Error(pos, u"Class " + className + u" did not create a component");
  }
  return c;
}

void TReader::ReadData(TComponent* instance) {
  if (!FCurrent || !instance) throw EReadError("TReader::ReadData called outside of a read");
  const TFormObject& node = *FCurrent;
  TComponent* savedHolder = FHolder;
  FHolder = instance;
  for (const TFormProperty& p : node.Props) ReadProperty(instance, p);
  FHolder = savedHolder;
  TComponent* savedParent = FParent;
  TComponent* savedOwner = FCurOwner;
  FParent = instance->GetChildParent();
  TComponent* childOwner = instance->GetChildOwner();
  FCurOwner = childOwner ? childOwner : FDefaultOwner;
  for (const TFormObject& child : node.Children) ReadComponentNode(child);
  FParent = savedParent;
  FCurOwner = savedOwner;
}

void TReader::ReadComponentNode(const TFormObject& node) {
  String savedContext = FContext;
  FContext = node.Name.empty() ? node.ClassName : node.Name;
  TComponent* c = nullptr;
  bool created = false;
  if (node.Flags.Contains(ffInherited) || node.Flags.Contains(ffInline)) c = FCurOwner->FindComponent(node.Name);
  if (!c && node.Flags.Contains(ffInherited))
    Error(node.Pos, u"Inherited component " + node.Name + u" not found");
  if (!c) {
    c = CreateComponent(node.ClassName, FCurOwner, node.Pos);
    created = true;
  } else if (std::find(FReading.begin(), FReading.end(), c) != FReading.end()) {
    Error(node.Pos, u"Component " + node.Name + u" cannot be read inside itself");
  }
  FTracker->Track(c, created);
  c->FComponentState += TComponentState{csLoading, csReading};
  if (node.Flags.Contains(ffInline)) c->FComponentState.Include(csInline);
  if (created) Guard(node.Pos, [&] { c->SetName(node.Name); });
  if (FParent) {
    Guard(node.Pos, [&] { c->SetParentComponent(FParent); });
    if (node.Flags.Contains(ffChildPos))
      Guard(node.Pos, [&] { FParent->SetChildOrder(c, static_cast<int>(std::clamp<Int64>(node.ChildPos, 0, INT32_MAX))); });
  }
  const TFormObject* saved = FCurrent;
  FCurrent = &node;
  FReading.push_back(c);
  Guard(node.Pos, [&] { c->ReadState(*this); });
  FReading.pop_back();
  FCurrent = saved;
  if (FTracker->Alive(c)) c->FComponentState.Exclude(csReading);
  FContext = std::move(savedContext);
}

// ---- properties ----

void TReader::ReadProperty(TPersistent* instance, const TFormProperty& p) {
  String savedContext = FContext;
  FContext += u"." + p.Name;
  std::vector<StringView> path = SplitDots(p.Name);
  TPersistent* obj = instance;
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    String seg(path[i]);
    const TPropInfo* pi = GetPropInfo(obj->ClassType(), seg);
    if (!pi) Error(p.Pos, u"Property " + seg + u" does not exist");
    if (!pi->IsObjectKind()) Error(p.Pos, u"Property " + seg + u" is not an object");
    TObject* sub = nullptr;
    Guard(p.Pos, [&] { sub = std::get<TObject*>(pi->Get(obj)); });
    if (pi->Kind == pkComponent) {
      auto* sc = dynamic_cast<TComponent*>(sub);
      if (sc && !sc->ComponentStyle().Contains(csSubComponent))
        Error(p.Pos, u"Property " + seg + u" refers to another component");
    }
    obj = dynamic_cast<TPersistent*>(sub);
    if (!obj) Error(p.Pos, u"Property " + seg + u" has no object");
  }
  String last(path.back());
  if (const TPropInfo* pi = GetPropInfo(obj->ClassType(), last)) {
    ReadPropValue(obj, *pi, p.Value);
  } else {
    StringView savedName = FDefName;
    const TFormProperty* savedProp = FDefProp;
    bool savedFound = FDefFound;
    FDefName = last;
    FDefProp = &p;
    FDefFound = false;
    Guard(p.Pos, [&] { obj->DefineProperties(this); });
    bool found = FDefFound;
    FDefName = savedName;
    FDefProp = savedProp;
    FDefFound = savedFound;
    if (!found) Error(p.Pos, u"Property " + last + u" does not exist");
  }
  FContext = std::move(savedContext);
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& prop, const TFormValue& v) {
  auto invalid = [&](StringView expected) {
    Error(v.Pos, u"Invalid property value " + FormValueText(v) + u": " + String(expected) + u" expected");
  };
  auto set = [&](const TPropValue& value) {
    if (!prop.Set) Error(v.Pos, u"Property " + prop.Name + u" is read-only");
    Guard(v.Pos, [&] { prop.Set(instance, value); });
  };
  switch (prop.Kind) {
    case pkInteger:
    case pkCardinal:
    case pkInt64: {
      Int64 n = 0;
      if (v.IsInteger()) {
        n = v.Int;
      } else if (v.Type == vaIdent && !prop.IdentType.empty()) {
        Integer i = 0;
        if (!IdentToInt(prop.IdentType, v.Str, i))
          Error(v.Pos, u"Invalid property value " + v.Str + u": not a " + prop.IdentType + u" identifier");
        n = i;
      } else {
        invalid(prop.IdentType.empty() ? u"an integer" : u"an integer or a " + prop.IdentType + u" identifier");
      }
      if (prop.Kind != pkInt64) {
        if (n < INT32_MIN || n > static_cast<Int64>(UINT32_MAX))
          Error(v.Pos, u"Invalid property value " + IntToStr(n) + u": out of the 32-bit range");
        auto bits = static_cast<std::uint32_t>(n);
        n = prop.Kind == pkInteger ? static_cast<Int64>(static_cast<std::int32_t>(bits)) : static_cast<Int64>(bits);
      }
      set(n);
      break;
    }
    case pkEnumeration: {
      if (v.Type != vaIdent) invalid(u"a " + prop.EnumType->TypeName() + u" value");
      int index = prop.EnumType->IndexOf(v.Str);
      if (index < 0) Error(v.Pos, u"Invalid property value " + v.Str + u": not a " + prop.EnumType->TypeName() + u" value");
      set(Int64(index));
      break;
    }
    case pkSet: {
      if (v.Type != vaSet) invalid(u"a set");
      UInt64 bits = 0;
      for (const TFormValue& e : v.Items) {
        int index = prop.EnumType->IndexOf(e.Str);
        if (index < 0 || index >= 64)
          Error(e.Pos, u"Invalid set element " + e.Str + u": not a " + prop.EnumType->TypeName() + u" value");
        bits |= UInt64(1) << index;
      }
      set(static_cast<Int64>(bits));
      break;
    }
    case pkBoolean:
      if (v.Type == vaTrue || (v.Type == vaIdent && detail::SameTextIgnoreCase(v.Str, u"True"))) set(Int64(1));
      else if (v.Type == vaFalse || (v.Type == vaIdent && detail::SameTextIgnoreCase(v.Str, u"False"))) set(Int64(0));
      else invalid(u"True or False");
      break;
    case pkChar:
      if (!v.IsString() || v.Str.size() != 1) invalid(u"a single character");
      set(Int64(v.Str[0]));
      break;
    case pkString:
      if (!v.IsString()) invalid(u"a string");
      set(v.Str);
      break;
    case pkFloat:
      if (!v.IsFloat() && !v.IsInteger()) invalid(u"a number");
      set(v.AsFloat());
      break;
    case pkComponent:
    case pkMethod:
      if (v.Type == vaNil) {
        set(prop.Kind == pkMethod ? TPropValue(TMethod{}) : TPropValue(static_cast<TObject*>(nullptr)));
      } else if (v.Type == vaIdent) {
        if (!prop.Set) Error(v.Pos, u"Property " + prop.Name + u" is read-only");
        FFixups.push_back({instance, &prop, v.Str, v.Pos, FContext, FHolder});
      } else {
        invalid(prop.Kind == pkMethod ? u"a method name" : u"a component name");
      }
      break;
    case pkCollection: {
      if (v.Type != vaCollection) invalid(u"a collection");
      TObject* obj = nullptr;
      Guard(v.Pos, [&] { obj = std::get<TObject*>(prop.Get(instance)); });
      auto* coll = dynamic_cast<TCollection*>(obj);
      if (!coll) Error(v.Pos, u"Property " + prop.Name + u" has no collection");
      ReadCollectionItems(coll, v);
      break;
    }
    case pkPersistent:
      Error(v.Pos, u"Property " + prop.Name + u" is an object; store its properties as " + prop.Name + u".Name = value");
  }
}

void TReader::ReadCollectionItems(TCollection* collection, const TFormValue& v) {
  collection->BeginUpdate();
  TFinally updated([collection] { collection->EndUpdate(); });
  Guard(v.Pos, [&] { collection->Clear(); });
  String base = FContext;
  for (size_t i = 0; i < v.Collection.size(); ++i) {
    const TFormItem& item = v.Collection[i];
    TCollectionItem* it = nullptr;
    FContext = base + u"[" + IntToStr(static_cast<Int64>(i)) + u"]";
    Guard(item.Pos, [&] { it = collection->Add(); });
    for (const TFormProperty& p : item.Props) ReadProperty(it, p);
  }
  FContext = base;
}

// ---- fix-ups ----

TComponent* TReader::ResolveReference(StringView name) const {
  std::vector<StringView> path = SplitDots(name);
  TComponent* c = FRoot->FindComponent(path[0]);
  if (!c && FDefaultOwner != FRoot) c = FDefaultOwner->FindComponent(path[0]);
  if (!c && detail::SameTextIgnoreCase(path[0], FRoot->Name())) c = FRoot;
  if (!c) c = FindGlobalComponent(path[0]);
  for (size_t i = 1; c && i < path.size(); ++i) c = c->FindComponent(path[i]);
  return c;
}

void TReader::ResolveFixups() {
  std::vector<TFixup> fixups = std::move(FFixups);
  FFixups.clear();
  for (const TFixup& f : fixups) {
    if (!FTracker->Alive(f.Holder)) continue;
    FContext = f.Context;
    if (f.Prop->Kind == pkMethod) {
      const TMethodEntry* m = FindMethod(FRoot->ClassType(), f.Name);
      if (!m) Error(f.Pos, u"Method " + f.Name + u" not found in " + String(FRoot->ClassName()));
      if (m->Signature != f.Prop->Signature)
        Error(f.Pos, u"Method " + f.Name + u" does not match the type of event " + f.Prop->Name);
      Guard(f.Pos, [&] { f.Prop->Set(f.Instance, TMethod{FRoot, m->Code}); });
    } else {
      TComponent* c = ResolveReference(f.Name);
      if (!c) Error(f.Pos, u"Component " + f.Name + u" not found");
      Guard(f.Pos, [&] { f.Prop->Set(f.Instance, static_cast<TObject*>(c)); });
    }
  }
  FContext.clear();
}

// ---- values of defined properties ----

void TReader::DefineProperty(StringView name, const TReaderProc& readData, const TWriterProc&, bool) {
  if (!FDefProp || FDefFound || !detail::SameTextIgnoreCase(name, FDefName)) return;
  FDefFound = true;
  if (!readData) return;
  const TFormValue* savedTop = FTop;
  bool savedRead = FTopRead;
  auto savedFrames = std::move(FFrames);
  FTop = &FDefProp->Value;
  FTopRead = false;
  FFrames.clear();
  readData(*this);
  if (!FFrames.empty()) Error(FDefProp->Pos, u"The value of " + String(name) + u" was not read to its end");
  FTop = savedTop;
  FTopRead = savedRead;
  FFrames = std::move(savedFrames);
}

void TReader::DefineBinaryProperty(StringView name, const TStreamProc& readData, const TStreamProc&, bool) {
  if (!FDefProp || FDefFound || !detail::SameTextIgnoreCase(name, FDefName)) return;
  FDefFound = true;
  const TFormValue& v = FDefProp->Value;
  if (v.Type != vaBinary) Error(v.Pos, u"Invalid property value " + FormValueText(v) + u": binary data expected");
  if (!readData) return;
  TCustomMemoryStream stream(v.Bytes.data(), static_cast<Int64>(v.Bytes.size()));
  readData(stream);
}

const TFormValue& TReader::Next(StringView what) {
  const TFormValue* v = nullptr;
  if (!FFrames.empty()) {
    auto& [list, index] = FFrames.back();
    if (index < list->size()) v = &(*list)[index++];
  } else if (FTop && !FTopRead) {
    v = FTop;
    FTopRead = true;
  }
  if (!v) {
    if (!FDefProp) throw EReadError("No property value is being read");
    Error(FDefProp->Pos, String(what) + u" expected but the value ended");
  }
  return *v;
}

TValueType TReader::NextValue() {
  if (!FFrames.empty()) {
    auto& [list, index] = FFrames.back();
    return index < list->size() ? (*list)[index].Type : vaNull;
  }
  return FTop && !FTopRead ? FTop->Type : vaNull;
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::ReadListBegin() {
  const TFormValue& v = Next(u"A list");
  if (v.Type != vaList) Error(v.Pos, u"List expected but " + FormValueText(v) + u" found");
  FFrames.emplace_back(&v.Items, 0);
}

void TReader::ReadListEnd() {
  if (FFrames.empty()) Error(FDefProp ? FDefProp->Pos : TFormPos{}, u"End of list without a list");
  auto& [list, index] = FFrames.back();
  if (index < list->size()) Error((*list)[index].Pos, u"End of list expected");
  FFrames.pop_back();
}

Int64 TReader::ReadInt64() {
  const TFormValue& v = Next(u"An integer");
  if (!v.IsInteger()) Error(v.Pos, u"Integer expected but " + FormValueText(v) + u" found");
  return v.Int;
}

Integer TReader::ReadInteger() {
  const TFormValue& v = Next(u"An integer");
  if (!v.IsInteger() || v.Int < INT32_MIN || v.Int > INT32_MAX)
    Error(v.Pos, u"Integer expected but " + FormValueText(v) + u" found");
  return static_cast<Integer>(v.Int);
}

bool TReader::ReadBoolean() {
  const TFormValue& v = Next(u"A Boolean");
  if (v.Type != vaTrue && v.Type != vaFalse) Error(v.Pos, u"True or False expected but " + FormValueText(v) + u" found");
  return v.Type == vaTrue;
}

double TReader::ReadFloat() {
  const TFormValue& v = Next(u"A number");
  if (!v.IsFloat() && !v.IsInteger()) Error(v.Pos, u"Number expected but " + FormValueText(v) + u" found");
  return v.AsFloat();
}

String TReader::ReadString() {
  const TFormValue& v = Next(u"A string");
  if (!v.IsString()) Error(v.Pos, u"String expected but " + FormValueText(v) + u" found");
  return v.Str;
}

String TReader::ReadIdent() {
  const TFormValue& v = Next(u"An identifier");
  switch (v.Type) {
    case vaIdent: return v.Str;
    case vaTrue: return u"True";
    case vaFalse: return u"False";
    case vaNil: return u"nil";
    default: Error(v.Pos, u"Identifier expected but " + FormValueText(v) + u" found");
  }
}

Char TReader::ReadChar() {
  const TFormValue& v = Next(u"A character");
  if (!v.IsString() || v.Str.size() != 1) Error(v.Pos, u"Character expected but " + FormValueText(v) + u" found");
  return v.Str[0];
}

std::vector<Byte> TReader::ReadBytes() {
  const TFormValue& v = Next(u"Binary data");
  if (v.Type != vaBinary) Error(v.Pos, u"Binary data expected but " + FormValueText(v) + u" found");
  return v.Bytes;
}

const TFormValue& TReader::ReadValue() { return Next(u"A value"); }

void TReader::ReadCollection(TCollection* collection) {
  const TFormValue& v = Next(u"A collection");
  if (v.Type != vaCollection) Error(v.Pos, u"Collection expected but " + FormValueText(v) + u" found");
  ReadCollectionItems(collection, v);
}

}  // namespace vcl
