// Root of the class tree: TObject with per-class metadata (TClass), the class registry, and
// events as comparable delegates (TEvent).
//
// Declaring a class. Every class that is created by name (from window descriptions), that
// publishes properties or methods, or whose ClassName() matters, declares two lines in its
// header and defines its metadata once in its .cpp file:
//
//   // header
//   class TkxButton : public TkxCustomButton {
//    public:
//     static const vcl::TClass Class;
//     const vcl::TClass* ClassType() const override { return &Class; }
//     ...
//   };
//
//   // .cpp (host/classes/TypInfo.h), one line per published property or method:
//   const TClass TkxButton::Class = TClass::Define<TkxButton, TkxCustomButton>(u"TkxButton",
//       [](auto& c) {
//         c.Property(u"Caption", &TkxButton::Caption, &TkxButton::SetCaption);
//         c.Property(u"Kind", &TkxButton::Kind, &TkxButton::SetKind).Default(kxbsPushButton);
//         c.Property(u"OnClick", &TkxButton::FOnClick);            // an event field
//       });
//
// The lambda runs once, on first use of the class's property table; it may name protected and
// private members of the class. Classes that publish nothing pass no lambda. Components are
// created through their `T(TComponent* owner)` constructor, collection items through
// `T(TCollection*)`, other persistent classes through `T()`; abstract classes have no factory.
//
// Events. `TEvent<void(TObject* Sender)>` (TNotifyEvent) binds an object and a member
// function: `FOnChange = TNotifyEvent(this, &TFoo::FontChanged);`. Two events are equal when
// they call the same method of the same object. Calling an empty event does nothing and
// returns a value-initialised result.
#pragma once
#include <cstring>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>

#include "host/rtl/SysUtils.h"

namespace vcl {

class TObject;
class TClassData;
template <class T>
class TClassBuilder;

class EClassNotFound : public EFilerError {
 public:
  using EFilerError::EFilerError;
};

// ---- per-class metadata ----

class TClass {
 public:
  using TCreateFn = TObject* (*)(TObject* arg);
  using TBuildFn = void (*)(TClassData& data, void (*publish)());

  TClass(const char16_t* name, const TClass* parent, TCreateFn create = nullptr,
         TBuildFn build = nullptr, void (*publish)() = nullptr)
      : FName(name), FParent(parent), FCreate(create), FBuild(build), FPublish(publish) {}
  TClass(const TClass&) = delete;
  TClass& operator=(const TClass&) = delete;

  // Metadata of T, derived from Base; see the header comment. Defined in TypInfo.h.
  template <class T, class Base>
  static TClass Define(const char16_t* name, void (*publish)(TClassBuilder<T>&) = nullptr);

  StringView ClassName() const { return FName; }
  const TClass* ClassParent() const { return FParent; }
  bool InheritsFrom(const TClass* ancestor) const;
  bool ClassNameIs(StringView name) const;

  // A new instance: components take their owner, collection items their collection, others
  // ignore `arg`. Abstract classes raise EInvalidOperation.
  bool CanCreate() const { return FCreate != nullptr; }
  TObject* Create(TObject* arg = nullptr) const;

  // Published properties and methods (TypInfo.h), built on first use.
  const TClassData& Data() const;

 private:
  const char16_t* FName;
  const TClass* FParent;
  TCreateFn FCreate;
  TBuildFn FBuild;
  void (*FPublish)();
  mutable TClassData* FData = nullptr;
};

// ---- TObject ----

class TObject {
 public:
  static const TClass Class;
  virtual const TClass* ClassType() const { return &Class; }

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  StringView ClassName() const { return ClassType()->ClassName(); }
  const TClass* ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(const TClass* c) const { return ClassType()->InheritsFrom(c); }

  // Runs before the destructors of a heap object deleted with `delete` (components set
  // csDestroying here, while the most derived class is still intact).
  virtual void BeforeDestruction() {}

