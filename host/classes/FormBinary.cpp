// Binary window descriptions ("TPF0"): parser and formatter, and the value helpers.
#include <cmath>
#include <cstring>
#include <limits>

#include "host/classes/FormData.h"
#include "host/rtl/NumFormat.h"

namespace vcl {

// ---- values ----

double TFormValue::AsFloat() const {
  if (Type == vaCurrency) return static_cast<double>(Int) / 10000.0;
  if (IsInteger()) return static_cast<double>(Int);
  return Float;
}

TFormValue TFormValue::FromInt(Int64 v) {
  TFormValue r;
  r.Int = v;
  r.Type = v >= -128 && v <= 127                ? vaInt8
           : v >= -32768 && v <= 32767          ? vaInt16
           : v >= INT32_MIN && v <= INT32_MAX   ? vaInt32
                                                : vaInt64;
  return r;
}

TFormValue TFormValue::FromString(StringView s) {
  TFormValue r;
  r.Str = String(s);
  bool ascii = true;
  for (Char c : s) ascii = ascii && c < 128;
  r.Type = !ascii ? vaWString : s.size() <= 255 ? vaString : vaLString;
  return r;
}

TFormValue TFormValue::FromIdent(StringView s) {
  TFormValue r;
  r.Type = vaIdent;
  r.Str = String(s);
  return r;
}

// ---- 80-bit extended ----

double ExtendedToDouble(const Byte* ten) {
  UInt64 mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | ten[i];
  int exponent = ((ten[9] & 0x7F) << 8) | ten[8];
  bool negative = (ten[9] & 0x80) != 0;
  double v;
  if (exponent == 0x7FFF) {
    v = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::quiet_NaN();
  } else if (mantissa == 0) {
    v = 0;
  } else {
    // value = mantissa * 2^(exponent - 16383 - 63); denormals use exponent 1.
    v = std::ldexp(static_cast<double>(mantissa), (exponent ? exponent : 1) - 16383 - 63);
  }
  return negative ? -v : v;
}

void DoubleToExtended(double v, Byte* ten) {
  UInt64 mantissa = 0;
  int exponent = 0;
  bool negative = std::signbit(v);
  if (std::isnan(v)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(v)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (v != 0) {
    int e = 0;
    double m = std::frexp(std::fabs(v), &e);  // v = m * 2^e, 0.5 <= m < 1
    mantissa = static_cast<UInt64>(std::ldexp(m, 64));
    exponent = e - 1 + 16383;
  }
  for (int i = 0; i < 8; ++i) ten[i] = static_cast<Byte>(mantissa >> (8 * i));
  ten[8] = static_cast<Byte>(exponent & 0xFF);
  ten[9] = static_cast<Byte>(((exponent >> 8) & 0x7F) | (negative ? 0x80 : 0));
}

namespace {

// Windows-1252 characters 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class TBinaryParser {
 public:
  TBinaryParser(std::span<const Byte> data, StringView source) : D(data), Source(source) {}

  TFormObject Parse() {
    if (D.size() > static_cast<size_t>(INT32_MAX)) Error(0, u"Form data too large");
    if (!IsBinaryForm(D)) Error(0, u"Invalid stream format: the signature 'TPF0' is missing");
    P = 4;
    return Object(0);
  }

 private:
  [[noreturn]] void Error(size_t at, StringView message) const {
    throw EReadError(FormPosText(Source, {0, static_cast<Integer>(at)}) + String(message));
  }
  void Need(size_t n, StringView what) const {
    if (n > D.size() - P)
      Error(P, u"Unexpected end of stream: " + String(what) + u" needs " + UIntToStr(n) +
                   u" bytes, " + UIntToStr(D.size() - P) + u" remain");
  }
  Byte PeekByte() {
    Need(1, u"the next value");
    return D[P];
  }
  Byte U8() {
    Byte b = PeekByte();
    ++P;
    return b;
  }
  UInt64 Unsigned(size_t n, StringView what) {
    Need(n, what);
    UInt64 v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | D[P + i];
    P += n;
    return v;
  }
  String Ansi(size_t n) {
    String s;
    s.reserve(n);
    for (size_t i = 0; i < n; ++i) {
      Byte b = D[P + i];
      s += b >= 0x80 && b < 0xA0 ? kCp1252[b - 0x80] : static_cast<Char>(b);
    }
    P += n;
    return s;
  }
  String ShortString(StringView what) {
    size_t n = U8();
    Need(n, what);
    return Ansi(n);
  }
  size_t Length(size_t unit, StringView what) {
    size_t at = P;
    UInt64 n = Unsigned(4, what);
    if (n > (D.size() - P) / unit)
      Error(at, String(what) + u" length " + UIntToStr(n) + u" exceeds the " +
                    UIntToStr(D.size() - P) + u" bytes that remain");
    return static_cast<size_t>(n);
  }

  TFormObject Object(int depth) {
    if (depth > MaxFormNesting) Error(P, u"Objects nested too deeply");
    TFormObject o;
    o.Pos = {0, static_cast<Integer>(P)};
    Byte b = PeekByte();
    if ((b & 0xF0) == 0xF0) {
      ++P;
      o.Flags = TFilerFlags::FromBits(b & 0x07);
      if (o.Flags.Contains(ffChildPos)) {
        TFormValue v = Value(depth + 1);
        if (!v.IsInteger()) Error(v.Pos.Column, u"Integer expected for the child position");
        o.ChildPos = v.Int;
      }
    }
    size_t classAt = P;
    o.ClassName = ShortString(u"the class name");
    // Without a class the object could not be written back: its empty class name would read
    // as the end of a list of objects.
    if (o.ClassName.empty()) Error(classAt, u"Invalid stream format: an object without a class name");
    o.Name = ShortString(u"the object name");
    while (PeekByte() != 0) {
      TFormProperty p;
      p.Pos = {0, static_cast<Integer>(P)};
      p.Name = ShortString(u"the property name");
      p.Value = Value(depth + 1);
      o.Props.push_back(std::move(p));
    }
    ++P;
    while (PeekByte() != 0) o.Children.push_back(Object(depth + 1));
    ++P;
    return o;
  }

  TFormValue Value(int depth) {
    TFormValue v;
    v.Pos = {0, static_cast<Integer>(P)};
    if (depth > MaxFormNesting) Error(P, u"Values nested too deeply");
    v.Type = static_cast<TValueType>(U8());
    switch (v.Type) {
      case vaList:
        while (PeekByte() != 0) v.Items.push_back(Value(depth + 1));
        ++P;
        break;
      case vaInt8: v.Int = static_cast<std::int8_t>(Unsigned(1, u"vaInt8")); break;
      case vaInt16: v.Int = static_cast<std::int16_t>(Unsigned(2, u"vaInt16")); break;
      case vaInt32: v.Int = static_cast<std::int32_t>(Unsigned(4, u"vaInt32")); break;
      case vaInt64: v.Int = static_cast<Int64>(Unsigned(8, u"vaInt64")); break;
      case vaExtended:
        Need(10, u"vaExtended");
        v.Float = ExtendedToDouble(&D[P]);
        P += 10;
        break;
      case vaSingle: {
        auto bits = static_cast<std::uint32_t>(Unsigned(4, u"vaSingle"));
        float f;
        std::memcpy(&f, &bits, 4);
        v.Float = f;
        break;
      }
      case vaDouble:
      case vaDate: {
        UInt64 bits = Unsigned(8, u"vaDouble");
        std::memcpy(&v.Float, &bits, 8);
        break;
      }
      case vaCurrency: v.Int = static_cast<Int64>(Unsigned(8, u"vaCurrency")); break;
      case vaString: v.Str = ShortString(u"vaString"); break;
      case vaIdent: v.Str = ShortString(u"vaIdent"); break;
      case vaLString: v.Str = Ansi(Length(1, u"vaLString")); break;
      case vaUTF8String: {
        size_t n = Length(1, u"vaUTF8String");
        v.Str = Utf8ToString(std::string_view(reinterpret_cast<const char*>(&D[P]), n));
        P += n;
        break;
      }
      case vaWString: {
        size_t n = Length(2, u"vaWString");
        v.Str.resize(n);
        for (size_t i = 0; i < n; ++i) v.Str[i] = static_cast<Char>(D[P + 2 * i] | (D[P + 2 * i + 1] << 8));
        P += 2 * n;
        break;
      }
      case vaFalse:
      case vaTrue:
      case vaNil: break;
      case vaBinary: {
        size_t n = Length(1, u"vaBinary");
        v.Bytes.assign(D.begin() + static_cast<std::ptrdiff_t>(P), D.begin() + static_cast<std::ptrdiff_t>(P + n));
        P += n;
        break;
      }
      case vaSet:
        for (;;) {
          size_t at = P;
          String name = ShortString(u"the set element");
          if (name.empty()) break;
          TFormValue e = TFormValue::FromIdent(name);
          e.Pos = {0, static_cast<Integer>(at)};
          v.Items.push_back(std::move(e));
        }
        break;
      case vaCollection:
        while (PeekByte() != 0) {
          TFormItem item;
          item.Pos = {0, static_cast<Integer>(P)};
          Byte t = PeekByte();
          if (t == vaInt8 || t == vaInt16 || t == vaInt32) {
            item.HasIndex = true;
            item.Index = Value(depth + 1).Int;
          }
          if (U8() != vaList) Error(P - 1, u"Collection item expected");
          while (PeekByte() != 0) {
            TFormProperty p;
            p.Pos = {0, static_cast<Integer>(P)};
            p.Name = ShortString(u"the property name");
            p.Value = Value(depth + 1);
            item.Props.push_back(std::move(p));
          }
          ++P;
          v.Collection.push_back(std::move(item));
        }
        ++P;
        break;
      default: Error(P - 1, u"Invalid value type " + IntToStr(static_cast<int>(v.Type)));
    }
    return v;
  }

  std::span<const Byte> D;
  String Source;
  size_t P = 0;
};

class TBinaryFormatter {
 public:
  std::vector<Byte> Out;

  void Object(const TFormObject& o) {
    if (!o.Flags.Empty()) {
      Out.push_back(static_cast<Byte>(0xF0 | o.Flags.Bits()));
      if (o.Flags.Contains(ffChildPos)) WriteInt(o.ChildPos);
    }
    ShortString(o.ClassName);
    ShortString(o.Name);
    for (const TFormProperty& p : o.Props) Property(p);
    Out.push_back(0);
    for (const TFormObject& c : o.Children) Object(c);
    Out.push_back(0);
  }

 private:
  void Bytes(UInt64 v, int n) {
    for (int i = 0; i < n; ++i) Out.push_back(static_cast<Byte>(v >> (8 * i)));
  }
  void ShortString(StringView s) {
    if (s.size() > 255) throw EWriteError(u"Name too long for a binary form: " + String(s.substr(0, 40)) + u"...");
    Out.push_back(static_cast<Byte>(s.size()));
    for (Char c : s) {
      if (c >= 128) throw EWriteError(u"Name not storable in a binary form: " + String(s));
      Out.push_back(static_cast<Byte>(c));
    }
  }
  void WriteInt(Int64 v) {
    TFormValue t = TFormValue::FromInt(v);
    Out.push_back(t.Type);
    Bytes(static_cast<UInt64>(v), t.Type == vaInt8 ? 1 : t.Type == vaInt16 ? 2 : t.Type == vaInt32 ? 4 : 8);
  }
  void Property(const TFormProperty& p) {
    ShortString(p.Name);
    Value(p.Value);
  }
  void Value(const TFormValue& v) {
    switch (v.Type) {
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: WriteInt(v.Int); break;
      case vaExtended: {
        Out.push_back(vaExtended);
        Byte ten[10];
        DoubleToExtended(v.Float, ten);
        Out.insert(Out.end(), ten, ten + 10);
        break;
      }
      case vaSingle: {
        Out.push_back(vaSingle);
        float f = static_cast<float>(v.Float);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Bytes(bits, 4);
        break;
      }
      case vaDouble:
      case vaDate: {
        Out.push_back(v.Type);
        UInt64 bits;
        std::memcpy(&bits, &v.Float, 8);
        Bytes(bits, 8);
        break;
      }
      case vaCurrency:
        Out.push_back(vaCurrency);
        Bytes(static_cast<UInt64>(v.Int), 8);
        break;
      case vaString:
      case vaLString:
      case vaWString:
      case vaUTF8String: {
        TFormValue t = TFormValue::FromString(v.Str);
        Out.push_back(t.Type);
        if (t.Type == vaString) Out.push_back(static_cast<Byte>(v.Str.size()));
        else Bytes(v.Str.size(), 4);
        for (Char c : v.Str) {
          if (t.Type == vaWString) Bytes(c, 2);
          else Out.push_back(static_cast<Byte>(c));
        }
        break;
      }
      case vaIdent:
        Out.push_back(vaIdent);
        ShortString(v.Str);
        break;
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull: Out.push_back(v.Type); break;
      case vaBinary:
        if (v.Bytes.size() > UINT32_MAX) throw EWriteError("Binary value too large");
        Out.push_back(vaBinary);
        Bytes(v.Bytes.size(), 4);
        Out.insert(Out.end(), v.Bytes.begin(), v.Bytes.end());
        break;
      case vaSet:
        Out.push_back(vaSet);
        for (const TFormValue& e : v.Items)
          if (!e.Str.empty()) ShortString(e.Str);
        Out.push_back(0);
        break;
      case vaList:
        Out.push_back(vaList);
        for (const TFormValue& e : v.Items) Value(e);
        Out.push_back(0);
        break;
      case vaCollection:
        Out.push_back(vaCollection);
        for (const TFormItem& item : v.Collection) {
          if (item.HasIndex) WriteInt(item.Index);
          Out.push_back(vaList);
          for (const TFormProperty& p : item.Props) Property(p);
          Out.push_back(0);
        }
        Out.push_back(0);
        break;
    }
  }
};

}  // namespace

bool IsBinaryForm(std::span<const Byte> data) {
  return data.size() >= 4 && std::memcmp(data.data(), "TPF0", 4) == 0;
}

TFormObject ParseFormBinary(std::span<const Byte> data, StringView sourceName) {
  return TBinaryParser(data, sourceName).Parse();
}

TFormObject ParseForm(std::span<const Byte> data, StringView sourceName) {
  if (IsBinaryForm(data)) return ParseFormBinary(data, sourceName);
  std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return ParseFormText(Utf8ToString(text), sourceName);
}

std::vector<Byte> FormatFormBinary(const TFormObject& root) {
  TBinaryFormatter f;
  f.Out = {'T', 'P', 'F', '0'};
  f.Object(root);
  return std::move(f.Out);
}

}  // namespace vcl
