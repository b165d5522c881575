// Published properties and methods: per-class tables that the form reader and writer use.
// Include this header in the .cpp file that defines a class's metadata.
//
// Declaring properties, one line each, inside the TClass::Define lambda (see Object.h):
//
//   c.Property(u"Width", &TFoo::Width, &TFoo::SetWidth).Default(75);       // Integer
//   c.Property(u"Caption", &TFoo::Caption, &TFoo::SetCaption);             // String
//   c.Property(u"State", &TFoo::State, &TFoo::SetState).Default(kxsNormal);// enumeration
//   c.Property(u"States", &TFoo::States, &TFoo::SetStates);                // TSet<E>
//   c.Property(u"Color", &TFoo::Color, &TFoo::SetColor).Idents(u"TColor").Default(clBtnFace);
//   c.Property(u"Font", &TFoo::Font, &TFoo::SetFont);                      // owned TPersistent
//   c.Property(u"Items", &TFoo::Items, &TFoo::SetItems);                   // TCollection*
//   c.Property(u"Images", &TFoo::Images, &TFoo::SetImages);                // TComponent*: reference
//   c.Property(u"OnClick", &TFoo::FOnClick);                               // event field
//   c.Property(u"Ratio", [](const TFoo& f) { return f.R(); }, [](TFoo& f, double v) { f.SetR(v); });
//   c.Inherited(u"TabStop").Default(true);                                 // new default only
//   c.Method(u"Button1Click", &TForm1::Button1Click);                      // published method
//
// Getters are const member functions, fields, or callables taking `const T&`; setters are
// member functions, fields, callables taking `(T&, value)`, or omitted (read-only; a field
// getter without setter writes the field). The kind follows the getter's type: bool, char16_t,
// integers (32-bit unsigned is Cardinal, 64-bit is Int64), enumerations (with an ADL-visible
// `constexpr vcl::TEnumNames EnumNames(E)` giving the type name and the space-separated
// value names), TSet<E>, floating point, String, pointers to TCollection, TComponent or
// TPersistent descendants, and TEvent<...>.
//
// Storage: a property with a Default is written only when its value differs; ordinal
// properties without one are always written; strings are written when not empty, floats when
// not zero, references and events when set, owned objects as their own stored properties
// ("Font.Height"), collections when they have items. Stored(false) never writes,
// Stored(predicate) asks the object, AlwaysStored() writes even default values.
#pragma once
#include <span>
#include <variant>
#include <vector>

#include "host/classes/Collection.h"
#include "host/classes/Component.h"

namespace vcl {

enum TPropKind : Byte {
  pkInteger, pkCardinal, pkInt64, pkEnumeration, pkSet, pkBoolean, pkChar, pkString, pkFloat,
  pkComponent,   // reference to a component, stored by name
  pkPersistent,  // owned object, stored through its own properties
  pkCollection,  // owned collection, stored as items
  pkMethod       // event, stored by method name
};

// Names of an enumeration's values (TEnumNames, Sets.h), split once.
class TEnumInfo {
 public:
  TEnumInfo(StringView typeName, StringView names);
  const String& TypeName() const { return FTypeName; }
  int Count() const { return static_cast<int>(FNames.size()); }
  const String& Name(int ordinal) const;  // "" when out of range
  int IndexOf(StringView name) const;    // ignoring case; -1 when unknown

 private:
  String FTypeName;
  std::vector<String> FNames;
};

template <class E>
const TEnumInfo& EnumInfo() {
  static const TEnumInfo info = [] {
    TEnumNames n = EnumNames(E{});
    return TEnumInfo(n.TypeName, n.Names);
  }();
  return info;
}
template <class E>
String EnumName(E value) {
  return EnumInfo<E>().Name(static_cast<int>(value));
}

// Value of a property, by kind: ordinals (sets as their bits) Int64, floats double, strings
// String, objects TObject*, events TMethod.
using TPropValue = std::variant<Int64, double, String, TObject*, TMethod>;

class TPropInfo {
 public:
  enum class TStoredMode : Byte { Default, Always, Never, Custom };

