// The demonstration program's main window. Its content and settings come from the stored
// description Unit1.dfm (embedded as the resource "TForm1").
#pragma once
#include "host/vcl/Forms.h"

namespace app {

class TForm1 : public vcl::TForm {
 public:
  static const vcl::TClass Class;
  const vcl::TClass* ClassType() const override { return &Class; }

  explicit TForm1(vcl::TComponent* owner);
};

// The one main window of the program (set by Application->CreateForm).
extern TForm1* Form1;

}  // namespace app
