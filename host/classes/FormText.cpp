// Textual window descriptions: parser and formatter.
#include <charconv>
#include <cmath>
#include <string>

#include "host/classes/FormData.h"
#include "host/classes/Object.h"
#include "host/rtl/NumFormat.h"

namespace vcl {

String FormPosText(StringView sourceName, TFormPos pos) {
  String s;
  if (!sourceName.empty()) s = String(sourceName) + u": ";
  if (pos.Line > 0) s += u"line " + IntToStr(pos.Line) + u", column " + IntToStr(pos.Column) + u": ";
  else s += u"offset " + IntToStr(pos.Column) + u": ";
  return s;
}

namespace {

bool IsIdentStart(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }
bool IsIdentChar(Char c) { return IsIdentStart(c) || (c >= u'0' && c <= u'9'); }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }
int HexValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}
bool Is(StringView a, std::u16string_view keyword) { return detail::SameTextIgnoreCase(a, keyword); }

class TTextParser {
 public:
  TTextParser(StringView text, StringView source) : S(text), Source(source) {}

  TFormObject Parse() {
    if (!S.empty() && S[0] == 0xFEFF) P = 1;
    SkipBlanks();
    TFormObject root = Object(0);
    SkipBlanks();
    if (P < S.size()) Error(Pos(), u"Unexpected " + Found() + u" after the end of the root object");
    return root;
  }

 private:
  struct TState {
    size_t P;
    Integer Line;
    size_t LineStart;
  };

  TFormPos Pos() const { return {Line, static_cast<Integer>(P - LineStart + 1)}; }
  TState Save() const { return {P, Line, LineStart}; }
  void Restore(const TState& s) {
    P = s.P;
    Line = s.Line;
    LineStart = s.LineStart;
  }
  bool AtEnd() const { return P >= S.size(); }
  Char Peek() const { return P < S.size() ? S[P] : Char(0); }

  [[noreturn]] void Error(TFormPos pos, StringView message) const {
    throw EReadError(FormPosText(Source, pos) + String(message));
  }

  // The token at the current position, for messages.
  String Found() const {
    if (AtEnd()) return u"end of text";
    if (IsIdentStart(S[P])) {
      size_t e = P;
      while (e < S.size() && (IsIdentChar(S[e]) || S[e] == u'.')) ++e;
      return u"'" + String(S.substr(P, e - P)) + u"'";
    }
    return u"'" + String(1, S[P]) + u"'";
  }

  void SkipBlanks() {
    while (P < S.size()) {
      Char c = S[P];
      if (c == u'\r' || c == u'\n') {
        ++P;
        if (c == u'\r' && Peek() == u'\n') ++P;
        ++Line;
        LineStart = P;
      } else if (c == u' ' || c == u'\t' || c == u'\f' || c == u'\v') {
        ++P;
      } else {
        break;
      }
    }
  }

  void Expect(Char c, StringView what) {
    SkipBlanks();
    if (Peek() != c) Error(Pos(), String(what) + u" expected but " + Found() + u" found");
    ++P;
  }

  String Ident(bool dotted, StringView what) {
    if (!IsIdentStart(Peek())) Error(Pos(), String(what) + u" expected but " + Found() + u" found");
    size_t start = P;
    for (;;) {
      while (P < S.size() && IsIdentChar(S[P])) ++P;
      if (dotted && Peek() == u'.' && P + 1 < S.size() && IsIdentStart(S[P + 1])) {
        ++P;
        continue;
      }
      break;
    }
    return String(S.substr(start, P - start));
  }

  TFormObject Object(int depth) {
    if (depth > MaxFormNesting) Error(Pos(), u"Objects nested too deeply");
    TFormObject obj;
    obj.Pos = Pos();
    String kw = Ident(false, u"'object'");
    if (Is(kw, u"inherited")) obj.Flags.Include(ffInherited);
    else if (Is(kw, u"inline")) obj.Flags.Include(ffInline);
    else if (!Is(kw, u"object"))
      Error(obj.Pos, u"'object', 'inherited' or 'inline' expected but '" + kw + u"' found");
    SkipBlanks();
    String first = Ident(false, u"Object name or class name");
    SkipBlanks();
    if (Peek() == u':') {
      ++P;
      SkipBlanks();
      obj.Name = std::move(first);
      obj.ClassName = Ident(false, u"Class name");
    } else {
      obj.ClassName = std::move(first);
    }
    SkipBlanks();
    if (Peek() == u'[') {
      ++P;
      obj.Flags.Include(ffChildPos);
      obj.ChildPos = IndexValue();
    }
    String label = obj.Name.empty() ? obj.ClassName : obj.Name;
    for (;;) {
      SkipBlanks();
      if (AtEnd())
        Error(Pos(), u"Unexpected end of text: 'end' expected to close object " + label +
                         u" (line " + IntToStr(obj.Pos.Line) + u")");
      TState before = Save();
      TFormPos pos = Pos();
      String id = Ident(true, u"Property name, 'object' or 'end'");
      if (Is(id, u"end")) break;
      if (Is(id, u"object") || Is(id, u"inherited") || Is(id, u"inline")) {
        Restore(before);
        obj.Children.push_back(Object(depth + 1));
        continue;
      }
      if (!obj.Children.empty())
        Error(pos, u"Property " + id + u" follows the child objects of " + label);
      Expect(u'=', u"'=' after " + id);
      TFormValue v = Value(depth + 1);
      obj.Props.push_back({std::move(id), std::move(v), pos});
    }
    return obj;
  }