  String Name;
  TPropKind Kind = pkInteger;
  const TEnumInfo* EnumType = nullptr;  // enumerations and set elements
  String IdentType;                     // integer identifiers (RegisterIntegerConsts)
  const void* Signature = nullptr;      // events: SignatureOf<Sig>()
  const TClass* PropClass = nullptr;    // object kinds: the declared class
  std::function<TPropValue(TObject*)> Get;
  std::function<void(TObject*, const TPropValue&)> Set;  // empty: read-only
  TStoredMode StoredMode = TStoredMode::Default;
  std::function<bool(TObject*)> StoredFn;
  bool HasDefault = false;
  TPropValue DefaultValue;

  // The stored specifier (Stored(false), Stored(predicate)).
  bool IsStored(TObject* instance) const;
  // Whether the current value is the default, so that the writer leaves it out.
  bool IsDefaultValue(TObject* instance) const;
  bool IsObjectKind() const { return Kind >= pkComponent && Kind <= pkCollection; }
};

struct TMethodEntry {
  String Name;
  const void* Signature = nullptr;
  TMethodCode Code;
};

class TClassData {
 public:
  std::vector<TPropInfo> OwnProps;
  std::vector<const TPropInfo*> Props;  // all published properties, ancestors' first
  std::vector<TMethodEntry> Methods;    // this class's published methods
};

// Property list of a class, ancestors' properties first.
std::span<const TPropInfo* const> GetPropList(const TClass* c);
const TPropInfo* GetPropInfo(const TClass* c, StringView name);  // ignoring case
// Published method by name along the class chain; nullptr when absent.
const TMethodEntry* FindMethod(const TClass* c, StringView name);
// Name of the published method `code` refers to, "" when it is none.
String MethodName(const TClass* c, const TMethodCode& code);

// Convenience access by property name (EPropertyError when absent).
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
};
TPropValue GetPropValue(TObject* instance, StringView name);
void SetPropValue(TObject* instance, StringView name, const TPropValue& value);

// ---- integer identifiers (colour names, cursor names ...) ----

struct TIdentMapEntry {
  Integer Value;
  const char16_t* Name;
};
// Registers (or replaces) the identifiers of an integer type such as "TColor".
void RegisterIntegerConsts(StringView typeName, std::span<const TIdentMapEntry> map);
bool IdentToInt(StringView typeName, StringView ident, Integer& value);
bool IntToIdent(StringView typeName, Integer value, String& ident);

// ---- declaration machinery ----

template <class T>
class TEventTraits : public std::false_type {};
template <class Sig>
class TEventTraits<TEvent<Sig>> : public std::true_type {};

namespace detail {

template <class V>
constexpr bool IsStringLike = std::is_convertible_v<const V&, StringView>;

template <class V>
constexpr TPropKind KindOf() {
  if constexpr (std::is_same_v<V, bool>) return pkBoolean;
  else if constexpr (std::is_same_v<V, char16_t>) return pkChar;
  else if constexpr (std::is_enum_v<V>) return pkEnumeration;
  else if constexpr (IsTSet<V>::value) return pkSet;
  else if constexpr (std::is_integral_v<V>) {
    if constexpr (sizeof(V) == 8) return pkInt64;
    else if constexpr (std::is_unsigned_v<V> && sizeof(V) == 4) return pkCardinal;
    else return pkInteger;
  } else if constexpr (std::is_floating_point_v<V>) return pkFloat;
  else if constexpr (IsStringLike<V>) return pkString;
  else if constexpr (TEventTraits<V>::value) return pkMethod;
  else if constexpr (std::is_pointer_v<V>) {
    using X = std::remove_cv_t<std::remove_pointer_t<V>>;
    if constexpr (std::is_base_of_v<TCollection, X>) return pkCollection;
    else if constexpr (std::is_base_of_v<TComponent, X>) return pkComponent;
    else {
      static_assert(std::is_base_of_v<TPersistent, X>, "object properties hold TPersistent descendants");
      return pkPersistent;
    }
  } else {
    static_assert(sizeof(V) == 0, "unsupported property type");
    return pkInteger;
  }
}

template <class V>
TPropValue ToPropValue(const V& v) {
  constexpr TPropKind k = KindOf<V>();
  if constexpr (k == pkSet) return static_cast<Int64>(v.Bits());
  else if constexpr (k <= pkChar) return static_cast<Int64>(v);
  else if constexpr (k == pkFloat) return static_cast<double>(v);
  else if constexpr (k == pkString) return String(StringView(v));
  else if constexpr (k == pkMethod) return v.Method();
  else return static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<V>>*>(v));
}

