#include "host/classes/StringList.h"

#include <algorithm>
#include <numeric>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/ScopeGuards.h"
#include "host/rtl/Streams.h"

namespace vcl {

const TClass TStrings::Class = TClass::Define<TStrings, TPersistent>(u"TStrings");
const TClass TStringList::Class = TClass::Define<TStringList, TStrings>(u"TStringList");

namespace {
[[noreturn]] void SortedListError() { throw EStringListError("Operation not allowed on sorted list"); }

String GetDelimited(const TStrings& list, Char delimiter, Char quote, bool strict) {
  int count = list.Count();
  if (count == 1 && list.Strings(0).empty()) return String(2, quote);
  String result;
  for (int i = 0; i < count; ++i) {
    String s = list.Strings(i);
    bool needsQuotes = std::any_of(s.begin(), s.end(), [&](Char c) {
      return c == quote || c == delimiter || (!strict && c <= u' ');
    });
    if (needsQuotes) {
      String q(1, quote);
      for (Char c : s) {
        q += c;
        if (c == quote) q += c;
      }
      s = q + quote;
    }
    if (i) result += delimiter;
    result += s;
  }
  return result;
}

void SetDelimited(TStrings& list, StringView text, Char delimiter, Char quote, bool strict) {
  auto blank = [](Char c) { return c >= 1 && c <= u' '; };
  list.BeginUpdate();
  TFinally updated([&list] { list.EndUpdate(); });
  list.Clear();
  size_t p = 0, n = text.size();
  auto at = [&](size_t i) { return i < n ? text[i] : Char(0); };
  if (!strict)
    while (p < n && blank(text[p])) ++p;
  while (p < n) {
    String s;
    if (text[p] == quote) {
      ++p;
      while (p < n) {
        if (text[p] == quote) {
          if (at(p + 1) != quote) {
            ++p;
            break;
          }
          ++p;
        }
        s += text[p++];
      }
    } else {
      size_t start = p;
      while (p < n && text[p] != delimiter && (strict || text[p] > u' ')) ++p;
      s = String(text.substr(start, p - start));
    }
    list.Add(s);
    if (!strict)
      while (p < n && blank(text[p])) ++p;
    if (at(p) == delimiter) {
      if (p + 1 == n) list.Add(u"");
      do {
        ++p;
      } while (!strict && p < n && blank(text[p]));
    }
  }
}
}  // namespace

// ---- TStrings ----

void TStrings::IndexError(int index) {
  throw EStringListError(u"List index out of bounds (" + IntToStr(index) + u")");
}

void TStrings::SetStrings(int index, StringView value) {
  TObject* obj = Objects(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, value, obj);
  EndUpdate();
}

void TStrings::InsertObject(int index, StringView s, TObject* obj) {
  Insert(index, s);
  SetObjects(index, obj);
}

int TStrings::Add(StringView s) { return AddObject(s, nullptr); }

int TStrings::AddObject(StringView s, TObject* obj) {
  int index = Count();
  InsertObject(index, s, obj);
  return index;
}

void TStrings::AddStrings(TStrings* strings) {
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Strings(i), strings->Objects(i));
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  String s1 = Strings(index1);
  TObject* o1 = Objects(index1);
  SetStrings(index1, Strings(index2));
  SetObjects(index1, Objects(index2));
  SetStrings(index2, s1);
  SetObjects(index2, o1);
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
  BeginUpdate();
  String s = Strings(curIndex);
  TObject* obj = Objects(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, obj);
  EndUpdate();
}

