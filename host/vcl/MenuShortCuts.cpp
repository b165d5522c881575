// Keyboard shortcuts of menu items and their texts ("Ctrl+O", "Shift+Ctrl+S", "Alt+F4").
#include "host/rtl/NumFormat.h"
#include "host/vcl/Menus.h"

namespace vcl {

namespace {

struct KeyName {
  WORD Key;
  const char16_t* Name;
};

// Keys with names of their own; letters and digits stand for themselves, F1..F24 are
// "F<n>", and the punctuation keys are the characters they type.
constexpr KeyName kKeyNames[] = {
    {VK_BACK, u"BkSp"},   {VK_TAB, u"Tab"},       {VK_ESCAPE, u"Esc"},   {VK_RETURN, u"Enter"},
    {VK_SPACE, u"Space"}, {VK_PRIOR, u"PgUp"},    {VK_NEXT, u"PgDn"},    {VK_END, u"End"},
    {VK_HOME, u"Home"},   {VK_LEFT, u"Left"},     {VK_UP, u"Up"},        {VK_RIGHT, u"Right"},
    {VK_DOWN, u"Down"},   {VK_INSERT, u"Ins"},    {VK_DELETE, u"Del"},   {VK_NUMPAD0, u"Num 0"},
    {VK_NUMPAD1, u"Num 1"}, {VK_NUMPAD2, u"Num 2"}, {VK_NUMPAD3, u"Num 3"}, {VK_NUMPAD4, u"Num 4"},
    {VK_NUMPAD5, u"Num 5"}, {VK_NUMPAD6, u"Num 6"}, {VK_NUMPAD7, u"Num 7"}, {VK_NUMPAD8, u"Num 8"},
    {VK_NUMPAD9, u"Num 9"}, {VK_MULTIPLY, u"Num *"}, {VK_ADD, u"Num +"},   {VK_SUBTRACT, u"Num -"},
    {VK_DECIMAL, u"Num Del"}, {VK_DIVIDE, u"Num /"}, {VK_PAUSE, u"Pause"}, {VK_APPS, u"Menu"},
};

constexpr WORD kPunctuation[] = {VK_OEM_1,     VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD,
                                 VK_OEM_2,     VK_OEM_3,    VK_OEM_4,     VK_OEM_5,     VK_OEM_6,
                                 VK_OEM_7,     VK_OEM_102};

String KeyText(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return String(1, Char(key));
  if (key >= VK_F1 && key <= VK_F24) return u"F" + IntToStr(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  for (WORD p : kPunctuation)
    if (p == key) {
      UINT c = MapVirtualKeyW(p, MAPVK_VK_TO_CHAR);
      if (c) return String(1, Char(c));
    }
  return {};
}

Char Upper(Char c) { return c >= u'a' && c <= u'z' ? Char(c - 32) : c; }

bool SameText(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool TakePrefix(StringView& text, StringView prefix) {
  if (text.size() <= prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut r = key;
  if (shift.Contains(ssShift)) r |= scShift;
  if (shift.Contains(ssCtrl)) r |= scCtrl;
  if (shift.Contains(ssAlt)) r |= scAlt;
  if (shift.Contains(ssCommand)) r |= scCommand;
  return r;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
  if (shortCut & scCommand) shift.Include(ssCommand);
}

String ShortCutToText(TShortCut shortCut) {
  String key = KeyText(shortCut & 0xFF);
  if (key.empty()) return {};
  String r;
  if (shortCut & scShift) r += u"Shift+";
  if (shortCut & scCtrl) r += u"Ctrl+";
  if (shortCut & scAlt) r += u"Alt+";
  return r + key;
}

TShortCut TextToShortCut(StringView text) {
  TShortCut mods = 0;
  for (bool more = true; more;) {
    more = false;
    if (TakePrefix(text, u"Shift+")) {
      mods |= scShift;
      more = true;
    } else if (TakePrefix(text, u"Ctrl+")) {
      mods |= scCtrl;
      more = true;
    } else if (TakePrefix(text, u"Alt+")) {
      mods |= scAlt;
      more = true;
    }
  }
  if (text.empty()) return 0;
  for (int key = 1; key < 256; ++key) {
    String name = KeyText(WORD(key));
    if (!name.empty() && SameText(name, text)) return TShortCut(key) | mods;
  }
  return 0;
}

}  // namespace vcl
