// TStrings, the abstract list of strings with associated objects, and TStringList.
// Stored in window descriptions as `Lines.Strings = ( 'a' 'b' )`.
#pragma once
#include <vector>

#include "host/classes/Persistent.h"

namespace vcl {

class EStringListError : public EListError {
 public:
  using EListError::EListError;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // ---- the list (descendants implement these) ----
  virtual int Count() const = 0;
  virtual String Strings(int index) const = 0;  // EStringListError when out of range
  virtual void SetStrings(int index, StringView value);
  virtual TObject* Objects(int index) const { return nullptr; }
  virtual void SetObjects(int index, TObject* value) {}
  virtual void Insert(int index, StringView s) = 0;
  virtual void InsertObject(int index, StringView s, TObject* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  virtual int Add(StringView s);
  virtual int AddObject(StringView s, TObject* obj);
  void Append(StringView s) { Add(s); }
  void AddStrings(TStrings* strings);
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);

  // Lookups compare with CompareStrings (ignoring case unless CaseSensitive).
  virtual int IndexOf(StringView s) const;
  int IndexOfName(StringView name) const;
  int IndexOfObject(TObject* obj) const;
  bool Equals(TStrings* strings) const;

  // "Name=Value" lines.
  String Names(int index) const;
  String Values(StringView name) const;
  void SetValues(StringView name, StringView value);  // an empty value deletes the line
  String ValueFromIndex(int index) const;
  void SetValueFromIndex(int index, StringView value);

  // Every line followed by LineBreak; set: split on CR, LF or CRLF.
  String Text() const;
  virtual void SetText(StringView value);
  // Delimiter-separated items; items holding the quote character, the delimiter, or (unless
  // StrictDelimiter) blanks and control characters are quoted, with quotes doubled.
  String DelimitedText() const;
  void SetDelimitedText(StringView value);
  String CommaText() const;  // DelimitedText with ',' and '"'
  void SetCommaText(StringView value);

  Char Delimiter() const { return FDelimiter; }
  void SetDelimiter(Char value) { FDelimiter = value; }
  Char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(Char value) { FQuoteChar = value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }
  Char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(Char value) { FNameValueSeparator = value; }
  const String& LineBreak() const { return FLineBreak; }
  void SetLineBreak(StringView value) { FLineBreak = String(value); }

  // Nested; the outermost pair brackets one change notification.
  void BeginUpdate();
  void EndUpdate();

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  // UTF-8 (a byte-order mark for UTF-8 or UTF-16 is honoured when loading).
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName) const;

  virtual int CompareStrings(StringView s1, StringView s2) const;

 protected:
  int UpdateCount() const { return FUpdateCount; }
  // Called by the outermost BeginUpdate (true) and EndUpdate (false).
  virtual void SetUpdateState(bool updating) {}
  [[noreturn]] static void IndexError(int index);

 private:
  Char FDelimiter = u',';
  Char FQuoteChar = u'"';
  Char FNameValueSeparator = u'=';
  bool FStrictDelimiter = false;
  String FLineBreak = u"\r\n";
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }

  // `ownsObjects`: the list frees the objects of the lines it deletes.
  explicit TStringList(bool ownsObjects = false) : FOwnsObjects(ownsObjects) {}
  ~TStringList() override;

  int Count() const override { return static_cast<int>(FList.size()); }
  String Strings(int index) const override;
  void SetStrings(int index, StringView value) override;
  TObject* Objects(int index) const override;
  void SetObjects(int index, TObject* value) override;
  // A sorted list inserts at the sorted place and applies Duplicates.
  int AddObject(StringView s, TObject* obj) override;
  // Sorted lists raise EStringListError for Insert, Exchange and Move.
  void InsertObject(int index, StringView s, TObject* obj) override;
  void Insert(int index, StringView s) override { InsertObject(index, s, nullptr); }
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(StringView s) const override;

  // Binary search of a sorted list: true when found; `index` is the match or the place where
  // `s` would go.
  bool Find(StringView s, int& index) const;
  void Sort();
  void CustomSort(int (*compare)(TStringList* list, int index1, int index2));

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(TNotifyEvent value) { FOnChanging = value; }

  int CompareStrings(StringView s1, StringView s2) const override;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;

 private:
  struct TItem {
    String S;
    TObject* Obj;
  };
  void Check(int index) const;
  void InsertItem(int index, StringView s, TObject* obj);

  std::vector<TItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects;
  TDuplicates FDuplicates = dupIgnore;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

}  // namespace vcl
