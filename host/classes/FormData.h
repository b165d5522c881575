// Window descriptions as data: the tree both stored forms share, its textual form
// (`object Button1: TButton` ... `end`) and its binary form ("TPF0" signature, typed values).
//
// Text grammar:
//   object  = ("object" | "inherited" | "inline") [Name ":"] Class ["[" int "]"]
//             {Prop "=" value} {object} "end"
//   value   = int | float | string | ident | "[" [ident {"," ident}] "]" | "(" {value} ")"
//           | "<" {"item" ["[" int "]"] {Prop "=" value} "end"} ">" | "{" hex digits "}"
//   int     = ["-"] (digits | "$" hex digits); 1-8 hex digits are a 32-bit pattern ($FFFFFFFF = -1)
//   float   = ["-"] digits "." digits ["E" ["+"|"-"] digits] ["s" | "c" | "d"] (single, currency, date)
//   string  = pieces of 'text' ('' is a quote) and #code / #$hex characters, joined directly
//             or with "+" across lines
//   ident   = letters, digits, "_" and "."; True, False and nil are the Boolean and nil values.
// Binary: "TPF0", then per object an optional prefix byte $F0|flags (+ child position value),
// class and name as short strings, properties (short-string name, typed value) ended by 0,
// children ended by 0.
#pragma once
#include <span>
#include <vector>

#include "host/classes/Sets.h"
#include "host/rtl/SysUtils.h"

namespace vcl {

enum TValueType : Byte {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String, vaDouble
};

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

// Where something was read: 1-based line and column of a text, or Line 0 and the byte offset
// (in Column) of a binary form.
struct TFormPos {
  Integer Line = 0;
  Integer Column = 0;
};

struct TFormItem;

struct TFormValue {
  TValueType Type = vaNull;
  Int64 Int = 0;                      // integers; currency scaled by 10000
  double Float = 0;                   // vaExtended, vaSingle, vaDate, vaDouble
  String Str;                         // strings, identifiers
  std::vector<Byte> Bytes;            // vaBinary
  std::vector<TFormValue> Items;      // vaList values; vaSet elements (vaIdent)
  std::vector<TFormItem> Collection;  // vaCollection
  TFormPos Pos;

  bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64; }
  bool IsString() const {
    return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String;
  }
  bool IsFloat() const {
    return Type == vaExtended || Type == vaSingle || Type == vaCurrency || Type == vaDate || Type == vaDouble;
  }
  double AsFloat() const;  // any number
  static TFormValue FromInt(Int64 v);
  static TFormValue FromString(StringView s);
  static TFormValue FromIdent(StringView s);
};

struct TFormProperty {
  String Name;
  TFormValue Value;
  TFormPos Pos;
};

struct TFormItem {
  bool HasIndex = false;
  Int64 Index = 0;
  std::vector<TFormProperty> Props;
  TFormPos Pos;
};

struct TFormObject {
  TFilerFlags Flags;
  Int64 ChildPos = 0;  // with ffChildPos
  String ClassName;
  String Name;
  std::vector<TFormProperty> Props;
  std::vector<TFormObject> Children;
  TFormPos Pos;
};

// Nesting of objects, lists and collections that the parsers accept.
constexpr int MaxFormNesting = 200;

// Parse errors raise EReadError "<source>: line L, column C: <what>" (text) or
// "<source>: offset N: <what>" (binary).
TFormObject ParseFormText(StringView text, StringView sourceName = {});
TFormObject ParseFormBinary(std::span<const Byte> data, StringView sourceName = {});
bool IsBinaryForm(std::span<const Byte> data);  // starts with "TPF0"
// Text (UTF-8, optional byte-order mark) or binary, told apart by the signature.
TFormObject ParseForm(std::span<const Byte> data, StringView sourceName = {});

String FormatFormText(const TFormObject& root);
std::vector<Byte> FormatFormBinary(const TFormObject& root);

// Text of one value as it appears after "Name = " (first line), for messages and tests.
String FormValueText(const TFormValue& v);

// "<source>: line L, column C: " / "<source>: offset N: " prefix of a message.
String FormPosText(StringView sourceName, TFormPos pos);

// 80-bit x87 extended <-> double (little-endian, 10 bytes).
double ExtendedToDouble(const Byte* ten);
void DoubleToExtended(double v, Byte* ten);

}  // namespace vcl
