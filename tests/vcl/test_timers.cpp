// TTimer: ticks on the virtual clock at its interval, re-arming on changes, silence while
// disabled or unassigned, safety when freed in its own handler, exceptions, stored form.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "host/classes/Filer.h"
#include "host/classes/TypInfo.h"
#include "host/vcl/Timers.h"
#include "host/vcl/UtilWindow.h"
#include "tests/win/WinTestUtil.h"

using namespace vcl;
using namespace vcl::wintest;

namespace {

// Counts ticks and runs an optional action in each.
struct TSink : TObject {
  int Ticks = 0;
  std::vector<TObject*> Senders;
  std::vector<UInt64> Times;
  std::function<void(TObject*)> Action;
  void Tick(TObject* sender) {
    ++Ticks;
    Senders.push_back(sender);
    Times.push_back(GetTickCount64());
    if (Action) Action(sender);
  }
  TNotifyEvent Event() { return TNotifyEvent(this, &TSink::Tick); }
};

struct Timers : ::testing::Test {
  void TearDown() override {
    SetTimerErrorHandler(nullptr);
    Pump();
  }
  // Moves the virtual clock on in steps of `step`, pumping after each.
  static void Run(unsigned ms, unsigned step = 10) {
    for (unsigned done = 0; done < ms; done += step) {
      AdvanceClock(step);
      Pump();
    }
  }
};

}  // namespace

TEST_F(Timers, TicksAtItsIntervalOnTheVirtualClock) {
  TSink sink;
  TTimer t(nullptr);
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(t.Interval(), 1000u);
  EXPECT_FALSE(t.Ticking());  // nothing to call yet
  t.SetInterval(100);
  t.SetOnTimer(sink.Event());
  EXPECT_TRUE(t.Ticking());
  UInt64 start = GetTickCount64();
  Run(90);
  EXPECT_EQ(sink.Ticks, 0);
  Run(10);
  EXPECT_EQ(sink.Ticks, 1);
  Run(300);
  EXPECT_EQ(sink.Ticks, 4);
  ASSERT_EQ(sink.Times.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(sink.Times[i] - start, 100 * (i + 1));
  EXPECT_EQ(sink.Senders[0], &t);
  // The ticks come through a hidden window that is never shown.
  ASSERT_NE(TimerUtilityWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(TimerUtilityWindow()));
}

TEST_F(Timers, DisabledOrUnassignedTimersStayQuiet) {
  TSink sink;
  TTimer t(nullptr);
  t.SetInterval(50);
  t.SetOnTimer(sink.Event());
  Run(50);
  EXPECT_EQ(sink.Ticks, 1);
  t.SetEnabled(false);
  EXPECT_FALSE(t.Ticking());
  Run(200);
  EXPECT_EQ(sink.Ticks, 1);
  // Enabled again, the interval counts from now.
  t.SetEnabled(true);
  Run(40);
  EXPECT_EQ(sink.Ticks, 1);
  Run(10);
  EXPECT_EQ(sink.Ticks, 2);
  t.SetOnTimer(nullptr);
  EXPECT_FALSE(t.Ticking());
  Run(200);
  EXPECT_EQ(sink.Ticks, 2);
  t.SetOnTimer(sink.Event());
  t.SetInterval(0);  // an interval of 0 stops it too
  EXPECT_FALSE(t.Ticking());
  Run(200);
  EXPECT_EQ(sink.Ticks, 2);
  // The last running timer gone, so is the hidden window.
  EXPECT_EQ(TimerUtilityWindow(), nullptr);
}

TEST_F(Timers, ChangingTheIntervalReArms) {
  TSink sink;
  TTimer t(nullptr);
  t.SetInterval(100);
  t.SetOnTimer(sink.Event());
  Run(60);
  t.SetInterval(50);  // counted from the change, not from the start
  UInt64 changed = GetTickCount64();
  Run(40);
  EXPECT_EQ(sink.Ticks, 0);
  Run(10);
  ASSERT_EQ(sink.Ticks, 1);
  EXPECT_EQ(sink.Times[0] - changed, 50u);
  Run(100);
  EXPECT_EQ(sink.Ticks, 3);
  t.SetInterval(50);  // the same value changes nothing
  Run(50);
  EXPECT_EQ(sink.Ticks, 4);
}

TEST_F(Timers, FreedInsideItsOwnHandlerItNeverTicksAgain) {
  TSink sink;
  TTimer* t = new TTimer(nullptr);
  t->SetInterval(20);
  sink.Action = [&](TObject* sender) { delete static_cast<TTimer*>(sender); };
  t->SetOnTimer(sink.Event());
  Run(100);
  EXPECT_EQ(sink.Ticks, 1);

  // Two timers due at once: the first frees the second, which then never ticks.
  TSink first, second;
  auto* a = new TTimer(nullptr);
  auto* b = new TTimer(nullptr);
  a->SetInterval(30);
  b->SetInterval(30);
  first.Action = [&](TObject*) {
    delete b;
    b = nullptr;
  };
  a->SetOnTimer(first.Event());
  b->SetOnTimer(second.Event());
  AdvanceClock(30);
  Pump();
  EXPECT_EQ(first.Ticks, 1);
  EXPECT_EQ(second.Ticks, 0);
  Run(100);
  EXPECT_EQ(second.Ticks, 0);
  delete a;

}

TEST_F(Timers, ExceptionsGoToTheHandlerAndTheTicksGoOn) {
  std::vector<std::string> errors;
  SetTimerErrorHandler([&](const std::exception_ptr& e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      errors.push_back(x.what());
    }
  });
  TSink sink;
  sink.Action = [](TObject*) { throw std::runtime_error("tick failed"); };
  TTimer t(nullptr);
  t.SetInterval(10);
  t.SetOnTimer(sink.Event());
  Run(30);
  EXPECT_EQ(sink.Ticks, 3);
  EXPECT_EQ(errors, (std::vector<std::string>(3, "tick failed")));
  // A handler that fails itself is contained as well.
  SetTimerErrorHandler([](const std::exception_ptr&) { throw 1; });
  Run(10);
  EXPECT_EQ(sink.Ticks, 4);
}

