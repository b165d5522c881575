#include <gtest/gtest.h>

#include "TestClasses.h"
#include "host/rtl/NumFormat.h"
#include "host/rtl/Streams.h"

using namespace vcl;
using namespace kxtest;

namespace {
std::vector<String> All(const TStrings& s) {
  std::vector<String> v;
  for (int i = 0; i < s.Count(); ++i) v.push_back(s.Strings(i));
  return v;
}

class TCounter : public TObject {
 public:
  int Changes = 0;
  int Changings = 0;
  void Change(TObject*) { ++Changes; }
  void Changing(TObject*) { ++Changings; }
};

class TTracked : public TObject {
 public:
  explicit TTracked(int* alive) : FAlive(alive) { ++*FAlive; }
  ~TTracked() override { --*FAlive; }

 private:
  int* FAlive;
};
}  // namespace

TEST(StringLists, SortedListsInsertInPlaceAndHandleDuplicates) {
  TStringList s;
  s.SetSorted(true);
  for (const char16_t* w : {u"pear", u"Apple", u"fig", u"apple"}) s.Add(w);
  EXPECT_EQ(All(s), (std::vector<String>{u"Apple", u"fig", u"pear"}));  // dupIgnore, ignoring case
  int index = -1;
  EXPECT_TRUE(s.Find(u"FIG", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(s.Find(u"grape", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(s.IndexOf(u"PEAR"), 2);
  s.SetDuplicates(dupAccept);
  s.Add(u"fig");
  EXPECT_EQ(All(s), (std::vector<String>{u"Apple", u"fig", u"fig", u"pear"}));
  s.SetDuplicates(dupError);
  try {
    s.Add(u"Pear");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), u"String list does not allow duplicates");
  }
  EXPECT_THROW(s.Insert(0, u"z"), EStringListError);
  EXPECT_THROW(s.Move(0, 1), EStringListError);  // and nothing is lost
  EXPECT_THROW(s.Exchange(0, 1), EStringListError);
  EXPECT_EQ(s.Count(), 4);

  s.SetCaseSensitive(true);  // re-sorts: upper case first
  s.SetDuplicates(dupIgnore);
  s.Add(u"apple");
  EXPECT_EQ(All(s), (std::vector<String>{u"Apple", u"apple", u"fig", u"fig", u"pear"}));
  EXPECT_EQ(s.IndexOf(u"APPLE"), -1);
}

TEST(StringLists, UnsortedEditing) {
  TStringList s;
  s.SetText(u"a\r\nb\r\nc\r\nd");
  s.Exchange(0, 3);
  s.Move(0, 2);  // d goes to 2
  EXPECT_EQ(All(s), (std::vector<String>{u"b", u"c", u"d", u"a"}));
  s.Insert(4, u"e");
  s.Delete(0);
  s.SetStrings(0, u"C");
  EXPECT_EQ(All(s), (std::vector<String>{u"C", u"d", u"a", u"e"}));
  EXPECT_EQ(s.IndexOf(u"c"), 0);  // ignoring case by default
  s.SetCaseSensitive(true);
  EXPECT_EQ(s.IndexOf(u"c"), -1);
  s.Sort();
  EXPECT_EQ(All(s), (std::vector<String>{u"C", u"a", u"d", u"e"}));
  for (int bad : {5, -1}) {
    try {
      s.Strings(bad);
      FAIL();
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), u"List index out of bounds (" + IntToStr(bad) + u")");
    }
  }
  EXPECT_THROW(s.Insert(6, u"x"), EStringListError);
  EXPECT_THROW(s.Move(0, 4), EStringListError);
  EXPECT_EQ(s.Count(), 4);
}