  // "[" already read: integer "]".
  Int64 IndexValue() {
    SkipBlanks();
    TFormPos pos = Pos();
    TFormValue v = Value(0);
    if (!v.IsInteger()) Error(pos, u"Integer expected");
    Expect(u']', u"']'");
    return v.Int;
  }

  TFormValue Value(int depth) {
    SkipBlanks();
    TFormPos pos = Pos();
    if (depth > MaxFormNesting) Error(pos, u"Values nested too deeply");
    if (AtEnd()) Error(pos, u"Value expected but end of text found");
    Char c = Peek();
    TFormValue v;
    if (c == u'\'' || c == u'#') v = StringValue();
    else if (c == u'-' || c == u'$' || IsDigit(c)) v = Number();
    else if (c == u'[') v = SetValue();
    else if (c == u'(') v = ListValue(depth);
    else if (c == u'<') v = CollectionValue(depth);
    else if (c == u'{') v = BinaryValue();
    else if (IsIdentStart(c)) {
      String id = Ident(true, u"Value");
      if (Is(id, u"True")) v.Type = vaTrue;
      else if (Is(id, u"False")) v.Type = vaFalse;
      else if (Is(id, u"nil")) v.Type = vaNil;
      else v = TFormValue::FromIdent(id);
    } else {
      Error(pos, u"Value expected but " + Found() + u" found");
    }
    v.Pos = pos;
    return v;
  }

  TFormValue StringValue() {
    TFormPos start = Pos();
    String out;
    for (;;) {
      if (Peek() == u'\'') {
        ++P;
        for (;;) {
          if (AtEnd() || Peek() == u'\r' || Peek() == u'\n') Error(start, u"Unterminated string");
          Char c = S[P++];
          if (c == u'\'') {
            if (Peek() != u'\'') break;
            ++P;
          }
          out += c;
        }
      } else if (Peek() == u'#') {
        TFormPos pos = Pos();
        ++P;
        UInt64 code = 0;
        size_t digits = 0;
        bool hex = Peek() == u'$';
        if (hex) ++P;
        for (; P < S.size() && (hex ? HexValue(S[P]) >= 0 : IsDigit(S[P])); ++P, ++digits) {
          code = code * (hex ? 16 : 10) + static_cast<UInt64>(hex ? HexValue(S[P]) : S[P] - u'0');
          if (code > 0x10FFFF) Error(pos, u"Character code out of range");
        }
        if (digits == 0) Error(pos, u"Character code expected after '#'");
        if (code > 0xFFFF) {
          code -= 0x10000;
          out += static_cast<Char>(0xD800 + (code >> 10));
          out += static_cast<Char>(0xDC00 + (code & 0x3FF));
        } else {
          out += static_cast<Char>(code);
        }
      } else {
        TState s = Save();
        SkipBlanks();
        if (Peek() != u'+') {
          Restore(s);
          break;
        }
        ++P;
        SkipBlanks();
        if (Peek() != u'\'' && Peek() != u'#')
          Error(Pos(), u"String expected after '+' but " + Found() + u" found");
      }
    }
    return TFormValue::FromString(out);
  }

