// kxshot: renders a window headlessly to a PNG, whole window including its frame, in a
// chosen style and density, optionally after a scripted sequence of input.
//
//   kxshot [options] [FILE]
//
// Without FILE it shows the demo's main window; with FILE, the stored window description in
// it (text or binary form) on a plain form. See Usage() for the options.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "controls/kxControls.h"
#include "host/classes/FormData.h"
#include "host/classes/TypInfo.h"
#include "host/platform/VirtualKeys.h"
#include "host/platform/headless/HeadlessBackend.h"
#include "host/rtl/Resources.h"
#include "host/themes/StyleManager.h"
#include "host/vcl/Application.h"
#include "host/vcl/StdCtrls.h"
#include "host/win/WinInternal.h"

extern "C" {
// Process-lifetime caches of system libraries (font configuration, layout engines), not leaks
// of ours, for builds with the leak checker.
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libharfbuzz.so\n"
         "leak:libcairo.so\n"
         "leak:libfreetype.so\n"
         "leak:libSDL2-2.0.so\n";
}
}

namespace {

using namespace vcl;

const char* const kUsage =
    "Usage: kxshot [options] [FILE]\n"
    "Renders a window headlessly to a PNG, the whole window including its frame.\n"
    "\n"
    "  FILE              a stored window description (text or binary form) shown on a\n"
    "                    plain form; without it, the demo's main window\n"
    "  --style NAME      the style to render in (default: Glow)\n"
    "  --dpi N           the monitor's pixels per inch, 48 to 960 (default: 96)\n"
    "  --page N          show page N (from 0) of the window's pager first\n"
    "  --hover NAME      move the mouse onto the middle of the named control\n"
    "  --click NAME      click the middle of the named control\n"
    "  --type NAME:TEXT  focus the named control and type TEXT\n"
    "  --key VK          press and release a key: a number (13, 0x0D) or a name (VK_RETURN,\n"
    "                    VK_TAB, VK_F1, A ...)\n"
    "  -o, --out FILE    the PNG to write (default: kxshot.png)\n"
    "  --list-styles     print the style names and stop\n"
    "  -h, --help        print this text and stop\n"
    "\n"
    "Input steps run in the order given; the window settles (timers and animations run on\n"
    "the virtual clock) after each. Event handlers named in FILE are left unbound.\n";

struct TStep {
  enum TKind { Hover, Click, Type, Key } Kind;
  std::string Target;  // control name, or the key for Key
  std::string Text;    // for Type
};

struct TOptions {
  std::string Style = "Glow";
  int Dpi = 96;
  int Page = -1;
  std::vector<TStep> Steps;
  std::string Out = "kxshot.png";
  std::string File;
  bool ListStyles = false;
};

// A command-line mistake: reported with the usage hint and exit code 2.
struct TUsageError {
  std::string Message;
};

int ParseInt(const std::string& text, const char* what) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 0);
  if (text.empty() || *end || errno || v < -2147483647L || v > 2147483647L)
    throw TUsageError{std::string(what) + ": '" + text + "' is not a number"};
  return int(v);
}

// ---- keys ------------------------------------------------------------------------------------

std::uint16_t ParseKey(const std::string& key) {
  struct TName {
    const char* Name;
    std::uint16_t Vk;
  };
  static const TName names[] = {
      {"VK_BACK", 0x08},   {"VK_TAB", 0x09},    {"VK_RETURN", 0x0D}, {"VK_SHIFT", 0x10},
      {"VK_CONTROL", 0x11}, {"VK_MENU", 0x12},  {"VK_ESCAPE", 0x1B}, {"VK_SPACE", 0x20},
      {"VK_PRIOR", 0x21},  {"VK_NEXT", 0x22},   {"VK_END", 0x23},    {"VK_HOME", 0x24},
      {"VK_LEFT", 0x25},   {"VK_UP", 0x26},     {"VK_RIGHT", 0x27},  {"VK_DOWN", 0x28},
      {"VK_INSERT", 0x2D}, {"VK_DELETE", 0x2E}, {"VK_APPS", 0x5D},
  };
  std::string upper;
  for (char c : key) upper += char(std::toupper(static_cast<unsigned char>(c)));
  for (const TName& n : names)
    if (upper == n.Name) return n.Vk;
  if (upper.size() >= 5 && upper.compare(0, 4, "VK_F") == 0) {
    int f = std::atoi(upper.c_str() + 4);
    if (f >= 1 && f <= 24 && upper == "VK_F" + std::to_string(f)) return std::uint16_t(0x6F + f);
  }
  if (upper.size() == 1 && std::isalnum(static_cast<unsigned char>(upper[0])))
    return std::uint16_t(upper[0]);
  if (!key.empty() && std::isdigit(static_cast<unsigned char>(key[0]))) {
    int v = ParseInt(key, "--key");
    if (v >= 1 && v <= 254) return std::uint16_t(v);
  }
  throw TUsageError{"--key: '" + key + "' is no virtual key"};
}

