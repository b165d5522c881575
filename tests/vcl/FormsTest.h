// Shared helpers of the form, application and hint tests: real input through the headless
// backend, the application's loop, virtual monitors, and a fixture that frees every form.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "host/platform/headless/HeadlessBackend.h"
#include "host/vcl/Application.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Hints.h"
#include "host/vcl/Screen.h"
#include "host/vcl/StdCtrls.h"
#include "tests/win/WinTestUtil.h"

namespace vcl::formstest {

using wintest::Headless;

// Counts the notifications it is bound to.
struct TCounter : TObject {
  int Count = 0;
  void Hit(TObject*) { ++Count; }
  TNotifyEvent Event() { return TNotifyEvent(this, &TCounter::Hit); }
};

class FormsTest : public wintest::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    RegisterStdControlClasses();
    Application->Initialize();
    OneMonitor();
  }
  void TearDown() override {
    Application->CancelHint();
    Application->OnMessage = nullptr;
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    Application->OnShowHint = nullptr;
    // Forms go with their owners (a form may own another).
    while (Screen->FormCount() > 0) {
      TComponent* c = Screen->Forms(0);
      while (c->Owner() && c->Owner() != static_cast<TComponent*>(Application)) c = c->Owner();
      delete c;
    }
    Headless().InjectMouseMove(5000, 5000);
    OneMonitor();
    Application->ProcessMessages();
    Application->Initialize();
    WinTest::TearDown();
  }

  static void OneMonitor() {
    platform::MonitorInfo a;
    a.Bounds = {0, 0, 1920, 1080};
    a.WorkArea = {0, 0, 1920, 1040};
    a.Dpi = 96;
    a.Primary = true;
    Headless().SetMonitors({a});
  }
  // A second monitor to the right of the first, at 144 DPI.
  static void TwoMonitors() {
    platform::MonitorInfo a, b;
    a.Bounds = {0, 0, 1920, 1080};
    a.WorkArea = {0, 0, 1920, 1040};
    a.Dpi = 96;
    a.Primary = true;
    b.Bounds = {1920, 0, 3840, 1080};
    b.WorkArea = {1920, 0, 3840, 1080};
    b.Dpi = 144;
    Headless().SetMonitors({a, b});
    Application->ProcessMessages();
  }

  static void Pump() { Application->ProcessMessages(); }
  // Advances the virtual clock in small steps, handling what comes due.
  static void Wait(unsigned ms) {
    while (ms > 0) {
      unsigned step = ms < 10 ? ms : 10;
      Headless().AdvanceClock(step);
      ms -= step;
      Pump();
    }
  }

  static void Key(WORD vk) {
    Headless().InjectKey(vk, true);
    Headless().InjectKey(vk, false);
    Pump();
  }
  // A printable key with the character it types (the headless keyboard sends no text of its
  // own for plain keys).
  static void Type(WORD vk, const char* text) {
    Headless().InjectKey(vk, true);
    Headless().InjectText(text);
    Headless().InjectKey(vk, false);
    Pump();
  }
  static void KeyWith(WORD modifier, WORD vk) {
    Headless().InjectKey(modifier, true);
    Headless().InjectKey(vk, true);
    Headless().InjectKey(vk, false);
    Headless().InjectKey(modifier, false);
    Pump();
  }
  static TPoint CenterOf(TControl* c) {
    return c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
  }
  static void MoveTo(TPoint p) {
    Headless().InjectMouseMove(p.X, p.Y);
    Pump();
  }
  static void ClickOn(TControl* c) {
    TPoint p = CenterOf(c);
    Headless().InjectClick(p.X, p.Y);
    Pump();
  }

  // A plain form, shown, with the given client size at (left, top).
  static TForm* NewForm(int left = 100, int top = 100, int cw = 300, int ch = 200) {
    auto* f = new TForm(nullptr);
    f->SetPosition(poDesigned);
    f->SetBounds(left, top, 400, 300);
    f->SetClientWidth(cw);
    f->SetClientHeight(ch);
    return f;
  }
  template <class T>
  static T* Add(TWinControl* parent, int x, int y, int w, int h, StringView caption = {}) {
    auto* c = new T(parent->Owner() ? parent->Owner() : parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    if (!caption.empty()) c->SetCaption(caption);
    return c;
  }
};

}  // namespace vcl::formstest