  void operator delete(TObject* p, std::destroying_delete_t);
};

// ---- class registry (case-insensitive names) ----

// Registers the class and its ancestors. A different class with the same name raises
// EFilerError.
void RegisterClass(const TClass* c);
void RegisterClasses(std::initializer_list<const TClass*> classes);
void UnRegisterClass(const TClass* c);
const TClass* GetClass(StringView name);   // nullptr when unknown
const TClass* FindClass(StringView name);  // EClassNotFound "Class TFoo not found"

// ---- events ----

// Type-erased method: a thunk that knows the target type and signature, the member-function
// pointer's bytes, and the object. Comparable for identity.
struct TMethodCode {
  void (*Thunk)() = nullptr;
  alignas(void*) unsigned char Bytes[16] = {};
  friend bool operator==(const TMethodCode&, const TMethodCode&) = default;
};

struct TMethod {
  TObject* Data = nullptr;
  TMethodCode Code;
  explicit operator bool() const { return Code.Thunk != nullptr; }
  friend bool operator==(const TMethod&, const TMethod&) = default;
};

// Identity of a function signature, used to check that a method fits an event.
template <class Sig>
inline constexpr char SignatureKey = 0;
template <class Sig>
constexpr const void* SignatureOf() {
  return &SignatureKey<Sig>;
}

namespace detail {
template <class M, class P, class R, class... A>
R MemberThunk(const TMethod& m, A... a) {
  P p;
  std::memcpy(&p, m.Code.Bytes, sizeof p);
  return (static_cast<M*>(m.Data)->*p)(std::forward<A>(a)...);
}
template <class R, class... A>
R FreeThunk(const TMethod& m, A... a) {
  R (*f)(A...);
  std::memcpy(&f, m.Code.Bytes, sizeof f);
  return f(std::forward<A>(a)...);
}
template <class M, class P, class R, class... A>
TMethodCode MakeMethodCode(P p) {
  static_assert(sizeof(P) <= sizeof(TMethodCode::Bytes));
  TMethodCode code;
  code.Thunk = reinterpret_cast<void (*)()>(&MemberThunk<M, P, R, A...>);
  std::memcpy(code.Bytes, &p, sizeof p);
  return code;
}
}  // namespace detail

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  using Signature = R(A...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  template <class C, class M>
    requires std::is_base_of_v<M, C> && std::is_base_of_v<TObject, M>
  TEvent(C* object, R (M::*method)(A...)) {
    Bind<M>(object, method);
  }
  template <class C, class M>
    requires std::is_base_of_v<M, C> && std::is_base_of_v<TObject, M>
  TEvent(C* object, R (M::*method)(A...) const) {
    Bind<M>(object, method);
  }
  explicit TEvent(R (*function)(A...)) {
    if (!function) return;
    FMethod.Code.Thunk = reinterpret_cast<void (*)()>(&detail::FreeThunk<R, A...>);
    std::memcpy(FMethod.Code.Bytes, &function, sizeof function);
  }

  // An event from a method whose signature the caller has checked (published-method tables).
  static TEvent FromMethod(const TMethod& m) {
    TEvent e;
    e.FMethod = m;
    return e;
  }
  const TMethod& Method() const { return FMethod; }

  explicit operator bool() const { return FMethod.Code.Thunk != nullptr; }
  R operator()(A... a) const {
    if (!FMethod.Code.Thunk) {
      if constexpr (std::is_void_v<R>) return;
      else return R();
    }
    return reinterpret_cast<R (*)(const TMethod&, A...)>(FMethod.Code.Thunk)(FMethod,
                                                                             std::forward<A>(a)...);
  }
  friend bool operator==(const TEvent&, const TEvent&) = default;

 private:
  template <class M, class C, class P>
  void Bind(C* object, P method) {
    if (!object || !method) return;
    FMethod.Data = static_cast<M*>(object);
    FMethod.Code = detail::MakeMethodCode<M, P, R, A...>(method);
  }
  TMethod FMethod;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// Identifier comparison ignoring case (ASCII letters, Latin-1, Greek and Cyrillic).
namespace detail {
int CompareTextIgnoreCase(StringView a, StringView b);
inline bool SameTextIgnoreCase(StringView a, StringView b) {
  return a.size() == b.size() && CompareTextIgnoreCase(a, b) == 0;
}
}  // namespace detail

// A Pascal-style identifier: letter or underscore, then letters, digits, underscores.
bool IsValidIdent(StringView s);

}  // namespace vcl