TOptions ParseArgs(int argc, char** argv) {
  TOptions o;
  auto value = [&](int& i, const char* opt) -> std::string {
    if (i + 1 >= argc) throw TUsageError{std::string(opt) + " needs a value"};
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (a == "--style") {
      o.Style = value(i, "--style");
    } else if (a == "--dpi") {
      o.Dpi = ParseInt(value(i, "--dpi"), "--dpi");
      if (o.Dpi < 48 || o.Dpi > 960)
        throw TUsageError{"--dpi: " + std::to_string(o.Dpi) + " is outside 48 to 960"};
    } else if (a == "--page") {
      o.Page = ParseInt(value(i, "--page"), "--page");
      if (o.Page < 0) throw TUsageError{"--page: pages count from 0"};
    } else if (a == "--hover") {
      o.Steps.push_back({TStep::Hover, value(i, "--hover"), {}});
    } else if (a == "--click") {
      o.Steps.push_back({TStep::Click, value(i, "--click"), {}});
    } else if (a == "--type") {
      std::string v = value(i, "--type");
      size_t colon = v.find(':');
      if (colon == std::string::npos || colon == 0)
        throw TUsageError{"--type: '" + v + "' is not NAME:TEXT"};
      o.Steps.push_back({TStep::Type, v.substr(0, colon), v.substr(colon + 1)});
    } else if (a == "--key") {
      std::string key = value(i, "--key");
      ParseKey(key);  // a mistake is told before anything runs
      o.Steps.push_back({TStep::Key, key, {}});
    } else if (a == "-o" || a == "--out") {
      o.Out = value(i, a.c_str());
    } else if (a == "--list-styles") {
      o.ListStyles = true;
    } else if (!a.empty() && a[0] == '-') {
      throw TUsageError{"unknown option '" + a + "'"};
    } else if (!o.File.empty()) {
      throw TUsageError{"more than one FILE: '" + o.File + "' and '" + a + "'"};
    } else {
      o.File = a;
    }
  }
  return o;
}

// ---- the window ------------------------------------------------------------------------------

// The plain form a stored description is shown on; the description becomes the class's own
// stored description, so it is read, scaled and shown as a form's is.
class TShotForm : public TForm {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TShotForm(TComponent* owner) : TForm(owner) {}
};
const TClass TShotForm::Class = TClass::Define<TShotForm, TForm>(u"TkxShotForm");

std::vector<Byte> GShotDescription;  // registered as a resource: must outlive the run

// Drops the event properties (bound to methods of a form class we do not have) and collects
// their handler names.
void DropEvents(TFormObject& object, const TClass* cls, std::vector<String>& dropped) {
  if (cls) {
    auto& props = object.Props;
    for (size_t i = 0; i < props.size();) {
      const TPropInfo* info = GetPropInfo(cls, props[i].Name);
      if (info && info->Kind == pkMethod) {
        dropped.push_back(props[i].Value.Str);
        props.erase(props.begin() + std::ptrdiff_t(i));
      } else {
        ++i;
      }
    }
  }
  for (TFormObject& child : object.Children) {
    const TClass* childClass = nullptr;
    try {
      childClass = FindClass(child.ClassName);
    } catch (const EClassNotFound&) {
      // The reader names the unknown class with its place in the file.
    }
    DropEvents(child, childClass, dropped);
  }
}

TCustomForm* LoadDescription(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception(path + ": cannot open the window description (" + std::strerror(errno) + ")");
  std::vector<Byte> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (data.empty()) throw Exception(path + ": the window description is empty");
  String source = Utf8ToString(path);
  TFormObject root = ParseForm(data, source);
  try {
    const TClass* rootClass = FindClass(root.ClassName);
    if (!rootClass->InheritsFrom(&TCustomForm::Class))
      throw Exception(path + ": the root " + StringToUtf8(root.ClassName) + " is not a form");
  } catch (const EClassNotFound&) {
    // A form class of another program (TForm1, TTestForm ...): shown as a plain form.
  }
  std::vector<String> dropped;
  DropEvents(root, &TShotForm::Class, dropped);
  for (const String& name : dropped)
    std::fprintf(stderr, "kxshot: %s: handler %s left unbound\n", path.c_str(),
                 StringToUtf8(name).c_str());
  GShotDescription = FormatFormBinary(root);
  RegisterResource("RCDATA", "TkxShotForm", GShotDescription.data(), GShotDescription.size());
  return TCustomForm::Create<TShotForm>(Application);
}

platform::HeadlessBackend& Headless() {
  return dynamic_cast<platform::HeadlessBackend&>(platform::CurrentBackend());
}

// Handles what is queued and lets timers and animations run for `ms` of virtual time.
void Settle(int ms = 400) {
  Application->ProcessMessages();
  for (int t = 0; t < ms; t += 10) {
    Headless().AdvanceClock(10);
    Application->ProcessMessages();
  }
}

