#include "host/themes/StyleManager.h"

#include <cstdio>
#include <map>
#include <memory>

#include "host/rtl/Resources.h"
#include "host/rtl/Streams.h"
#include "host/themes/ClassicStyle.h"
#include "host/themes/CustomStyle.h"
#include "host/themes/StyleElementCache.h"
#include "host/themes/StyleSwitch.h"
#include "host/themes/format/StyleFormat.h"
#include "host/vcl/Application.h"
#include "host/win/PlatformFacts.h"

namespace vcl {
namespace {

bool SameNameAscii(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    Char x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = Char(x + 32);
    if (y >= u'A' && y <= u'Z') y = Char(y + 32);
    if (x != y) return false;
  }
  return true;
}

struct TRegistry {
  bool Initialized = false;
  bool Initializing = false;
  int ThemesHandler = 0;  // our handler of the platform's themes switch
  std::unique_ptr<TSystemStyle> System;
  std::unique_ptr<TClassicStyle> Classic;  // made when themes are first switched off
  std::vector<std::unique_ptr<TCustomStyle>> Styles;  // registration order
  TCustomStyleServices* Active = nullptr;
  std::map<int, TStyleManager::TStyleChangedHandler> Handlers;
  int NextHandlerId = 1;
  TStyleManager::TErrorReporter Reporter;
  TStyleManager::TParentBackgroundPainter ParentPainter;
  bool SystemStyleIsDefault = false;
};

TRegistry& Reg() {
  static TRegistry r;
  return r;
}

// The system style's services as they are used with themes on or off: themed, or classic.
TCustomStyleServices* SystemServices(bool themesEnabled) {
  TRegistry& r = Reg();
  if (themesEnabled) return r.System.get();
  if (!r.Classic) r.Classic = std::make_unique<TClassicStyle>();
  return r.Classic.get();
}

// Whether themes are enabled is a platform fact, read afresh each time.
TCustomStyleServices* CurrentSystemServices() { return SystemServices(vcl::ThemesEnabled()); }

TRegistry& Ready() {
  TStyleManager::Initialize();
  return Reg();
}

TCustomStyle* FindRegistered(StringView name) {
  for (auto& s : Reg().Styles)
    if (SameNameAscii(s->Name(), name)) return s.get();
  return nullptr;
}

TCustomStyleServices* Register(std::unique_ptr<TCustomStyle> style) {
  TRegistry& r = Reg();
  String name = style->Name();
  if (SameNameAscii(name, u"Windows") || FindRegistered(name))
    throw EStyleEngineException(u"A style named \"" + name + u"\" is already registered");
  r.Styles.push_back(std::move(style));
  return r.Styles.back().get();
}

// Everything from the stream's position to its end, refusing more than a packed style may be.
std::vector<Byte> ReadAll(TStream& stream, const String& origin) {
  std::vector<Byte> data;
  Byte buf[16384];
  for (;;) {
    Int64 n = stream.Read(buf, sizeof buf);
    if (n <= 0) break;
    data.insert(data.end(), buf, buf + n);
    if (data.size() > MaxPackedStyleSize)
      throw EStyleEngineException(StringToUtf8(origin) + ": style file larger than " +
                                  std::to_string(MaxPackedStyleSize) + " bytes");
  }
  return data;
}

String StreamOrigin(TStream& stream) {
  if (auto* f = dynamic_cast<TFileStream*>(&stream)) return f->FileName();
  return u"style stream";
}

// The services a registry entry is used through (the system style's depend on the themes).
TCustomStyleServices* ServicesOf(TCustomStyleServices* entry) {
  return entry == Reg().System.get() ? CurrentSystemServices() : entry;
}

void NotifySwitch(TCustomStyleServices* previous, TCustomStyleServices* active) {
  detail::ApplySysStyleHooks();
  detail::ApplyControlStyleHooks();
  // Handlers may add or remove handlers: call a copy.
  auto handlers = Reg().Handlers;
  for (auto& [id, h] : handlers)
    if (h) h(previous, active);
  detail::NotifyWindowsOfStyleChange();
}

void Activate(TCustomStyleServices* style) {
  TRegistry& r = Reg();
  TCustomStyleServices* previous = r.Active;
  if (previous == style) return;
  r.Active = style;
  // Nothing rendered before the switch is served after it.
  TStyleElementCache::Instance().Clear();
  NotifySwitch(ServicesOf(previous), ServicesOf(style));
}

}  // namespace

