#include "app/Unit1.h"

#include "host/classes/TypInfo.h"

namespace app {

TForm1* Form1 = nullptr;

const vcl::TClass TForm1::Class = vcl::TClass::Define<TForm1, vcl::TForm>(u"TForm1");

TForm1::TForm1(vcl::TComponent* owner) : vcl::TForm(owner) {}

}  // namespace app
