// Scope guards of the host run-time: a flag (or any value) set for the lifetime of a scope and
// put back on the way out, and a cleanup run on the way out of a scope, also when it raises.
// The guards for device contexts and canvases live beside them (host/gdi/DcGuards.h,
// host/graphics/CanvasBinding.h).
#pragma once
#include <utility>

namespace vcl {

// Sets a variable for the lifetime of the guard and puts back the value it had before, so that
// nested operations leave the outer one's state intact.
template <class T>
class TValueScope {
 public:
  TValueScope(T& variable, T value) : FVariable(variable), FOld(std::move(variable)) {
    variable = std::move(value);
  }
  TValueScope(const TValueScope&) = delete;
  TValueScope& operator=(const TValueScope&) = delete;
  ~TValueScope() { FVariable = std::move(FOld); }

 private:
  T& FVariable;
  T FOld;
};

// A Boolean flag set (true by default) for the lifetime of the guard.
class TFlagScope : public TValueScope<bool> {
 public:
  explicit TFlagScope(bool& flag, bool value = true) : TValueScope<bool>(flag, value) {}
};

// Runs a cleanup on the way out of a scope, also when the scope raises.
template <class F>
class TFinally {
 public:
  explicit TFinally(F cleanup) : FCleanup(std::move(cleanup)) {}
  TFinally(const TFinally&) = delete;
  TFinally& operator=(const TFinally&) = delete;
  ~TFinally() { FCleanup(); }

 private:
  F FCleanup;
};

}  // namespace vcl
