// hello: a small application on the Kexora library. Its one window is read from the window
// description HelloForm.dfm at start: a tool-bar panel with a glowing title, a greeting label,
// a check box and a button whose handler changes the greeting. The style is chosen at start.
//
//   hello [--style NAME] [--form FILE]               a real window until it is closed
//   hello --headless OUT.png [--greet] [--dpi N] ...  rendered on the virtual screen to PNG,
//                                                     after pressing the button with --greet
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/kxControls.h"
#include "controls/kxLibrary.h"
#include "host/classes/TypInfo.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/Resources.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "host/vcl/StdCtrls.h"
#include "host/win/WinInternal.h"
#include "kxVersion.h"

namespace {

using namespace vcl;

// The form class of HelloForm.dfm: the description names it and its handler.
class THelloForm : public TForm {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit THelloForm(TComponent* owner) : TForm(owner) {}

  void GreetButtonClick(TObject*) {
    auto* greeting = dynamic_cast<kx::TkxLabel*>(FindComponent(u"GreetingLabel"));
    auto* shout = dynamic_cast<TCheckBox*>(FindComponent(u"ShoutCheckBox"));
    if (greeting) greeting->SetCaption(shout && shout->Checked() ? u"HELLO, WORLD!" : u"Hello, world.");
  }
};

const TClass THelloForm::Class = TClass::Define<THelloForm, TForm>(u"THelloForm", [](auto& c) {
  c.Method(u"GreetButtonClick", &THelloForm::GreetButtonClick);
});

struct TOptions {
  std::string Style = "Glow";
  std::string Form = HELLO_FORM_FILE;
  std::string Headless;  // the PNG to write; empty for a real window
  bool Greet = false;
  int Dpi = 96;
};

TOptions ParseArgs(int argc, char** argv) {
  TOptions o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw Exception(a + " needs a value");
      return argv[++i];
    };
    if (a == "--style") o.Style = value();
    else if (a == "--form") o.Form = value();
    else if (a == "--headless") o.Headless = value();
    else if (a == "--greet") o.Greet = true;
    else if (a == "--dpi") o.Dpi = std::atoi(value().c_str());
    else if (a == "--version") {
      std::printf("hello on Kexora %s\n", KX_VERSION_STRING);
      std::exit(0);
    } else throw Exception("unknown option '" + a + "'");
  }
  if (o.Dpi < 48 || o.Dpi > 960) throw Exception("--dpi: use 48 to 960 pixels per inch");
  return o;
}

// The window description, read from its file and offered to the form as its resource.
std::vector<Byte> GDescription;

void LoadDescription(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception(path + ": cannot open the window description (" + std::strerror(errno) + ")");
  GDescription.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (GDescription.empty()) throw Exception(path + ": the window description is empty");
  RegisterResource("RCDATA", "THELLOFORM", GDescription.data(), GDescription.size());
}

platform::HeadlessBackend& Headless() {
  return dynamic_cast<platform::HeadlessBackend&>(platform::CurrentBackend());
}

// Handles what is queued and lets timers and animations run on the virtual clock.
void Settle() {
  Application->ProcessMessages();
  for (int t = 0; t < 400; t += 10) {
    Headless().AdvanceClock(10);
    Application->ProcessMessages();
  }
}

int Run(const TOptions& o) {
  kx::TkxLibrary library;  // the host's and the library's units, in order
  LoadDescription(o.Form);
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  // A style that cannot be set is reported and the program goes on in the active one.
  TStyleManager::TrySetStyle(Utf8ToString(o.Style), true);
  THelloForm* form = nullptr;
  Application->CreateForm(form);
  if (o.Headless.empty()) {
    Application->Run();
    return 0;
  }
  form->Show();
  Settle();
  if (o.Greet) {
    auto* button = dynamic_cast<TControl*>(form->FindComponent(u"GreetButton"));
    if (!button) throw Exception(o.Form + ": no GreetButton to press");
    TPoint p = button->ClientToScreen(TPoint(button->Width() / 2, button->Height() / 2));
    Headless().InjectMouseMove(p.X, p.Y);
    Application->ProcessMessages();
    Headless().InjectClick(p.X, p.Y);
    Settle();
  }
  HWND window = form->Handle();
  if (!window->Surface) throw Exception("the window has no surface to capture");
  Headless().SaveSurfacePng(window->Surface->Id, o.Headless);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    TOptions options = ParseArgs(argc, argv);
    if (!options.Headless.empty()) {
      // The virtual screen at the chosen density, whatever the environment says.
      setenv("KX_BACKEND", "headless", 1);
      setenv("SDL_VIDEODRIVER", "dummy", 1);
      setenv("KX_DPI", std::to_string(options.Dpi).c_str(), 1);
    }
    return Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hello: %s\n", e.what());
    return 1;
  }
}