TComponent* FindNamed(TComponent* root, StringView name) {
  if (TComponent* c = root->FindComponent(name)) return c;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (TComponent* c = FindNamed(root->Components(i), name)) return c;
  return nullptr;
}

TControl* FindControlNamed(TCustomForm* form, const std::string& name, const char* step) {
  TComponent* c = FindNamed(form, Utf8ToString(name));
  if (!c) throw Exception(std::string(step) + ": the window has no component named '" + name + "'");
  auto* control = dynamic_cast<TControl*>(c);
  if (!control)
    throw Exception(std::string(step) + ": '" + name + "' is a " + StringToUtf8(c->ClassName()) +
                    ", not a control");
  if (!control->IsShowing())
    throw Exception(std::string(step) + ": the control '" + name + "' is not showing");
  return control;
}

TPoint MiddleOnScreen(TControl* c) { return c->ClientToScreen(TPoint(c->Width() / 2, c->Height() / 2)); }

void RunStep(TCustomForm* form, const TStep& s) {
  switch (s.Kind) {
    case TStep::Hover: {
      TPoint p = MiddleOnScreen(FindControlNamed(form, s.Target, "--hover"));
      Headless().InjectMouseMove(p.X, p.Y);
      break;
    }
    case TStep::Click: {
      TPoint p = MiddleOnScreen(FindControlNamed(form, s.Target, "--click"));
      Headless().InjectMouseMove(p.X, p.Y);
      Application->ProcessMessages();
      Headless().InjectClick(p.X, p.Y);
      break;
    }
    case TStep::Type: {
      auto* w = dynamic_cast<TWinControl*>(FindControlNamed(form, s.Target, "--type"));
      if (!w || !w->CanFocus())
        throw Exception("--type: the control '" + s.Target + "' cannot take the focus");
      w->SetFocus();
      Application->ProcessMessages();
      Headless().InjectText(s.Text);
      break;
    }
    case TStep::Key: {
      std::uint16_t vk = ParseKey(s.Target);
      Headless().InjectKey(vk, true);
      Application->ProcessMessages();
      Headless().InjectKey(vk, false);
      break;
    }
  }
  Settle();
}

// Shows page N of the first component that publishes ActivePageIndex (a pager).
void ShowPage(TCustomForm* form, int page) {
  std::vector<TComponent*> pending{form};
  while (!pending.empty()) {
    TComponent* c = pending.back();
    pending.pop_back();
    if (GetPropInfo(c->ClassType(), u"ActivePageIndex")) {
      SetPropValue(c, u"ActivePageIndex", TPropValue(Int64(page)));
      Int64 now = std::get<Int64>(GetPropValue(c, u"ActivePageIndex"));
      if (now != page)
        throw Exception("--page: " + StringToUtf8(c->Name()) + " has no page " + std::to_string(page));
      return;
    }
    for (int i = c->ComponentCount() - 1; i >= 0; --i) pending.push_back(c->Components(i));
  }
  throw Exception("--page: the window has no pager");
}

int Run(const TOptions& o) {
  RegisterStdControlClasses();
  kx::RegisterKxControlClasses();
  TStyleManager::Initialize();
  if (o.ListStyles) {
    for (const String& n : TStyleManager::StyleNames()) std::printf("%s\n", StringToUtf8(n).c_str());
    return 0;
  }
  if (!TStyleManager::Style(Utf8ToString(o.Style))) {
    std::string known;
    for (const String& n : TStyleManager::StyleNames()) known += (known.empty() ? "" : ", ") + StringToUtf8(n);
    throw Exception("unknown style '" + o.Style + "' (styles: " + known + ")");
  }
  Application->Initialize();
  TStyleManager::SetStyle(Utf8ToString(o.Style));

  TCustomForm* form;
  if (o.File.empty()) {
    Application->CreateForm(app::Form1);
    form = app::Form1;
  } else {
    form = LoadDescription(o.File);
  }
  form->Show();
  Settle();
  if (o.Page >= 0) {
    ShowPage(form, o.Page);
    Settle();
  }
  for (const TStep& s : o.Steps) RunStep(form, s);

  HWND window = form->Handle();
  if (!window->Surface) throw Exception("the window has no surface to capture");
  Headless().SaveSurfacePng(window->Surface->Id, o.Out);
  std::printf("%s\n", o.Out.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  try {
    options = ParseArgs(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "kxshot: %s\n(kxshot --help shows the options)\n", e.Message.c_str());
    return 2;
  }
  // Always the virtual screen, at the chosen density, whatever the environment says.
  setenv("KX_BACKEND", "headless", 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("KX_DPI", std::to_string(options.Dpi).c_str(), 1);
  try {
    return Run(options);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "kxshot: %s\n(kxshot --help shows the options)\n", e.Message.c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kxshot: %s\n", e.what());
    return 1;
  }
}
