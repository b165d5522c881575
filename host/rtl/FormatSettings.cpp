#include "host/rtl/FormatSettings.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "host/rtl/SysUtils.h"

namespace vcl {

void RaiseNameIndexError(int index, int count) {
  throw EArgumentOutOfRangeException("Name index " + std::to_string(index) +
                                     " out of range 1.." + std::to_string(count));
}

namespace {

TFormatSettings EnglishGB() {
  TFormatSettings f;
  f.CurrencyString = u"\u00A3";
  f.NegCurrFormat = 1;
  f.ShortDateFormat = u"dd/MM/yyyy";
  f.LongDateFormat = u"dd MMMM yyyy";
  f.ShortTimeFormat = u"HH:nn";
  f.LongTimeFormat = u"HH:nn:ss";
  f.TimeAMString = u"am";
  f.TimePMString = u"pm";
  return f;
}

TFormatSettings German() {
  TFormatSettings f;
  f.DecimalSeparator = u',';
  f.ThousandSeparator = u'.';
  f.CurrencyString = u"\u20AC";
  f.CurrencyFormat = 3;
  f.NegCurrFormat = 8;
  f.DateSeparator = u'.';
  f.ListSeparator = u';';
  f.ShortDateFormat = u"dd.MM.yyyy";
  f.LongDateFormat = u"dddd, d. MMMM yyyy";
  f.ShortTimeFormat = u"HH:nn";
  f.LongTimeFormat = u"HH:nn:ss";
  f.ShortMonthNames = {u"Jan", u"Feb", u"M\u00E4r", u"Apr", u"Mai", u"Jun",
                       u"Jul", u"Aug", u"Sep",      u"Okt", u"Nov", u"Dez"};
  f.LongMonthNames = {u"Januar", u"Februar",   u"M\u00E4rz",  u"April",
                      u"Mai",    u"Juni",      u"Juli",       u"August",
                      u"September", u"Oktober", u"November", u"Dezember"};
  f.ShortDayNames = {u"So", u"Mo", u"Di", u"Mi", u"Do", u"Fr", u"Sa"};
  f.LongDayNames = {u"Sonntag",    u"Montag",  u"Dienstag", u"Mittwoch",
                    u"Donnerstag", u"Freitag", u"Samstag"};
  return f;
}

TFormatSettings French() {
  TFormatSettings f;
  f.DecimalSeparator = u',';
  f.ThousandSeparator = u'\u00A0';
  f.CurrencyString = u"\u20AC";
  f.CurrencyFormat = 3;
  f.NegCurrFormat = 8;
  f.ListSeparator = u';';
  f.ShortDateFormat = u"dd/MM/yyyy";
  f.LongDateFormat = u"dddd d MMMM yyyy";
  f.ShortTimeFormat = u"HH:nn";
  f.LongTimeFormat = u"HH:nn:ss";
  f.ShortMonthNames = {u"janv.", u"f\u00E9vr.", u"mars", u"avr.", u"mai",  u"juin",
                       u"juil.", u"ao\u00FBt",  u"sept.", u"oct.", u"nov.", u"d\u00E9c."};
  f.LongMonthNames = {u"janvier", u"f\u00E9vrier", u"mars",      u"avril",
                      u"mai",     u"juin",         u"juillet",   u"ao\u00FBt",
                      u"septembre", u"octobre",    u"novembre",  u"d\u00E9cembre"};
  f.ShortDayNames = {u"dim.", u"lun.", u"mar.", u"mer.", u"jeu.", u"ven.", u"sam."};
  f.LongDayNames = {u"dimanche", u"lundi",    u"mardi", u"mercredi",
                    u"jeudi",    u"vendredi", u"samedi"};
  return f;
}

// "de_DE.UTF-8@euro" -> "de-de"; "C.UTF-8" -> "c".
std::string NormaliseName(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '.' || c == '@') break;
    out += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

std::optional<TFormatSettings> BuiltIn(std::string_view name) {
  const std::string n = NormaliseName(name);
  if (n == "c" || n == "posix" || n == "en-us" || n == "en") return TFormatSettings();
  if (n == "en-gb") return EnglishGB();
  if (n == "de-de" || n == "de") return German();
  if (n == "fr-fr" || n == "fr") return French();
  if (n == "invariant") return TFormatSettings::Invariant();
  return std::nullopt;
}

// Locale strings are UTF-8 in every locale we expect; a single-byte locale is read as Latin-1,
// which is right for the ISO-8859-1 locales and close for the others.
String LocaleText(const char* s, bool utf8) {
  if (!s) return String();
  if (utf8) return Utf8ToString(s);
  String out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p)
    out += static_cast<Char>(*p);
  return out;
}

bool IsSeparatorChar(Char c) { return !(c >= u'0' && c <= u'9') && !(c >= u'a' && c <= u'z') &&
                                      !(c >= u'A' && c <= u'Z') && c != u'%'; }

// The first literal character between two conversions of a strftime pattern.
Char FirstSeparator(const String& pattern, Char fallback) {
  bool seenField = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%') {
      ++i;
      seenField = true;
      continue;
    }
    if (seenField && IsSeparatorChar(pattern[i]) && pattern[i] != u' ') return pattern[i];
  }
  return fallback;
}

