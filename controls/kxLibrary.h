// Starting and ending the library in an application: the host framework's units (control,
// menu and timer classes for window descriptions, the style engine with its embedded styles
// and hooks) and the library's units (the drawing core, the control classes), in their order
// of dependence.
//
//   int main() {
//     kx::TkxLibrary library;                     // everything started, in order
//     vcl::Application->Initialize();
//     ...
//   }                                             // ... and ended in reverse
#pragma once
#include <span>

#include "draw/kxUnits.h"

namespace kx {

// Every unit of the host and the library, in the order they must start.
std::span<const TkxUnit> LibraryUnits();

// Starts every unit of LibraryUnits() for its lifetime and ends them in reverse. Create one,
// before anything else of the library is used, for the life of the program.
class TkxLibrary : public TkxUnitsScope {
 public:
  TkxLibrary() : TkxUnitsScope(LibraryUnits()) {}
};

}  // namespace kx