[[noreturn]] void RaiseClassMismatch(TObject* value, const TClass* expected);

template <class V>
V FromPropValue(const TPropValue& p) {
  constexpr TPropKind k = KindOf<V>();
  if constexpr (k == pkSet) return V::FromBits(static_cast<std::uint64_t>(std::get<Int64>(p)));
  else if constexpr (k == pkBoolean) return std::get<Int64>(p) != 0;
  else if constexpr (k <= pkChar) return static_cast<V>(std::get<Int64>(p));
  else if constexpr (k == pkFloat) return static_cast<V>(std::get<double>(p));
  else if constexpr (k == pkString) return V(std::get<String>(p));
  else if constexpr (k == pkMethod) return V::FromMethod(std::get<TMethod>(p));
  else {
    using X = std::remove_cv_t<std::remove_pointer_t<V>>;
    TObject* o = std::get<TObject*>(p);
    if (!o) return nullptr;
    X* x = dynamic_cast<X*>(o);
    if (!x) RaiseClassMismatch(o, &X::Class);
    return x;
  }
}

template <class T, class G>
decltype(auto) CallGetter(const G& g, T& t) {
  if constexpr (std::is_member_function_pointer_v<G>) return (t.*g)();
  else if constexpr (std::is_member_object_pointer_v<G>) return (t.*g);
  else return g(static_cast<const T&>(t));
}

template <class T, class S, class V>
void CallSetter(const S& s, T& t, V&& v) {
  if constexpr (std::is_member_function_pointer_v<S>) (t.*s)(std::forward<V>(v));
  else if constexpr (std::is_member_object_pointer_v<S>) t.*s = std::forward<V>(v);
  else s(t, std::forward<V>(v));
}

template <class T>
T& Self(TObject* o) {
  T* t = dynamic_cast<T*>(o);
  if (!t) RaiseClassMismatch(o, &T::Class);
  return *t;
}

TPropValue NormalizeDefault(TPropKind kind, TPropValue v);
TPropInfo CopyInherited(const TClassData& data, StringView name);
TPropInfo& Publish(TClassData& data, TPropInfo info);

template <class T>
TObject* Create(TObject* arg) {
  if constexpr (std::is_base_of_v<TComponent, T>) {
    auto* owner = dynamic_cast<TComponent*>(arg);
    if (arg && !owner) RaiseClassMismatch(arg, &TComponent::Class);
    return new T(owner);
  } else if constexpr (std::is_base_of_v<TCollectionItem, T>) {
    auto* collection = dynamic_cast<TCollection*>(arg);
    if (arg && !collection) RaiseClassMismatch(arg, &TCollection::Class);
    return new T(collection);
  } else {
    return new T();
  }
}

template <class T>
constexpr TClass::TCreateFn FactoryOf() {
  if constexpr (std::is_abstract_v<T>) return nullptr;
  else if constexpr (std::is_base_of_v<TComponent, T>) {
    if constexpr (std::is_constructible_v<T, TComponent*>) return &Create<T>;
    else return nullptr;
  } else if constexpr (std::is_base_of_v<TCollectionItem, T>) {
    if constexpr (std::is_constructible_v<T, TCollection*>) return &Create<T>;
    else return nullptr;
  } else if constexpr (std::is_default_constructible_v<T>) return &Create<T>;
  else return nullptr;
}

template <class T>
void BuildClass(TClassData& data, void (*publish)()) {
  TClassBuilder<T> builder(data);
  reinterpret_cast<void (*)(TClassBuilder<T>&)>(publish)(builder);
}

}  // namespace detail