// Translates a strftime pattern into our date/time picture language.
String FromStrftime(const String& pattern, Char dateSep, Char timeSep, const String& ampmPattern,
                    int depth = 0) {
  String out;
  auto literal = [&](Char c) {
    if (c == dateSep) {
      out += u'/';
    } else if (c == timeSep) {
      out += u':';
    } else if (!IsSeparatorChar(c) || c == u'/' || c == u':' || c == u'"' || c == u'\'') {
      out += c == u'"' ? u'\'' : u'"';
      out += c;
      out += c == u'"' ? u'\'' : u'"';
    } else {
      out += c;
    }
  };
  for (size_t i = 0; i < pattern.size(); ++i) {
    Char c = pattern[i];
    if (c != u'%' || i + 1 >= pattern.size()) {
      literal(c);
      continue;
    }
    c = pattern[++i];
    // Skip glibc's flag and width characters ("%-d", "%0e", "%Ey").
    while ((c == u'-' || c == u'_' || c == u'0' || c == u'^' || c == u'#' || c == u'E' ||
            c == u'O') && i + 1 < pattern.size())
      c = pattern[++i];
    switch (c) {
      case u'a': out += u"ddd"; break;
      case u'A': out += u"dddd"; break;
      case u'b': case u'h': out += u"MMM"; break;
      case u'B': out += u"MMMM"; break;
      case u'd': out += u"dd"; break;
      case u'e': out += u"d"; break;
      case u'm': out += u"MM"; break;
      case u'y': out += u"yy"; break;
      case u'Y': case u'C': out += u"yyyy"; break;
      case u'H': out += u"hh"; break;
      case u'k': out += u"h"; break;
      case u'I': out += u"hh"; break;
      case u'l': out += u"h"; break;
      case u'M': out += u"nn"; break;
      case u'S': out += u"ss"; break;
      case u'p': case u'P': out += u"AMPM"; break;
      case u'D': out += u"MM/dd/yy"; break;
      case u'F': out += u"yyyy-MM-dd"; break;
      case u'T': out += u"hh:nn:ss"; break;
      case u'R': out += u"hh:nn"; break;
      case u'r':
        if (depth == 0) out += FromStrftime(ampmPattern, dateSep, timeSep, ampmPattern, 1);
        break;
      case u'n': case u't': out += u' '; break;
      case u'%': literal(u'%'); break;
      default: break;  // zone, weekday numbers and the like have no counterpart
    }
  }
  // Dropped conversions can leave separators or blanks at the ends.
  while (!out.empty() && (out.back() == u' ' || out.back() == u'/' || out.back() == u':'))
    out.pop_back();
  return out;
}

// Order of day, month and year in a picture: 'D', 'M' or 'Y' first.
char FirstDatePart(const String& picture) {
  for (Char c : picture) {
    if (c == u'd' || c == u'D') return 'D';
    if (c == u'm' || c == u'M') return 'M';
    if (c == u'y' || c == u'Y') return 'Y';
  }
  return 'M';
}

int NegCurrFromPosix(bool precedes, bool space, int signPos) {
  static const int kTable[2][2][5] = {
      {{4, 5, 7, 6, 7}, {15, 8, 10, 13, 10}},  // symbol follows: no space, space
      {{0, 1, 3, 1, 2}, {14, 9, 11, 9, 12}},   // symbol precedes
  };
  if (signPos < 0 || signPos > 4) signPos = 1;
  return kTable[precedes ? 1 : 0][space ? 1 : 0][signPos];
}