int TStrings::IndexOf(StringView s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Strings(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(StringView name) const {
  for (int i = 0; i < Count(); ++i) {
    String s = Strings(i);
    size_t p = s.find(FNameValueSeparator);
    if (p != String::npos && CompareStrings(StringView(s).substr(0, p), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* obj) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == obj) return i;
  return -1;
}

bool TStrings::Equals(TStrings* strings) const {
  if (!strings || strings->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Strings(i) != strings->Strings(i)) return false;
  return true;
}

String TStrings::Names(int index) const {
  String s = Strings(index);
  size_t p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::Values(StringView name) const {
  int i = IndexOfName(name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(StringView name, StringView value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    String line = String(name) + FNameValueSeparator + String(value);
    if (i < 0) Add(line);
    else SetStrings(i, line);
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::ValueFromIndex(int index) const {
  String s = Strings(index);
  size_t p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int index, StringView value) {
  if (!value.empty()) {
    if (index < 0) index = Add(u"");
    SetStrings(index, Names(index) + FNameValueSeparator + String(value));
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::Text() const {
  String result;
  for (int i = 0; i < Count(); ++i) result += Strings(i) + FLineBreak;
  return result;
}

void TStrings::SetText(StringView value) {
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  Clear();
  size_t p = 0;
  while (p < value.size()) {
    size_t start = p;
    while (p < value.size() && value[p] != u'\r' && value[p] != u'\n') ++p;
    Add(value.substr(start, p - start));
    if (p < value.size() && value[p] == u'\r') ++p;
    if (p < value.size() && value[p] == u'\n') ++p;
  }
}

String TStrings::DelimitedText() const { return GetDelimited(*this, FDelimiter, FQuoteChar, FStrictDelimiter); }
void TStrings::SetDelimitedText(StringView value) { SetDelimited(*this, value, FDelimiter, FQuoteChar, FStrictDelimiter); }
String TStrings::CommaText() const { return GetDelimited(*this, u',', u'"', FStrictDelimiter); }
void TStrings::SetCommaText(StringView value) { SetDelimited(*this, value, u',', u'"', FStrictDelimiter); }

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TStrings*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  TFinally updated([this] { EndUpdate(); });
  Clear();
  FDelimiter = other->FDelimiter;
  FQuoteChar = other->FQuoteChar;
  FNameValueSeparator = other->FNameValueSeparator;
  FStrictDelimiter = other->FStrictDelimiter;
  FLineBreak = other->FLineBreak;
  AddStrings(other);
}

void TStrings::DefineProperties(TFiler* filer) {
  filer->DefineProperty(
      u"Strings",
      [this](TReader& reader) {
        reader.ReadListBegin();
        BeginUpdate();
        TFinally updated([this] { EndUpdate(); });
        Clear();
        while (!reader.EndOfList()) Add(reader.ReadString());
        reader.ReadListEnd();
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (int i = 0; i < Count(); ++i) writer.WriteString(Strings(i));
        writer.WriteListEnd();
      },
      Count() > 0);
}

void TStrings::LoadFromStream(TStream* stream) {
  std::string bytes;
  char buffer[65536];
  for (Int64 n; (n = stream->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
  auto utf16 = [&](size_t from, bool bigEndian) {
    String s;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
      auto a = static_cast<Byte>(bytes[i]), b = static_cast<Byte>(bytes[i + 1]);
      s += static_cast<Char>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return s;
  };
  String text;
  if (bytes.starts_with("\xFF\xFE")) text = utf16(2, false);
  else if (bytes.starts_with("\xFE\xFF")) text = utf16(2, true);
  else text = Utf8ToString(bytes.starts_with("\xEF\xBB\xBF") ? std::string_view(bytes).substr(3) : bytes);
  SetText(text);
}

void TStrings::SaveToStream(TStream* stream) const {
  std::string bytes = StringToUtf8(Text());
  stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

void TStrings::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& fileName) const {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

int TStrings::CompareStrings(StringView s1, StringView s2) const {
  return detail::CompareTextIgnoreCase(s1, s2);
}

// ---- TStringList ----

TStringList::~TStringList() {
  FOnChange = nullptr;
  FOnChanging = nullptr;
  if (FOwnsObjects)
    for (TItem& item : FList) delete item.Obj;
}

void TStringList::Check(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

String TStringList::Strings(int index) const {
  Check(index);
  return FList[static_cast<size_t>(index)].S;
}

void TStringList::SetStrings(int index, StringView value) {
  if (FSorted) SortedListError();
  Check(index);
  Changing();
  FList[static_cast<size_t>(index)].S = String(value);
  Changed();
}

TObject* TStringList::Objects(int index) const {
  Check(index);
  return FList[static_cast<size_t>(index)].Obj;
}

void TStringList::SetObjects(int index, TObject* value) {
  Check(index);
  Changing();
  FList[static_cast<size_t>(index)].Obj = value;
  Changed();
}

int TStringList::AddObject(StringView s, TObject* obj) {
  int index = Count();
  if (FSorted && Find(s, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::InsertObject(int index, StringView s, TObject* obj) {
  if (FSorted) SortedListError();
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, StringView s, TObject* obj) {
  Changing();
  FList.insert(FList.begin() + index, TItem{String(s), obj});
  Changed();
}

void TStringList::Delete(int index) {
  Check(index);
  Changing();
  TObject* obj = FList[static_cast<size_t>(index)].Obj;
  FList.erase(FList.begin() + index);
  if (FOwnsObjects) delete obj;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TItem> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (TItem& item : old) delete item.Obj;
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  if (FSorted) SortedListError();
  Check(index1);
  Check(index2);
  Changing();
  std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (FSorted) SortedListError();
  Check(curIndex);
  Check(newIndex);
  if (curIndex == newIndex) return;
  Changing();
  auto first = FList.begin();
  if (curIndex < newIndex) std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
  else std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
  Changed();
}

int TStringList::IndexOf(StringView s) const {
  if (!FSorted) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(StringView s, int& index) const {
  auto it = std::partition_point(FList.begin(), FList.end(),
                                 [&](const TItem& item) { return CompareStrings(item.S, s) < 0; });
  index = static_cast<int>(it - FList.begin());
  return it != FList.end() && CompareStrings(it->S, s) == 0;
}

void TStringList::CustomSort(int (*compare)(TStringList* list, int index1, int index2)) {
  if (Count() < 2) return;
  Changing();
  std::vector<int> order(FList.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<TItem> sorted;
  sorted.reserve(FList.size());
  for (int i : order) sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
  FList = std::move(sorted);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->FList[static_cast<size_t>(a)].S, list->FList[static_cast<size_t>(b)].S);
  });
}

void TStringList::SetSorted(bool value) {
  if (value == FSorted) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == FCaseSensitive) return;
  FCaseSensitive = value;
  if (FSorted) Sort();
}

int TStringList::CompareStrings(StringView s1, StringView s2) const {
  if (FCaseSensitive) return s1 < s2 ? -1 : s1 > s2 ? 1 : 0;
  return detail::CompareTextIgnoreCase(s1, s2);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) FOnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) FOnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

}  // namespace vcl
