// The edit wrappers and the masked edit through real input: AutoSize, OnChange and a key
// replaced in KeyPress, the memo's Lines and WantReturns; masks typed over literals, Backspace
// and Delete, paste and EM_REPLACESEL through the mask, Escape, validation on focus loss,
// the time and date masks and a mask longer than MaxLength.
#include "host/platform/headless/HeadlessBackend.h"
#include "host/vcl/Application.h"
#include "host/vcl/Mask.h"
#include "host/win/ctl/Edit.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class EditTest : public VclTest {
 protected:
  // Letters, digits, spaces and a few signs, each as a key press with its character.
  void Chars(const std::string& s) {
    for (char c : s) {
      Word vk = c == ' ' ? VK_SPACE : c == '/' ? VK_OEM_2 : c == ':' ? VK_OEM_1
                                                                       : Word(std::toupper(c));
      Type(vk, std::string(1, c).c_str());
    }
  }
  void Ctrl(Word vk) {
    wintest::Headless().InjectKey(VK_CONTROL, true);
    Key(vk);
    wintest::Headless().InjectKey(VK_CONTROL, false);
    Pump();
  }
};

struct Changes : TObject {
  int Count = 0;
  void Changed(TObject*) { ++Count; }
  void ToUpperB(TObject*, Char& key) {
    if (key == u'b') key = u'B';
    if (key == u'x') key = 0;
  }
};

struct Caught : TObject {
  String Message;
  void Handle(TObject*, const std::exception& e) { Message = Utf8ToString(e.what()); }
};

}  // namespace

TEST_F(EditTest, EditSizesToItsFontAndReportsEveryChange) {
  TTestRoot* root = MakeRoot();
  auto* e = Make<TEdit>(root, TRect(10, 10, 130, 40));
  EXPECT_EQ(e->Height(), 21);  // the font's line height + 8 at 96 DPI
  Changes log;
  e->SetOnChange(TNotifyEvent(&log, &Changes::Changed));
  e->SetOnKeyPress(TKeyPressEvent(&log, &Changes::ToUpperB));
  e->SetFocus();
  Pump();
  Chars("abxc");
  EXPECT_EQ(e->Text(), u"aBc");  // KeyPress replaced b and swallowed x
  EXPECT_EQ(log.Count, 3);
  EXPECT_TRUE(e->Modified());
  e->SetSelStart(1);
  e->SetSelLength(1);
  EXPECT_EQ(e->SelText(), u"B");
  e->SetSelText(u"XY");
  EXPECT_EQ(e->Text(), u"aXYc");
  EXPECT_EQ(e->SelStart(), 3);
  EXPECT_EQ(log.Count, 4);
  e->SetText(u"set");
  EXPECT_EQ(log.Count, 5);
  // MaxLength cuts typing.
  e->SetMaxLength(4);
  e->SetSelStart(3);
  Chars("12");
  EXPECT_EQ(e->Text(), u"set1");
  EXPECT_THROW(e->SetMaxLength(-1), EInvalidOperation);
}

TEST_F(EditTest, MemoLinesAndReturns) {
  TTestRoot* root = MakeRoot();
  auto* m = Make<TMemo>(root, TRect(10, 10, 200, 100));
  m->Lines()->Add(u"one");
  m->Lines()->Add(u"two");
  EXPECT_EQ(m->Text(), u"one\r\ntwo\r\n");
  EXPECT_EQ(m->Lines()->Count(), 2);
  EXPECT_EQ(m->Lines()->Strings(1), u"two");
  EXPECT_THROW(m->Lines()->Strings(5), EStringListError);
  m->SetFocus();
  Pump();
  m->SetSelStart(3);
  Key(VK_RETURN);
  EXPECT_EQ(m->Lines()->Count(), 3);
  m->SetWantReturns(false);
  Key(VK_RETURN);
  EXPECT_EQ(m->Lines()->Count(), 3);
  EXPECT_EQ(m->CaretPos(), TPoint(0, 1));
}

TEST_F(EditTest, FormatMaskTextAndTheTextForms) {
  EXPECT_EQ(FormatMaskText(u"!99/99/9999;1;_", u"12/31/2024"), u"12/31/2024");
  EXPECT_EQ(FormatMaskText(u"00-00;0;_", u"12"), u"12-__");
  EXPECT_EQ(FormatMaskText(u">LL\\-00;0;*", u"ab12"), u"AB-12");
  TEditMaskInfo m(u"(000) 000;0;_");
  EXPECT_EQ(m.TextOf(u"(12_) 456"), u"12 456");
  int pos = 0;
  EXPECT_FALSE(m.Validate(u"(12_) 456", pos));
  EXPECT_EQ(pos, 3);
  EXPECT_TRUE(m.Validate(u"(123) 456", pos));
}

