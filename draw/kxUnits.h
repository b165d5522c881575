// The library's units as the program starts and ends them: each unit has an initialisation
// (registering classes and hooks, reading system facts, creating shared objects) and a
// finalisation that releases what it made. A program initialises its units in their order of
// dependence and finalises them in the reverse order.
#pragma once
#include <span>
#include <vector>

namespace kx {

struct TkxUnit {
  const char* Name;
  void (*Initialize)();  // may be nullptr
  void (*Finalize)();    // may be nullptr
};

// Initialises units in the given order for its lifetime and finalises them in reverse when it
// ends. When a unit's initialisation raises, the units initialised before it are finalised (in
// reverse) and the error passes on, so nothing stays half set up.
class TkxUnitsScope {
 public:
  explicit TkxUnitsScope(std::span<const TkxUnit> units);
  ~TkxUnitsScope();
  TkxUnitsScope(const TkxUnitsScope&) = delete;
  TkxUnitsScope& operator=(const TkxUnitsScope&) = delete;

  // The units initialised so far, in order.
  const std::vector<const TkxUnit*>& Initialized() const { return FDone; }

 private:
  void FinalizeAll() noexcept;
  std::vector<const TkxUnit*> FDone;
};

}  // namespace kx
