#include "host/classes/TypInfo.h"

#include <algorithm>

namespace vcl {

// ---- class data ----

const TClassData& TClass::Data() const {
  if (!FData) {
    auto* d = new TClassData;  // lives as long as the program, like the class itself
    if (FParent) d->Props = FParent->Data().Props;
    if (FBuild) FBuild(*d, FPublish);
    for (const TPropInfo& own : d->OwnProps) {
      auto it = std::find_if(d->Props.begin(), d->Props.end(), [&](const TPropInfo* p) {
        return detail::SameTextIgnoreCase(p->Name, own.Name);
      });
      if (it != d->Props.end()) *it = &own;
      else d->Props.push_back(&own);
    }
    FData = d;
  }
  return *FData;
}

namespace detail {

TPropInfo& Publish(TClassData& data, TPropInfo info) {
  for (TPropInfo& p : data.OwnProps)
    if (SameTextIgnoreCase(p.Name, info.Name)) return p = std::move(info);
  data.OwnProps.push_back(std::move(info));
  return data.OwnProps.back();
}

TPropInfo CopyInherited(const TClassData& data, StringView name) {
  for (const TPropInfo* p : data.Props)
    if (SameTextIgnoreCase(p->Name, name)) return *p;
  throw EPropertyError(u"Inherited property " + String(name) + u" does not exist");
}

TPropValue NormalizeDefault(TPropKind kind, TPropValue v) {
  if (kind == pkFloat && std::holds_alternative<Int64>(v))
    return static_cast<double>(std::get<Int64>(v));
  bool ok = kind == pkFloat     ? std::holds_alternative<double>(v)
            : kind == pkString  ? std::holds_alternative<String>(v)
            : kind <= pkChar    ? std::holds_alternative<Int64>(v)
            : kind == pkMethod  ? std::holds_alternative<TMethod>(v)
                                : std::holds_alternative<TObject*>(v);
  if (!ok) throw EPropertyError("Default value does not fit the property's type");
  return v;
}

void RaiseClassMismatch(TObject* value, const TClass* expected) {
  throw EConvertError(u"Invalid class: " + String(value ? value->ClassName() : u"nil") +
                      u" is not a " + String(expected->ClassName()));
}

}  // namespace detail

// ---- properties ----

bool TPropInfo::IsStored(TObject* instance) const {
  switch (StoredMode) {
    case TStoredMode::Never: return false;
    case TStoredMode::Custom: return StoredFn(instance);
    default: return true;
  }
}

bool TPropInfo::IsDefaultValue(TObject* instance) const {
  if (StoredMode == TStoredMode::Always) return false;
  TPropValue v = Get(instance);
  switch (Kind) {
    case pkString:
      return std::get<String>(v) == (HasDefault ? std::get<String>(DefaultValue) : String());
    case pkFloat: return std::get<double>(v) == (HasDefault ? std::get<double>(DefaultValue) : 0.0);
    case pkComponent: return std::get<TObject*>(v) == nullptr;
    case pkMethod: return !std::get<TMethod>(v);
    case pkPersistent:
    case pkCollection: return false;
    default: return HasDefault && std::get<Int64>(v) == std::get<Int64>(DefaultValue);
  }
}

std::span<const TPropInfo* const> GetPropList(const TClass* c) { return c->Data().Props; }

const TPropInfo* GetPropInfo(const TClass* c, StringView name) {
  for (const TPropInfo* p : c->Data().Props)
    if (detail::SameTextIgnoreCase(p->Name, name)) return p;
  return nullptr;
}

const TMethodEntry* FindMethod(const TClass* c, StringView name) {
  for (; c; c = c->ClassParent())
    for (const TMethodEntry& m : c->Data().Methods)
      if (detail::SameTextIgnoreCase(m.Name, name)) return &m;
  return nullptr;
}

String MethodName(const TClass* c, const TMethodCode& code) {
  if (!code.Thunk) return {};
  for (; c; c = c->ClassParent())
    for (const TMethodEntry& m : c->Data().Methods)
      if (m.Code == code) return m.Name;
  return {};
}

static const TPropInfo& RequireProp(TObject* instance, StringView name) {
  const TPropInfo* p = instance ? GetPropInfo(instance->ClassType(), name) : nullptr;
  if (!p)
    throw EPropertyError(u"Property " + String(name) + u" does not exist in " +
                         String(instance ? instance->ClassName() : u"nil"));
  return *p;
}

TPropValue GetPropValue(TObject* instance, StringView name) {
  return RequireProp(instance, name).Get(instance);
}

void SetPropValue(TObject* instance, StringView name, const TPropValue& value) {
  const TPropInfo& p = RequireProp(instance, name);
  if (!p.Set) throw EPropertyError(u"Property " + String(name) + u" is read-only");
  p.Set(instance, detail::NormalizeDefault(p.Kind, value));
}

// ---- enumerations ----

TEnumInfo::TEnumInfo(StringView typeName, StringView names) : FTypeName(typeName) {
  size_t i = 0;
  while (i < names.size()) {
    while (i < names.size() && (names[i] == u' ' || names[i] == u',')) ++i;
    size_t start = i;
    while (i < names.size() && names[i] != u' ' && names[i] != u',') ++i;
    if (i > start) FNames.emplace_back(names.substr(start, i - start));
  }
}

const String& TEnumInfo::Name(int ordinal) const {
  static const String empty;
  return ordinal >= 0 && ordinal < Count() ? FNames[static_cast<size_t>(ordinal)] : empty;
}

int TEnumInfo::IndexOf(StringView name) const {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (detail::SameTextIgnoreCase(FNames[i], name)) return static_cast<int>(i);
  return -1;
}

// ---- integer identifiers ----

namespace {
struct TIdentMaps {
  std::vector<std::pair<String, std::vector<std::pair<String, Integer>>>> Maps;
  const std::vector<std::pair<String, Integer>>* Find(StringView type) const {
    for (const auto& m : Maps)
      if (detail::SameTextIgnoreCase(m.first, type)) return &m.second;
    return nullptr;
  }
};
TIdentMaps& IdentMaps() {
  static TIdentMaps maps;
  return maps;
}
}  // namespace

void RegisterIntegerConsts(StringView typeName, std::span<const TIdentMapEntry> map) {
  std::vector<std::pair<String, Integer>> entries;
  entries.reserve(map.size());
  for (const TIdentMapEntry& e : map) entries.emplace_back(e.Name, e.Value);
  auto& maps = IdentMaps().Maps;
  for (auto& m : maps)
    if (detail::SameTextIgnoreCase(m.first, typeName)) {
      m.second = std::move(entries);
      return;
    }
  maps.emplace_back(String(typeName), std::move(entries));
}

bool IdentToInt(StringView typeName, StringView ident, Integer& value) {
  if (const auto* map = IdentMaps().Find(typeName))
    for (const auto& [name, v] : *map)
      if (detail::SameTextIgnoreCase(name, ident)) {
        value = v;
        return true;
      }
  return false;
}

bool IntToIdent(StringView typeName, Integer value, String& ident) {
  if (const auto* map = IdentMaps().Find(typeName))
    for (const auto& [name, v] : *map)
      if (v == value) {
        ident = name;
        return true;
      }
  return false;
}

}  // namespace vcl