TEST_F(EditTest, MaskedTypingOverLiteralsBackspaceDeleteAndEscape) {
  TTestRoot* root = MakeRoot();
  auto* e = Make<TMaskEdit>(root, TRect(10, 10, 130, 40));
  e->SetEditMask(u"!90:00:00;1; ");
  e->SetText(u"00:00:00");
  EXPECT_TRUE(e->IsMasked());
  e->SetAutoSelect(false);
  e->SetFocus();
  Pump();
  e->SetSelStart(0);
  Chars("1234");  // the caret skips the literal after the hours
  EXPECT_EQ(e->Text(), u"12:34:00");
  EXPECT_EQ(e->SelStart(), 6);
  EXPECT_EQ(e->SelLength(), 1);
  Chars("x");  // not a digit: refused
  EXPECT_EQ(e->Text(), u"12:34:00");
  Key(VK_BACK);  // blanks the previous input position (the literal is skipped)
  EXPECT_EQ(e->EditText(), u"12:3 :00");
  e->SetSelStart(0);
  Key(VK_DELETE);
  EXPECT_EQ(e->EditText(), u" 2:3 :00");
  EXPECT_EQ(int(e->Text().size()), 8);
  // Escape restores the text the edit had when it got the focus.
  Key(VK_ESCAPE);
  EXPECT_EQ(e->Text(), u"00:00:00");
}

TEST_F(EditTest, PasteAndReplaceGoThroughTheMask) {
  TTestRoot* root = MakeRoot();
  auto* e = Make<TMaskEdit>(root, TRect(10, 10, 130, 40));
  e->SetEditMask(u"!99/99/9999;1; ");
  e->SetAutoSelect(false);
  e->SetFocus();
  Pump();
  EXPECT_EQ(e->EditText(), u"  /  /    ");
  e->SetSelStart(0);
  Clipboard().SetAsText(u"03/15/2024\r\n");
  Ctrl('V');
  EXPECT_EQ(e->Text(), u"03/15/2024");
  // Digits without separators line up with the input positions; letters stop the paste.
  e->SelectAll();
  Clipboard().SetAsText(u"1231ab");
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), u"12/31/    ");
  EXPECT_TRUE(Clipboard().HasFormat(CF_UNICODETEXT));
  e->SetSelStart(6);
  SendMessageW(e->Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(u"1999\r\n"));
  EXPECT_EQ(e->Text(), u"12/31/1999");
  EXPECT_EQ(int(e->EditText().size()), 10);
}

TEST_F(EditTest, TheMaskDecidesTheLengthNotMaxLength) {
  TTestRoot* root = MakeRoot();
  auto* e = Make<TMaskEdit>(root, TRect(10, 10, 130, 40));
  e->SetMaxLength(8);
  e->SetCharCase(ecUpperCase);
  e->SetEditMask(u"!90:00:00 LL;1; ");
  e->SetText(u"12:00:00 AM");
  EXPECT_EQ(e->Text(), u"12:00:00 AM");
  e->SetAutoSelect(false);
  e->SetFocus();
  Pump();
  e->SetSelStart(9);
  Chars("pm");  // CharCase applies first
  EXPECT_EQ(e->Text(), u"12:00:00 PM");
  e->SetEditMask(u"");
  EXPECT_EQ(SendMessageW(e->Handle(), EM_GETLIMITTEXT, 0, 0), 8);
}

TEST_F(EditTest, IncompleteInputRaisesOnFocusLossAndKeepsTheFocus) {
  TTestRoot* root = MakeRoot();
  auto* e = Make<TMaskEdit>(root, TRect(10, 10, 130, 40));
  auto* other = Make<TEdit>(root, TRect(10, 50, 130, 80));
  e->SetName(u"Phone");
  e->SetEditMask(u"000-0000;1;_");
  e->SetAutoSelect(false);
  Caught caught;
  Application->OnException = TExceptionEvent(&caught, &Caught::Handle);
  e->SetFocus();
  Pump();
  e->SetSelStart(0);
  Chars("12");
  other->SetFocus();
  Pump();
  Application->OnException = nullptr;
  EXPECT_NE(caught.Message.find(u"Phone"), String::npos);
  EXPECT_NE(caught.Message.find(u"000-0000"), String::npos);
  EXPECT_TRUE(e->Focused());
  EXPECT_EQ(e->SelStart(), 2);
}

}  // namespace vcl::vcltest