  TFormValue Number() {
    TFormPos pos = Pos();
    bool negative = Peek() == u'-';
    if (negative) ++P;
    TFormValue v;
    if (Peek() == u'$') {
      ++P;
      UInt64 bits = 0;
      size_t digits = 0;
      for (; P < S.size() && HexValue(S[P]) >= 0; ++P, ++digits) {
        if (digits == 16) Error(pos, u"Hexadecimal number too large");
        bits = bits * 16 + static_cast<UInt64>(HexValue(S[P]));
      }
      if (digits == 0) Error(pos, u"Hexadecimal digits expected after '$'");
      Int64 value = digits <= 8 ? static_cast<Int64>(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)))
                                : static_cast<Int64>(bits);
      v = TFormValue::FromInt(negative ? static_cast<Int64>(0 - static_cast<UInt64>(value)) : value);
    } else {
      size_t start = P;
      while (P < S.size() && IsDigit(S[P])) ++P;
      if (P == start) Error(pos, u"Number expected but " + Found() + u" found");
      bool isFloat = false;
      if (Peek() == u'.' && P + 1 < S.size() && IsDigit(S[P + 1])) {
        isFloat = true;
        ++P;
        while (P < S.size() && IsDigit(S[P])) ++P;
      }
      if ((Peek() == u'e' || Peek() == u'E') && P + 1 < S.size() &&
          (IsDigit(S[P + 1]) || ((S[P + 1] == u'+' || S[P + 1] == u'-') && P + 2 < S.size() && IsDigit(S[P + 2])))) {
        isFloat = true;
        P += 2;
        while (P < S.size() && IsDigit(S[P])) ++P;
      }
      std::string ascii(negative ? "-" : "");
      for (size_t i = start; i < P; ++i) ascii += static_cast<char>(S[i]);
      Char suffix = Peek();
      bool typed = (suffix == u's' || suffix == u'S' || suffix == u'c' || suffix == u'C' || suffix == u'd' ||
                    suffix == u'D') && !(P + 1 < S.size() && (IsIdentChar(S[P + 1]) || S[P + 1] == u'.'));
      if (isFloat || typed) {
        double d = 0;
        auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), d);
        if (r.ec != std::errc() || !std::isfinite(d)) Error(pos, u"Invalid floating-point number");
        v.Type = vaExtended;
        v.Float = d;
        if (suffix == u's' || suffix == u'S') v.Type = vaSingle;
        else if (suffix == u'c' || suffix == u'C') {
          v.Type = vaCurrency;
          v.Int = CurrencyUnits(ascii, d, pos);
        } else if (suffix == u'd' || suffix == u'D') v.Type = vaDate;
        if (v.Type != vaExtended) ++P;
      } else {
        Int64 n = 0;
        auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), n);
        if (r.ec != std::errc()) Error(pos, u"Integer out of range");
        v = TFormValue::FromInt(n);
      }
    }
    if (IsIdentChar(Peek()) || Peek() == u'.') Error(pos, u"Invalid number");
    return v;
  }

  // Currency in units of 1/10000, exact for plain decimals.
  Int64 CurrencyUnits(const std::string& ascii, double d, TFormPos pos) const {
    size_t point = ascii.find('.');
    if (point == std::string::npos) point = ascii.size();
    size_t decimals = point < ascii.size() ? ascii.size() - point - 1 : 0;
    if (ascii.find_first_of("eE") == std::string::npos && decimals <= 4) {
      std::string digits = ascii.substr(0, point) + (point < ascii.size() ? ascii.substr(point + 1) : "");
      digits.append(4 - decimals, '0');
      Int64 units = 0;
      auto r = std::from_chars(digits.data(), digits.data() + digits.size(), units);
      if (r.ec != std::errc()) Error(pos, u"Currency value out of range");
      return units;
    }
    if (std::fabs(d) >= 9.2e14) Error(pos, u"Currency value out of range");
    return std::llround(d * 10000);
  }

  TFormValue SetValue() {
    ++P;  // '['
    TFormValue v;
    v.Type = vaSet;
    SkipBlanks();
    if (Peek() == u']') {
      ++P;
      return v;
    }
    for (;;) {
      SkipBlanks();
      TFormPos pos = Pos();
      TFormValue e = TFormValue::FromIdent(Ident(false, u"Set element"));
      e.Pos = pos;
      v.Items.push_back(std::move(e));
      SkipBlanks();
      if (Peek() == u',') {
        ++P;
        continue;
      }
      if (Peek() == u']') {
        ++P;
        return v;
      }
      Error(Pos(), u"',' or ']' expected but " + Found() + u" found");
    }
  }

  TFormValue ListValue(int depth) {
    TFormPos open = Pos();
    ++P;
    TFormValue v;
    v.Type = vaList;
    for (;;) {
      SkipBlanks();
      if (AtEnd())
        Error(Pos(), u"Unexpected end of text: ')' expected to close the list of line " + IntToStr(open.Line));
      if (Peek() == u')') {
        ++P;
        return v;
      }
      v.Items.push_back(Value(depth + 1));
    }
  }

  TFormValue CollectionValue(int depth) {
    TFormPos open = Pos();
    ++P;
    TFormValue v;
    v.Type = vaCollection;
    for (;;) {
      SkipBlanks();
      if (AtEnd())
        Error(Pos(), u"Unexpected end of text: '>' expected to close the collection of line " +
                         IntToStr(open.Line));
      if (Peek() == u'>') {
        ++P;
        return v;
      }
      TFormItem item;
      item.Pos = Pos();
      String kw = Ident(false, u"'item' or '>'");
      if (!Is(kw, u"item")) Error(item.Pos, u"'item' or '>' expected but '" + kw + u"' found");
      SkipBlanks();
      if (Peek() == u'[') {
        ++P;
        item.HasIndex = true;
        item.Index = IndexValue();
      }
      for (;;) {
        SkipBlanks();
        if (AtEnd())
          Error(Pos(), u"Unexpected end of text: 'end' expected to close the item of line " +
                           IntToStr(item.Pos.Line));
        TFormPos pos = Pos();
        String id = Ident(true, u"Property name or 'end'");
        if (Is(id, u"end")) break;
        Expect(u'=', u"'=' after " + id);
        TFormValue pv = Value(depth + 1);
        item.Props.push_back({std::move(id), std::move(pv), pos});
      }
      v.Collection.push_back(std::move(item));
    }
  }

  TFormValue BinaryValue() {
    TFormPos open = Pos();
    ++P;
    TFormValue v;
    v.Type = vaBinary;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Error(open, u"Unterminated binary value: '}' expected");
      Char c = S[P];
      if (c == u'}') {
        if (high >= 0) Error(Pos(), u"Odd number of hexadecimal digits in binary value");
        ++P;
        return v;
      }
      int h = HexValue(c);
      if (h < 0) Error(Pos(), u"Invalid hexadecimal digit " + Found() + u" in binary value");
      ++P;
      if (high < 0) {
        high = h;
      } else {
        v.Bytes.push_back(static_cast<Byte>(high * 16 + h));
        high = -1;
      }
    }
  }

  StringView S;
  String Source;
  size_t P = 0;
  Integer Line = 1;
  size_t LineStart = 0;
};

