// TUpDown with an associate (refusable steps, OnClick direction) and TScrollBar (steps from
// the native bar, OnScroll changing them, range errors).
#include "host/platform/headless/HeadlessBackend.h"
#include "host/vcl/ComCtrls.h"
#include "tests/vcl/VclTest.h"

namespace vcl::vcltest {
namespace {

class ComCtrls : public VclTest {
 protected:
  struct Log : TObject {
    std::vector<TUDBtnType> Buttons;
    bool Allow = true;
    int Changes = 0;
    void Click(TObject*, TUDBtnType b) { Buttons.push_back(b); }
    void Changing(TObject*, bool& allow) { allow = Allow; }
    void Change(TObject*) { ++Changes; }
    void Scroll(TObject*, TScrollCode code, int& pos) {
      if (code == scLineDown) pos += 10;  // a handler's own step
    }
  };
};

TEST_F(ComCtrls, UpDownStepsItsAssociateAndMayBeRefused) {
  TTestRoot* root = MakeRoot();
  auto* field = Make<TLogControl>(root, TRect(10, 10, 110, 35));
  auto* spin = Make<TUpDown>(root, TRect(0, 0, 17, 25));
  Log log;
  spin->SetOnClick(TUDClickEvent(&log, &Log::Click));
  spin->SetOnChanging(TUDChangingEvent(&log, &Log::Changing));
  spin->SetMax(3);
  spin->SetAssociate(field);
  Pump();
  EXPECT_EQ(spin->Left(), field->Left() + field->Width());  // beside the associate
  TPoint up(4, 3), down(4, spin->Height() - 3);
  ClientToScreen(spin->Handle(), &up);
  ClientToScreen(spin->Handle(), &down);
  Click(up);
  Click(up);
  EXPECT_EQ(spin->Position(), 2);
  EXPECT_EQ(field->Text(), u"2");
  Click(down);
  EXPECT_EQ(log.Buttons, (std::vector<TUDBtnType>{btNext, btNext, btPrev}));
  log.Allow = false;
  Click(up);
  EXPECT_EQ(spin->Position(), 1);
  EXPECT_EQ(log.Buttons.size(), 3u);
  EXPECT_THROW(spin->SetIncrement(0), EInvalidOperation);
  delete field;  // the associate goes away: the up-down forgets it
  EXPECT_EQ(spin->Associate(), nullptr);
  log.Allow = true;
  Click(up);
  EXPECT_EQ(spin->Position(), 2);
}

TEST_F(ComCtrls, ScrollBarFollowsTheNativeBarAndItsHandler) {
  TTestRoot* root = MakeRoot();
  auto* bar = Make<TScrollBar>(root, TRect(10, 10, 210, 27));
  Log log;
  bar->SetOnChange(TNotifyEvent(&log, &Log::Change));
  bar->SetParams(5, 0, 50);
  EXPECT_EQ(log.Changes, 1);
  bar->SetLargeChange(7);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar->Handle(), SB_CTL, &si));
  EXPECT_EQ(si.nMax, 50);
  EXPECT_EQ(si.nPos, 5);
  // A press on the track past the thumb pages.
  TPoint p(150, 8);
  ClientToScreen(bar->Handle(), &p);
  Click(p);
  EXPECT_EQ(bar->Position(), 12);
  bar->SetOnScroll(TScrollEvent(&log, &Log::Scroll));
  PostMessageW(root->Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  Pump();
  EXPECT_EQ(bar->Position(), 12 + 1 + 10);
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 23);
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(bar->Max(), 50);
  bar->SetPosition(500);  // kept in the range
  EXPECT_EQ(bar->Position(), 50);
}

}  // namespace
}  // namespace vcl::vcltest