void TStyleManager::Initialize() {
  TRegistry& r = Reg();
  if (r.Initialized || r.Initializing) return;
  r.Initializing = true;
  try {
    r.System = TSystemStyle::Create();
    r.Active = r.System.get();
    for (const String& name : ResourceNames(u"VCLSTYLE")) {
      ResourceData res;
      if (!FindResource(u"VCLSTYLE", name, res)) continue;
      auto style = TCustomStyle::LoadDeferred(res.Data, res.Size, u"resource " + name);
      if (SameNameAscii(style->Name(), u"Windows") || FindRegistered(style->Name())) {
        std::fprintf(stderr, "style resource %s: a style named \"%s\" is already registered\n",
                     StringToUtf8(name).c_str(), StringToUtf8(style->Name()).c_str());
        continue;
      }
      r.Styles.push_back(std::move(style));
    }
    detail::RegisterDefaultSysStyleHooks();
    detail::RegisterDefaultControlStyleHooks();
    detail::InstallDefaultParentBackgroundPainter();
    // Themes switched on or off (here or by anyone setting the platform fact) notify like a
    // style switch when the system style is the active one.
    if (!r.ThemesHandler)
      r.ThemesHandler = AddThemesChangedHandler([](bool previous) {
        TRegistry& reg = Reg();
        if (!reg.Initialized) return;
        TCustomStyleServices* before =
            reg.Active == reg.System.get() ? SystemServices(previous) : reg.Active;
        NotifySwitch(before, ActiveStyle());
      });
  } catch (...) {
    r.Initializing = false;
    throw;
  }
  r.Initializing = false;
  r.Initialized = true;
}

std::vector<String> TStyleManager::StyleNames() {
  TRegistry& r = Ready();
  std::vector<String> names{u"Windows"};
  for (auto& s : r.Styles) names.push_back(s->Name());
  return names;
}

TCustomStyleServices* TStyleManager::Style(StringView name) {
  Ready();
  if (SameNameAscii(name, u"Windows")) return CurrentSystemServices();
  return FindRegistered(name);
}

TCustomStyleServices* TStyleManager::GetStyle(StringView name) {
  TCustomStyleServices* s = Style(name);
  if (!s) throw EStyleEngineException(u"Style \"" + String(name) + u"\" not found");
  return s;
}

TCustomStyleServices* TStyleManager::ActiveStyle() {
  TRegistry& r = Ready();
  return ServicesOf(r.Active);
}

TCustomStyleServices* TStyleManager::SystemStyle() {
  Ready();
  return CurrentSystemServices();
}

bool TStyleManager::IsCustomStyleActive() {
  TRegistry& r = Ready();
  return r.Active != r.System.get();
}

bool TStyleManager::SystemStyleIsDefault() { return Reg().SystemStyleIsDefault; }

void TStyleManager::SetSystemStyleIsDefault(bool on) {
  TRegistry& r = Ready();
  if (r.SystemStyleIsDefault == on) return;
  r.SystemStyleIsDefault = on;
  // Only controls painted by a custom style see a difference.
  if (IsCustomStyleActive()) NotifySwitch(ActiveStyle(), ActiveStyle());
}

void TStyleManager::SetStyle(StringView name) { SetStyle(GetStyle(name)); }