// ---- formatter ----

constexpr std::u16string_view kEol = u"\r\n";

String QuoteString(StringView s) {
  if (s.empty()) return u"''";
  String out;
  bool inQuote = false;
  for (Char c : s) {
    if (c >= 32 && c < 127) {
      if (!inQuote) out += u'\'';
      inQuote = true;
      out += c;
      if (c == u'\'') out += c;
    } else {
      if (inQuote) out += u'\'';
      inQuote = false;
      out += u'#' + IntToStr(static_cast<int>(c));
    }
  }
  if (inQuote) out += u'\'';
  return out;
}

String FloatText(const TFormValue& v) {
  if (v.Type == vaCurrency) {
    UInt64 mag = v.Int < 0 ? 0 - static_cast<UInt64>(v.Int) : static_cast<UInt64>(v.Int);
    String s = (v.Int < 0 ? u"-" : u"") + UIntToStr(mag / 10000);
    if (UInt64 frac = mag % 10000) {
      String f = UIntToStr(frac);
      f.insert(0, 4 - f.size(), u'0');
      while (f.back() == u'0') f.pop_back();
      s += u"." + f;
    }
    return s + u"c";
  }
  if (!std::isfinite(v.Float)) throw EWriteError("Cannot store a floating-point value that is not finite");
  char buf[64];
  auto r = v.Type == vaSingle ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v.Float))
                              : std::to_chars(buf, buf + sizeof buf, v.Float);
  std::string t(buf, r.ptr);
  std::string out;
  bool hasPoint = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == 'e') {
      hasPoint = true;  // an exponent marks a float as well
      out += 'E';
      if (i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) {
        if (t[i + 1] == '-') out += '-';
        ++i;
      }
      while (i + 2 < t.size() && t[i + 1] == '0') ++i;  // no leading zeros in the exponent
      continue;
    }
    if (t[i] == '.') hasPoint = true;
    out += t[i];
  }
  if (!hasPoint && v.Type != vaSingle && v.Type != vaDate) out += ".0";  // a suffix marks a float too
  if (v.Type == vaSingle) out += 's';
  else if (v.Type == vaDate) out += 'd';
  return Utf8ToString(out);
}