template <class T>
class TPropBuilder {
 public:
  explicit TPropBuilder(TPropInfo& p) : P(p) {}
  // The value that is not written.
  template <class V>
  TPropBuilder& Default(const V& v) {
    P.HasDefault = true;
    P.DefaultValue = detail::NormalizeDefault(P.Kind, detail::ToPropValue(v));
    return *this;
  }
  TPropBuilder& NoDefault() {
    P.HasDefault = false;
    return *this;
  }
  TPropBuilder& Stored(bool stored) {
    P.StoredMode = stored ? TPropInfo::TStoredMode::Default : TPropInfo::TStoredMode::Never;
    return *this;
  }
  template <class F>
    requires(!std::is_same_v<F, bool>)
  TPropBuilder& Stored(F predicate) {
    P.StoredMode = TPropInfo::TStoredMode::Custom;
    P.StoredFn = [predicate](TObject* o) {
      T& t = detail::Self<T>(o);
      if constexpr (std::is_member_function_pointer_v<F>) return static_cast<bool>((t.*predicate)());
      else return static_cast<bool>(predicate(static_cast<const T&>(t)));
    };
    return *this;
  }
  TPropBuilder& AlwaysStored() {
    P.StoredMode = TPropInfo::TStoredMode::Always;
    return *this;
  }
  // Integer property written with the identifiers registered for `typeName`.
  TPropBuilder& Idents(StringView typeName) {
    P.IdentType = String(typeName);
    return *this;
  }

 private:
  TPropInfo& P;
};

template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassData& data) : D(data) {}

  template <class G, class S = std::nullptr_t>
  TPropBuilder<T> Property(StringView name, G getter, S setter = nullptr) {
    using V = std::remove_cvref_t<decltype(detail::CallGetter(getter, std::declval<T&>()))>;
    constexpr TPropKind kind = detail::KindOf<V>();
    TPropInfo p;
    p.Name = String(name);
    p.Kind = kind;
    if constexpr (kind == pkEnumeration) p.EnumType = &EnumInfo<V>();
    if constexpr (kind == pkSet) p.EnumType = &EnumInfo<typename V::Element>();
    if constexpr (kind == pkMethod) p.Signature = SignatureOf<typename V::Signature>();
    if constexpr (kind >= pkComponent && kind <= pkCollection)
      p.PropClass = &std::remove_cv_t<std::remove_pointer_t<V>>::Class;
    p.Get = [getter](TObject* o) {
      return detail::ToPropValue<V>(detail::CallGetter(getter, detail::Self<T>(o)));
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      p.Set = [setter](TObject* o, const TPropValue& v) {
        detail::CallSetter(setter, detail::Self<T>(o), detail::FromPropValue<V>(v));
      };
    } else if constexpr (std::is_member_object_pointer_v<G> && kind != pkPersistent &&
                         kind != pkCollection) {
      p.Set = [getter](TObject* o, const TPropValue& v) {
        detail::Self<T>(o).*getter = detail::FromPropValue<V>(v);
      };
    }
    return Add(std::move(p));
  }

  // Re-declares an ancestor's property, typically to give it another default.
  TPropBuilder<T> Inherited(StringView name) { return Add(detail::CopyInherited(D, name)); }

  template <class R, class C, class... A>
  void Method(StringView name, R (C::*method)(A...)) {
    static_assert(std::is_base_of_v<C, T>);
    D.Methods.push_back({String(name), SignatureOf<R(A...)>(),
                         detail::MakeMethodCode<C, R (C::*)(A...), R, A...>(method)});
  }

 private:
  TPropBuilder<T> Add(TPropInfo p) { return TPropBuilder<T>(detail::Publish(D, std::move(p))); }
  TClassData& D;
};

template <class T, class Base>
TClass TClass::Define(const char16_t* name, void (*publish)(TClassBuilder<T>&)) {
  static_assert(std::is_base_of_v<Base, T>, "Base must be an ancestor of T");
  static_assert(std::is_same_v<decltype(&T::ClassType), const TClass* (T::*)() const>,
                "the class must override ClassType() to return its own Class");
  return TClass(name, &Base::Class, detail::FactoryOf<T>(),
                publish ? &detail::BuildClass<T> : nullptr,
                reinterpret_cast<void (*)()>(publish));
}

}  // namespace vcl