void TStyleManager::SetStyle(TCustomStyleServices* style) {
  TRegistry& r = Ready();
  if (!style) throw EStyleEngineException("SetStyle: no style given");
  if (style == CurrentSystemServices() || style == r.System.get() || (r.Classic && style == r.Classic.get())) {
    Activate(r.System.get());
    return;
  }
  bool known = false;
  for (auto& s : r.Styles) known = known || s.get() == style;
  if (!known) throw EStyleEngineException(u"SetStyle: style \"" + style->Name() + u"\" is not registered");
  // A style embedded in the program is parsed on first use: do it before switching, so a
  // failure leaves the previous style active.
  static_cast<TCustomStyle*>(style)->EnsureParsed();
  Activate(style);
}

bool TStyleManager::TrySetStyle(StringView name, bool showError) {
  try {
    SetStyle(name);
    return true;
  } catch (const Exception& e) {
    if (showError) {
      TRegistry& r = Reg();
      if (r.Reporter) r.Reporter(e.Message());
      else Application->ShowException(e);  // a message box on a display, a line headless
    }
    return false;
  }
}

TCustomStyleServices* TStyleManager::LoadFromStream(TStream& stream) {
  Ready();
  String origin = StreamOrigin(stream);
  std::vector<Byte> data = ReadAll(stream, origin);
  return Register(TCustomStyle::Load(data.data(), data.size(), origin));
}

TCustomStyleServices* TStyleManager::LoadFromFile(const String& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  return LoadFromStream(f);
}

TCustomStyleServices* TStyleManager::LoadFromResource(StringView resourceName, StringView resourceType) {
  Ready();
  ResourceData res;
  if (!FindResource(resourceType, resourceName, res))
    throw EStyleEngineException(u"Style resource \"" + String(resourceName) + u"\" of type " +
                                String(resourceType) + u" not found");
  return Register(TCustomStyle::Load(res.Data, res.Size, u"resource " + String(resourceName)));
}

bool TStyleManager::IsValidStyle(TStream& stream, TStyleInfo* info) {
  try {
    String origin = StreamOrigin(stream);
    std::vector<Byte> data = ReadAll(stream, origin);
    auto style = TCustomStyle::Load(data.data(), data.size(), origin);
    if (info) *info = style->Info();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool TStyleManager::IsValidStyle(const String& fileName, TStyleInfo* info) {
  try {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    return IsValidStyle(f, info);
  } catch (const Exception&) {
    return false;
  }
}

bool TStyleManager::UnRegisterStyle(TCustomStyleServices* style) {
  TRegistry& r = Ready();
  if (!style || style == r.Active) return false;
  for (auto it = r.Styles.begin(); it != r.Styles.end(); ++it)
    if (it->get() == style) {
      r.Styles.erase(it);
      return true;
    }
  return false;
}

bool TStyleManager::ThemesEnabled() { return vcl::ThemesEnabled(); }

void TStyleManager::SetThemesEnabled(bool enabled) {
  Ready();
  vcl::SetThemesEnabled(enabled);  // notifies through the handler set up by Initialize
}

int TStyleManager::AddStyleChangedHandler(TStyleChangedHandler handler) {
  TRegistry& r = Reg();
  int id = r.NextHandlerId++;
  r.Handlers.emplace(id, std::move(handler));
  return id;
}

void TStyleManager::RemoveStyleChangedHandler(int id) { Reg().Handlers.erase(id); }

void TStyleManager::SetErrorReporter(TErrorReporter reporter) { Reg().Reporter = std::move(reporter); }

void TStyleManager::SetParentBackgroundPainter(TParentBackgroundPainter painter) {
  Reg().ParentPainter = std::move(painter);
}

const TStyleManager::TParentBackgroundPainter& TStyleManager::ParentBackgroundPainter() {
  return Reg().ParentPainter;
}

bool TCustomStyleServices::DrawParentBackground(WindowObject* window, HDC dc,
                                                const TThemedElementDetails* details,
                                                bool onlyIfTransparent, const TRect* bounds) const {
  const auto& painter = TStyleManager::ParentBackgroundPainter();
  return painter ? painter(window, dc, details, onlyIfTransparent, bounds) : false;
}

TCustomStyleServices* StyleServices() { return TStyleManager::ActiveStyle(); }

}  // namespace vcl