std::optional<TFormatSettings> FromLocaleData(const std::string& name) {
  locale_t loc = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (!loc) return std::nullopt;
  const char* codeset = nl_langinfo_l(CODESET, loc);
  const bool utf8 = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
  auto text = [&](nl_item item) { return LocaleText(nl_langinfo_l(item, loc), utf8); };

  TFormatSettings f;
  String radix = text(RADIXCHAR);
  String thousands = text(THOUSEP);
  if (!radix.empty()) f.DecimalSeparator = radix[0];
  if (!thousands.empty()) f.ThousandSeparator = thousands[0];
  else f.ThousandSeparator = f.DecimalSeparator == u',' ? u'.' : u',';
  if (f.ThousandSeparator == f.DecimalSeparator)
    f.ThousandSeparator = f.DecimalSeparator == u',' ? u'.' : u',';
  f.ListSeparator = f.DecimalSeparator == u',' ? u';' : u',';

  locale_t old = uselocale(loc);
  const lconv* lc = localeconv();
  if (lc && lc->currency_symbol && *lc->currency_symbol) {
    f.CurrencyString = LocaleText(lc->currency_symbol, utf8);
    const bool pPre = lc->p_cs_precedes == 1, pSpace = lc->p_sep_by_space == 1;
    f.CurrencyFormat = static_cast<Byte>(pPre ? (pSpace ? 2 : 0) : (pSpace ? 3 : 1));
    const bool nPre = lc->n_cs_precedes == CHAR_MAX ? pPre : lc->n_cs_precedes == 1;
    const bool nSpace = lc->n_sep_by_space == CHAR_MAX ? pSpace : lc->n_sep_by_space == 1;
    f.NegCurrFormat = static_cast<Byte>(
        NegCurrFromPosix(nPre, nSpace, lc->n_sign_posn == CHAR_MAX ? 1 : lc->n_sign_posn));
    if (lc->frac_digits != CHAR_MAX && lc->frac_digits >= 0 && lc->frac_digits <= 18)
      f.CurrencyDecimals = static_cast<Byte>(lc->frac_digits);
  }
  uselocale(old);

  const String dateFmt = text(D_FMT), timeFmt = text(T_FMT), ampmFmt = text(T_FMT_AMPM);
  f.DateSeparator = FirstSeparator(dateFmt, u'/');
  f.TimeSeparator = FirstSeparator(timeFmt.find(u"%r") != String::npos ? ampmFmt : timeFmt, u':');
  if (!dateFmt.empty()) f.ShortDateFormat = FromStrftime(dateFmt, f.DateSeparator, f.TimeSeparator, ampmFmt);
  if (!timeFmt.empty()) {
    f.LongTimeFormat = FromStrftime(timeFmt, f.DateSeparator, f.TimeSeparator, ampmFmt);
    String shortTime = f.LongTimeFormat;
    size_t s = shortTime.find(u":ss");
    if (s != String::npos) shortTime.erase(s, 3);
    f.ShortTimeFormat = shortTime;
  }
  switch (FirstDatePart(f.ShortDateFormat)) {
    case 'D': f.LongDateFormat = u"dddd, d MMMM yyyy"; break;
    case 'Y': f.LongDateFormat = u"yyyy MMMM d, dddd"; break;
    default: f.LongDateFormat = u"dddd, MMMM d, yyyy"; break;
  }
  f.TimeAMString = text(AM_STR);
  f.TimePMString = text(PM_STR);
  for (int i = 0; i < 12; ++i) {
    String s = text(static_cast<nl_item>(ABMON_1 + i)), l = text(static_cast<nl_item>(MON_1 + i));
    if (!s.empty()) f.ShortMonthNames[i + 1] = s;
    if (!l.empty()) f.LongMonthNames[i + 1] = l;
  }
  for (int i = 0; i < 7; ++i) {
    String s = text(static_cast<nl_item>(ABDAY_1 + i)), l = text(static_cast<nl_item>(DAY_1 + i));
    if (!s.empty()) f.ShortDayNames[i + 1] = s;
    if (!l.empty()) f.LongDayNames[i + 1] = l;
  }
  freelocale(loc);
  return f;
}

std::string EnvironmentLocaleName() {
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

TFormatSettings FromEnvironment() {
  const std::string name = EnvironmentLocaleName();
  if (auto f = BuiltIn(name)) return *f;
  if (auto f = FromLocaleData(name)) return *f;
  return TFormatSettings();
}

}  // namespace

// Written out here rather than copied from namespace-scope tables, so that settings records
// defined at namespace scope in other files can be built during static initialisation.
TFormatSettings::TFormatSettings()
    : ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                      u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"},
      LongMonthNames{u"January", u"February", u"March",     u"April",   u"May",      u"June",
                     u"July",    u"August",   u"September", u"October", u"November", u"December"},
      ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"},
      LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                   u"Thursday", u"Friday", u"Saturday"} {}

TFormatSettings TFormatSettings::Create(std::string_view localeName) {
  if (localeName.empty()) return FromEnvironment();
  if (auto f = BuiltIn(localeName)) return *f;
  if (auto f = FromLocaleData(std::string(localeName))) return *f;
  throw EArgumentException("Unknown locale '" + std::string(localeName) + "'");
}

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings f;
  f.CurrencyString = u"\u00A4";
  f.ShortDateFormat = u"MM/dd/yyyy";
  f.LongDateFormat = u"dddd, dd MMMM yyyy";
  f.ShortTimeFormat = u"HH:nn";
  f.LongTimeFormat = u"HH:nn:ss";
  return f;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = FromEnvironment();
  return settings;
}

void GetFormatSettings() { FormatSettings() = FromEnvironment(); }

}  // namespace vcl