namespace {

class TTimerForm : public TComponent {
 public:
  static const TClass Class;
  const TClass* ClassType() const override { return &Class; }
  explicit TTimerForm(TComponent* owner) : TComponent(owner) {}
  int Ticks = 0;
  void Timer1Timer(TObject*) { ++Ticks; }
};

const TClass TTimerForm::Class = TClass::Define<TTimerForm, TComponent>(
    u"TTimerForm", [](auto& c) { c.Method(u"Timer1Timer", &TTimerForm::Timer1Timer); });

}  // namespace

TEST_F(Timers, StoredDescriptionsHoldTimers) {
  RegisterTimerClasses();
  EXPECT_EQ(GetClass(u"TTimer"), &TTimer::Class);
  TTimerForm form(nullptr);
  ReadComponentFromText(u"object Form1: TTimerForm\n"
                        u"  object Timer1: TTimer\n"
                        u"    Interval = 250\n"
                        u"    OnTimer = Timer1Timer\n"
                        u"  end\n"
                        u"  object Timer2: TTimer\n"
                        u"    Enabled = False\n"
                        u"  end\n"
                        u"end\n",
                        &form, u"Unit1.dfm");
  auto* t1 = dynamic_cast<TTimer*>(form.FindComponent(u"Timer1"));
  auto* t2 = dynamic_cast<TTimer*>(form.FindComponent(u"Timer2"));
  ASSERT_TRUE(t1 && t2);
  EXPECT_EQ(t1->Interval(), 250u);
  EXPECT_TRUE(t1->Ticking());  // the handler bound after reading armed it
  EXPECT_FALSE(t2->Enabled());
  Run(250);
  EXPECT_EQ(form.Ticks, 1);
  // Written back, only what differs from the defaults is stored.
  String text = WriteComponentText(&form);
  EXPECT_NE(text.find(u"Interval = 250"), String::npos);
  EXPECT_NE(text.find(u"OnTimer = Timer1Timer"), String::npos);
  EXPECT_NE(text.find(u"Enabled = False"), String::npos);
}

namespace {
int gFirst = 0, gSecond = 0;
LRESULT FirstProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return ++gFirst;
  return DefWindowProcW(h, m, w, l);
}
LRESULT SecondProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER) return ++gSecond;
  return DefWindowProcW(h, m, w, l);
}
}  // namespace

// Timers, menu tracking and any other part each have their own hidden window of the shared
// utility class; one part's window never takes another's messages, and a timer still runs
// after another part made its window first.
TEST_F(Timers, EachPartHasItsOwnUtilityWindowAndProcedure) {
  HWND a = vcl::AllocateHWnd(FirstProc);
  HWND b = vcl::AllocateHWnd(SecondProc, 0, vcl::HWND_MESSAGE);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  vcl::SendMessageW(a, vcl::WM_USER, 0, 0);
  vcl::SendMessageW(b, vcl::WM_USER, 0, 0);
  vcl::SendMessageW(b, vcl::WM_USER, 0, 0);
  EXPECT_EQ(gFirst, 1);
  EXPECT_EQ(gSecond, 2);
  TSink sink;
  vcl::TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.SetOnTimer(sink.Event());
  EXPECT_TRUE(timer.Ticking());
  Run(10);
  EXPECT_EQ(sink.Ticks, 1);
  vcl::DeallocateHWnd(a);
  vcl::DeallocateHWnd(b);
  EXPECT_FALSE(vcl::IsWindow(a));
}