// Names the text form can hold so that they read back as written.
void CheckName(StringView name, bool dotted, bool property) {
  bool ok = !name.empty();
  for (size_t start = 0; ok && start <= name.size();) {
    size_t end = dotted ? name.find(u'.', start) : String::npos;
    if (end == String::npos) end = name.size();
    ok = IsValidIdent(name.substr(start, end - start));
    start = end + 1;
  }
  if (ok && property)
    for (std::u16string_view keyword : {u"object", u"inherited", u"inline", u"end"})
      ok = ok && !Is(name, keyword);
  if (!ok) throw EWriteError(u"The name " + QuoteString(name) + u" cannot be written in the text form");
}

class TTextFormatter {
 public:
  String Out;

  void Object(const TFormObject& o, int indent) {
    Indent(indent);
    Out += o.Flags.Contains(ffInherited) ? u"inherited " : o.Flags.Contains(ffInline) ? u"inline " : u"object ";
    CheckName(o.ClassName, false, false);
    if (!o.Name.empty()) {
      CheckName(o.Name, false, false);
      Out += o.Name + u": ";
    }
    Out += o.ClassName;
    if (o.Flags.Contains(ffChildPos)) Out += u" [" + IntToStr(o.ChildPos) + u"]";
    Out += kEol;
    for (const TFormProperty& p : o.Props) Property(p, indent + 2);
    for (const TFormObject& c : o.Children) Object(c, indent + 2);
    Indent(indent);
    Out += u"end";
    Out += kEol;
  }

  void Property(const TFormProperty& p, int indent) {
    Indent(indent);
    CheckName(p.Name, true, true);
    Out += p.Name;
    if (p.Value.IsString() && p.Value.Str.size() > 64) {
      // Long strings: one quoted piece per line, joined with '+'.
      Out += u" =";
      for (size_t i = 0; i < p.Value.Str.size(); i += 64) {
        if (i) Out += u" +";
        Out += kEol;
        Indent(indent + 2);
        Out += QuoteString(StringView(p.Value.Str).substr(i, 64));
      }
    } else {
      Out += u" = ";
      Value(p.Value, indent);
    }
    Out += kEol;
  }

  void Value(const TFormValue& v, int indent) {
    switch (v.Type) {
      case vaList:
        Out += u"(";
        for (const TFormValue& item : v.Items) {
          Out += kEol;
          Indent(indent + 2);
          Value(item, indent + 2);
        }
        Out += u")";
        break;
      case vaCollection:
        Out += u"<";
        for (const TFormItem& item : v.Collection) {
          Out += kEol;
          Indent(indent + 2);
          Out += u"item";
          if (item.HasIndex) Out += u" [" + IntToStr(item.Index) + u"]";
          Out += kEol;
          for (const TFormProperty& p : item.Props) Property(p, indent + 4);
          Indent(indent + 2);
          Out += u"end";
        }
        Out += u">";
        break;
      case vaBinary: {
        Out += u"{";
        static constexpr char16_t kHex[] = u"0123456789ABCDEF";
        for (size_t i = 0; i < v.Bytes.size(); ++i) {
          if (i % 32 == 0) {
            Out += kEol;
            Indent(indent + 2);
          }
          Out += kHex[v.Bytes[i] >> 4];
          Out += kHex[v.Bytes[i] & 15];
        }
        Out += u"}";
        break;
      }
      case vaIdent:
        CheckName(v.Str, true, false);
        Out += v.Str;
        break;
      case vaSet:
        for (const TFormValue& e : v.Items) CheckName(e.Str, false, false);
        Out += FormValueText(v);
        break;
      default: Out += FormValueText(v);
    }
  }

 private:
  void Indent(int n) { Out.append(static_cast<size_t>(n), u' '); }
};

}  // namespace

String FormValueText(const TFormValue& v) {
  switch (v.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return IntToStr(v.Int);
    case vaExtended:
    case vaSingle:
    case vaCurrency:
    case vaDate:
    case vaDouble: return FloatText(v);
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String: return QuoteString(v.Str);
    case vaIdent: return v.Str;
    case vaFalse: return u"False";
    case vaTrue: return u"True";
    case vaNil: return u"nil";
    case vaNull: return u"";
    case vaSet: {
      String s = u"[";
      for (size_t i = 0; i < v.Items.size(); ++i) s += (i ? u", " : u"") + v.Items[i].Str;
      return s + u"]";
    }
    case vaList: return u"(...)";
    case vaCollection: return u"<...>";
    case vaBinary: return u"{...}";
  }
  return {};
}

TFormObject ParseFormText(StringView text, StringView sourceName) {
  return TTextParser(text, sourceName).Parse();
}

String FormatFormText(const TFormObject& root) {
  TTextFormatter f;
  f.Object(root, 0);
  return std::move(f.Out);
}

}  // namespace vcl
