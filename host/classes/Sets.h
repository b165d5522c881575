// Sets of enumeration values (at most 64 elements, ordinals 0..63), like `set of TFoo`.
//   TComponentState s{csLoading, csReading};
//   s.Include(csWriting); if (s.Contains(csLoading)) ...; s = s - TComponentState{csReading};
#pragma once
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vcl {

template <typename E>
class TSet {
  static_assert(std::is_enum_v<E>, "TSet holds enumeration values");

 public:
  using Element = E;
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.FBits = bits;
    return s;
  }

  constexpr std::uint64_t Bits() const { return FBits; }
  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& Include(E e) {
    FBits |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    FBits &= ~Bit(e);
    return *this;
  }

  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }  // union
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }  // difference
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }   // intersection
  constexpr TSet& operator+=(TSet o) { return *this = *this + o; }
  constexpr TSet& operator-=(TSet o) { return *this = *this - o; }
  constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; }  // subset
  friend constexpr bool operator==(TSet, TSet) = default;

 private:
  static constexpr std::uint64_t Bit(E e) {
    auto n = static_cast<unsigned>(e);
    return n < 64 ? std::uint64_t(1) << n : 0;
  }
  std::uint64_t FBits = 0;
};

// Names of an enumeration's values for window descriptions, declared next to the enumeration
// (found by argument-dependent lookup):
//   enum TkxsCtrlState { kxsNormal, kxsHot, kxsPressed, kxsFocused, kxsDisabled };
//   constexpr vcl::TEnumNames EnumNames(TkxsCtrlState) {
//     return {u"TkxsCtrlState", u"kxsNormal kxsHot kxsPressed kxsFocused kxsDisabled"};
//   }
struct TEnumNames {
  const char16_t* TypeName;
  const char16_t* Names;  // in ordinal order, separated by blanks
};

template <typename T>
struct IsTSet : std::false_type {};
template <typename E>
struct IsTSet<TSet<E>> : std::true_type {};

}  // namespace vcl