TEST(StringLists, TextSplitsOnAnyLineBreakAndJoinsWithCrLf) {
  TStringList s;
  s.SetText(u"one\r\ntwo\nthree\rfour\r\n\r\nsix\n");
  EXPECT_EQ(All(s), (std::vector<String>{u"one", u"two", u"three", u"four", u"", u"six"}));
  EXPECT_EQ(s.Text(), u"one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
  TStringList t;
  t.SetText(s.Text());
  EXPECT_TRUE(t.Equals(&s));
  t.SetText(u"");
  EXPECT_EQ(t.Count(), 0);
  t.SetLineBreak(u"|");
  t.Add(u"x");
  EXPECT_EQ(t.Text(), u"x|");
}

TEST(StringLists, CommaTextQuotesWhatNeedsIt) {
  TStringList s;
  for (const char16_t* v : {u"plain", u"two words", u"say \"hi\"", u"a,b", u"", u"line\r\nbreak"}) s.Add(v);
  String text = s.CommaText();
  EXPECT_EQ(text, u"plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",,\"line\r\nbreak\"");
  TStringList t;
  t.SetCommaText(text);
  EXPECT_EQ(All(t), All(s));
  // Unquoted blanks separate items unless the delimiter is strict.
  t.SetCommaText(u" a b , c,");
  EXPECT_EQ(All(t), (std::vector<String>{u"a", u"b", u"c", u""}));
  t.SetDelimiter(u';');
  t.SetStrictDelimiter(true);
  t.SetDelimitedText(u" a b ;'x';");
  EXPECT_EQ(All(t), (std::vector<String>{u" a b ", u"'x'", u""}));
  t.SetQuoteChar(u'\'');
  t.SetDelimitedText(u"'it''s';b");
  EXPECT_EQ(All(t), (std::vector<String>{u"it's", u"b"}));
  EXPECT_EQ(t.DelimitedText(), u"'it''s';b");
  TStringList one;
  one.Add(u"");
  EXPECT_EQ(one.CommaText(), u"\"\"");
  t.SetCommaText(u"\"\"");
  EXPECT_EQ(All(t), std::vector<String>{u""});
}

TEST(StringLists, NamesAndValues) {
  TStringList s;
  s.SetText(u"Width=10\nColor=clRed\nnoequals\nEmpty=");
  EXPECT_EQ(s.Names(0), u"Width");
  EXPECT_EQ(s.Names(2), u"");
  EXPECT_EQ(s.Values(u"color"), u"clRed");
  EXPECT_EQ(s.ValueFromIndex(3), u"");
  EXPECT_EQ(s.IndexOfName(u"EMPTY"), 3);
  s.SetValues(u"Width", u"20");
  s.SetValues(u"Height", u"5");
  s.SetValues(u"Color", u"");  // an empty value removes the line
  EXPECT_EQ(All(s), (std::vector<String>{u"Width=20", u"noequals", u"Empty=", u"Height=5"}));
  s.SetValueFromIndex(2, u"full");
  EXPECT_EQ(s.Strings(2), u"Empty=full");
  s.SetNameValueSeparator(u':');
  s.Add(u"a:b");
  EXPECT_EQ(s.Values(u"a"), u"b");
}

TEST(StringLists, ObjectsTravelWithTheirStringsAndOwnedOnesAreFreed) {
  int alive = 0;
  {
    TStringList s(true);
    s.AddObject(u"b", new TTracked(&alive));
    s.AddObject(u"a", new TTracked(&alive));
    TObject* first = s.Objects(0);
    s.SetSorted(true);
    EXPECT_EQ(s.Objects(1), first);
    EXPECT_EQ(s.IndexOfObject(first), 1);
    s.Delete(0);
    EXPECT_EQ(alive, 1);
    s.AddObject(u"c", new TTracked(&alive));
  }
  EXPECT_EQ(alive, 0);
  TStringList notOwning;
  TTracked keep(&alive);
  notOwning.AddObject(u"k", &keep);
  notOwning.Clear();
  EXPECT_EQ(alive, 1);
}

TEST(StringLists, ChangeEventsFireOncePerOutermostUpdate) {
  TCounter c;
  TStringList s;
  s.SetOnChange(TNotifyEvent(&c, &TCounter::Change));
  s.SetOnChanging(TNotifyEvent(&c, &TCounter::Changing));
  s.Add(u"x");
  EXPECT_EQ(c.Changes, 1);
  EXPECT_EQ(c.Changings, 1);
  s.BeginUpdate();
  s.BeginUpdate();
  s.Add(u"y");
  s.Delete(0);
  s.EndUpdate();
  s.SetText(u"1\n2\n3");
  EXPECT_EQ(c.Changes, 1);
  s.EndUpdate();
  EXPECT_EQ(c.Changes, 2);
  EXPECT_EQ(c.Changings, 2);
  s.SetCommaText(u"a,b,c");  // one change for the whole text
  EXPECT_EQ(c.Changes, 3);
  s.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(c.Changes, 3);
}

TEST(StringLists, AssignAddStringsAndEquals) {
  TStringList a, b;
  a.SetText(u"x\ny");
  a.SetDelimiter(u';');
  b.Add(u"old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(&a));
  EXPECT_EQ(b.Delimiter(), u';');
  b.AddStrings(&a);
  EXPECT_EQ(All(b), (std::vector<String>{u"x", u"y", u"x", u"y"}));
  EXPECT_FALSE(b.Equals(&a));
  b.SetStrings(0, u"X");
  b.Assign(&a);
  b.SetStrings(0, u"X");
  EXPECT_FALSE(b.Equals(&a));  // case counts for equality
  TGlow glow;
  EXPECT_THROW(b.Assign(&glow), EConvertError);
}

TEST(StringLists, StreamsInUtf8AndReadByteOrderMarks) {
  TStringList s;
  s.SetText(u"caf\u00e9\n\u20ac 5");
  TBytesStream out;
  s.SaveToStream(&out);
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "caf\xC3\xA9\r\n\xE2\x82\xAC 5\r\n");
  TStringList t;
  TBytesStream utf8({0xEF, 0xBB, 0xBF, 'a', '\n', 0xC3, 0xA9});
  t.LoadFromStream(&utf8);
  EXPECT_EQ(All(t), (std::vector<String>{u"a", u"\u00e9"}));
  TBytesStream utf16({0xFF, 0xFE, 'h', 0, 'i', 0, '\r', 0, '\n', 0, 0xAC, 0x20});
  t.LoadFromStream(&utf16);
  EXPECT_EQ(All(t), (std::vector<String>{u"hi", u"\u20ac"}));
}
