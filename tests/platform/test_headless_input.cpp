// Headless input: pointer routing, capture, click counting, wheel notches, keys, text, focus,
// cursors and the virtual clock.
#include <gtest/gtest.h>

#include "PlatformTestUtil.h"
#include "host/platform/VirtualKeys.h"

namespace vcl::platform {
namespace {

using test::Drain;
using test::MakeSurface;
using test::OfType;

TEST(PlatformInput, PointerGoesToTopmostVisibleSurfaceUnderIt) {
  HeadlessBackend b;
  SurfaceId low = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId high = MakeSurface(b, Rect::FromSize(50, 50, 100, 100));
  SurfaceId hidden = MakeSurface(b, Rect::FromSize(0, 0, 300, 300), SurfaceKind::Normal, false);

  b.InjectMouseMove(60, 70);
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::MouseMove);
  EXPECT_EQ(ev[0].Surface, high);
  EXPECT_EQ(ev[0].X, 10);
  EXPECT_EQ(ev[0].Y, 20);
  EXPECT_EQ(ev[0].ScreenX, 60);

  b.Raise(low);
  b.InjectMouseMove(61, 70);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Type, EventType::MouseLeave);
  EXPECT_EQ(ev[0].Surface, high);
  EXPECT_EQ(ev[1].Surface, low);
  EXPECT_EQ(ev[1].X, 61);

  // Off every surface (the hidden one does not count): a leave, then nothing.
  b.InjectMouseMove(250, 250);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::MouseLeave);
  EXPECT_EQ(b.SurfaceAt(250, 250), NoSurface);
  b.Show(hidden);
  EXPECT_EQ(b.SurfaceAt(250, 250), hidden);

  // Consecutive moves to one surface collapse into the latest.
  b.InjectMouseMove(251, 250);
  b.InjectMouseMove(252, 250);
  b.InjectMouseMove(253, 251);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].X, 253);
}

TEST(PlatformInput, ButtonsCaptureImplicitlyAndExplicitly) {
  HeadlessBackend b;
  SurfaceId a = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId c = MakeSurface(b, Rect::FromSize(200, 0, 100, 100));
  b.InjectMouseMove(10, 10);
  b.InjectMouseButton(MouseButton::Left, true);
  b.InjectMouseMove(250, 50);  // over c, but the press on a holds the pointer
  auto ev = Drain(b);
  auto moves = OfType(ev, EventType::MouseMove);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[1].Surface, a);
  EXPECT_EQ(moves[1].X, 250);
  EXPECT_EQ(moves[1].Buttons, ButtonBit(MouseButton::Left));
  EXPECT_TRUE(b.IsKeyDown(VK_LBUTTON));

  b.InjectMouseButton(MouseButton::Left, false);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Type, EventType::MouseUp);
  EXPECT_EQ(ev[0].Surface, a);
  EXPECT_EQ(ev[0].Buttons, 0);
  EXPECT_EQ(ev[1].Type, EventType::MouseLeave);  // released away from a
  EXPECT_EQ(ev[1].Surface, a);
  EXPECT_FALSE(b.IsKeyDown(VK_LBUTTON));

  // Explicit capture: even the desktop's moves and clicks go to the captor.
  b.SetMouseCapture(c);
  b.InjectMouseMove(500, 500);
  b.InjectMouseButton(MouseButton::Right, true);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Surface, c);
  EXPECT_EQ(ev[0].X, 300);
  EXPECT_EQ(ev[1].Type, EventType::MouseDown);
  EXPECT_EQ(ev[1].Button, MouseButton::Right);
  EXPECT_EQ(ev[1].Surface, c);
  b.InjectMouseButton(MouseButton::Right, false);
  b.SetMouseCapture(NoSurface);
  ev = Drain(b);
  EXPECT_EQ(ev.back().Type, EventType::MouseLeave);
  b.InjectMouseButton(MouseButton::Left, true);  // on the desktop: nobody hears it
  b.InjectMouseButton(MouseButton::Left, false);
  EXPECT_TRUE(Drain(b).empty());
}

TEST(PlatformInput, ClickCountsFollowTimeDistanceAndButton) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(0, 0, 200, 200));
  auto press = [&](int x, int y, MouseButton btn = MouseButton::Left) {
    b.InjectClick(x, y, btn);
    auto downs = OfType(Drain(b), EventType::MouseDown);
    EXPECT_EQ(downs.size(), 1u);
    return downs.empty() ? -1 : downs[0].ClickCount;
  };
  EXPECT_EQ(press(50, 50), 1);
  b.AdvanceClock(300);
  EXPECT_EQ(press(51, 49), 2);  // inside the 4x4 rectangle
  b.AdvanceClock(500);          // exactly the double-click time still counts
  EXPECT_EQ(press(51, 49), 3);
  b.AdvanceClock(501);
  EXPECT_EQ(press(51, 49), 1);
  b.AdvanceClock(10);
  EXPECT_EQ(press(54, 49), 1);  // 3 px away
  b.AdvanceClock(10);
  EXPECT_EQ(press(54, 49, MouseButton::Right), 1);
  b.AdvanceClock(10);
  EXPECT_EQ(press(54, 49, MouseButton::Right), 2);

  // The up reports the count of the press it ends.
  b.AdvanceClock(1000);
  b.InjectMouseButton(MouseButton::Left, true);
  b.InjectMouseButton(MouseButton::Left, false);
  b.InjectMouseButton(MouseButton::Left, true);
  b.InjectMouseButton(MouseButton::Left, false);
  auto ups = OfType(Drain(b), EventType::MouseUp);
  ASSERT_EQ(ups.size(), 2u);
  EXPECT_EQ(ups[1].ClickCount, 2);

  // A second press on another surface starts over, even at the same spot.
  SurfaceId other = MakeSurface(b, Rect::FromSize(0, 0, 200, 200));
  b.AdvanceClock(1000);
  EXPECT_EQ(press(20, 20), 1);
  b.Raise(s);
  b.AdvanceClock(10);
  EXPECT_EQ(press(20, 20), 1);
  b.Raise(other);
  b.AdvanceClock(10);
  EXPECT_EQ(press(20, 20), 1);
  b.AdvanceClock(10);
  EXPECT_EQ(press(20, 20), 2);

  b.SetDoubleClickTime(200);
  EXPECT_EQ(b.DoubleClickTime(), 200u);
  b.AdvanceClock(1000);
  EXPECT_EQ(press(10, 10), 1);
  b.AdvanceClock(250);
  EXPECT_EQ(press(10, 10), 1);
  b.SetDoubleClickTime(0);  // back to the default
  EXPECT_EQ(b.DoubleClickTime(), DefaultDoubleClickTime);
  (void)s;
}

TEST(PlatformInput, WheelAccumulatesFineDeltasIntoNotches) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  b.InjectMouseMove(5, 5);
  Drain(b);
  b.InjectWheel(40);
  b.InjectWheel(40);
  EXPECT_TRUE(Drain(b).empty());
  b.InjectWheel(40);
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::MouseWheel);
  EXPECT_EQ(ev[0].Surface, s);
  EXPECT_EQ(ev[0].WheelDelta, 120);
  EXPECT_EQ(ev[0].WheelDeltaX, 0);

  // The remainder carries over: 100 + 100 = one notch, 80 kept; 280 more = three notches.
  b.InjectWheel(100);
  b.InjectWheel(100);
  b.InjectWheel(280);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].WheelDelta, 120);
  EXPECT_EQ(ev[1].WheelDelta, 360);
  b.InjectWheel(-240);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].WheelDelta, -240);

  // Horizontal scrolling has its own remainder.
  b.InjectWheel(60, true);
  b.InjectWheel(60, true);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].WheelDelta, 0);
  EXPECT_EQ(ev[0].WheelDeltaX, 120);
}

TEST(PlatformInput, KeysCarryVkScanCodeRepeatAndModifiers) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  b.Activate(s);
  Drain(b);

  b.InjectKey(VK_A, true);
  b.InjectKey(VK_A, true);
  b.InjectKey(VK_A, false);
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].Type, EventType::KeyDown);
  EXPECT_EQ(ev[0].Surface, s);
  EXPECT_EQ(ev[0].VirtualKey, VK_A);
  EXPECT_EQ(ev[0].ScanCode, 0x1E);
  EXPECT_FALSE(ev[0].Repeat);
  EXPECT_TRUE(ev[1].Repeat);
  EXPECT_EQ(ev[2].Type, EventType::KeyUp);

  // Side-specific modifiers: reported generically, told apart by scan code / extended flag,
  // and tracked per side.
  b.InjectKey(VK_RCONTROL, true);
  b.InjectKey(VK_LSHIFT, true);
  b.InjectKey(VK_RSHIFT, true);
  ev = Drain(b);
  EXPECT_EQ(ev[0].VirtualKey, VK_CONTROL);
  EXPECT_TRUE(ev[0].Extended);
  EXPECT_EQ(ev[2].VirtualKey, VK_SHIFT);
  EXPECT_EQ(ev[2].ScanCode, 0x36);
  EXPECT_EQ(b.Modifiers(), ModCtrl | ModShift);
  EXPECT_TRUE(b.IsKeyDown(VK_RCONTROL));
  EXPECT_FALSE(b.IsKeyDown(VK_LCONTROL));
  b.InjectKey(VK_LSHIFT, false);
  EXPECT_TRUE(b.IsKeyDown(VK_SHIFT));  // the right one is still down
  b.InjectKey(VK_RSHIFT, false);
  EXPECT_FALSE(b.IsKeyDown(VK_SHIFT));
  Drain(b);

  // Ctrl+C produces ETX as text after the key press.
  b.InjectKey(VK_C, true);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Type, EventType::KeyDown);
  EXPECT_EQ(ev[0].Mods, ModCtrl);
  EXPECT_EQ(ev[1].Type, EventType::Text);
  EXPECT_EQ(ev[1].Text, "\x03");
  b.InjectKey(VK_C, false);
  b.InjectKey(VK_RCONTROL, false);
  b.InjectKey(VK_RETURN, true);
  b.InjectKey(VK_BACK, true);
  b.InjectKey(VK_LEFT, true);
  ev = OfType(Drain(b), EventType::Text);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Text, "\r");
  EXPECT_EQ(ev[1].Text, "\b");

  b.InjectText("\xC3\xA4\xE2\x82\xAC");  // "ä€"
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Text, "\xC3\xA4\xE2\x82\xAC");

  // Lock keys toggle on the press.
  b.InjectKey(VK_CAPITAL, true);
  b.InjectKey(VK_CAPITAL, true);  // auto-repeat does not toggle again
  b.InjectKey(VK_CAPITAL, false);
  EXPECT_EQ(b.Modifiers() & ModCapsLock, ModCapsLock);
  b.InjectKey(VK_CAPITAL, true);
  EXPECT_EQ(b.Modifiers() & ModCapsLock, 0);

  EXPECT_THROW(b.InjectKey(0, true), EPlatformError);
  EXPECT_THROW(b.InjectKey(VK_LBUTTON, true), EPlatformError);
}

TEST(PlatformInput, ScanCodesAndControlCharacters) {
  EXPECT_EQ(VkToScanCode(VK_ESCAPE).Scan, 0x01);
  EXPECT_EQ(VkToScanCode(VK_Q).Scan, 0x10);
  EXPECT_EQ(VkToScanCode(VK_M).Scan, 0x32);
  EXPECT_EQ(VkToScanCode(VK_F11).Scan, 0x57);
  EXPECT_EQ(VkToScanCode(VK_OEM_2).Scan, 0x35);
  EXPECT_FALSE(VkToScanCode(VK_OEM_2).Extended);
  EXPECT_EQ(VkToScanCode(VK_DIVIDE).Scan, 0x35);
  EXPECT_TRUE(VkToScanCode(VK_DIVIDE).Extended);
  // The navigation block and the keypad share codes; only the extended flag differs.
  EXPECT_EQ(VkToScanCode(VK_HOME).Scan, VkToScanCode(VK_NUMPAD7).Scan);
  EXPECT_TRUE(VkToScanCode(VK_HOME).Extended);
  EXPECT_FALSE(VkToScanCode(VK_NUMPAD7).Extended);

  EXPECT_EQ(ControlCharForKey(VK_BACK, ModCtrl), 0x7Fu);
  EXPECT_EQ(ControlCharForKey(VK_RETURN, ModCtrl), 0x0Au);
  EXPECT_EQ(ControlCharForKey(VK_Z, ModCtrl | ModShift), 0x1Au);
  EXPECT_EQ(ControlCharForKey(VK_Z, 0), 0u);
  EXPECT_EQ(ControlCharForKey(VK_Z, ModCtrl | ModAlt), 0u);  // AltGr
  EXPECT_EQ(ControlCharForKey(VK_TAB, ModCtrl), 0u);
}

TEST(PlatformInput, FocusFollowsActivationAndApplicationFocus) {
  HeadlessBackend b;
  SurfaceId a = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId c = MakeSurface(b, Rect::FromSize(200, 0, 100, 100));
  b.Activate(a);
  b.Activate(a);  // no change, no event
  b.Activate(c);
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Type, EventType::FocusGained);
  EXPECT_EQ(ev[0].Surface, a);
  EXPECT_EQ(ev[1].Surface, c);
  EXPECT_EQ(b.ZOrder().front(), c);  // activation raises

  b.InjectKey(VK_SHIFT, true);
  b.InjectFocus(false);
  ev = Drain(b);
  EXPECT_EQ(ev.back().Type, EventType::FocusLost);
  EXPECT_EQ(b.FocusSurface(), NoSurface);
  EXPECT_FALSE(b.IsKeyDown(VK_SHIFT));  // released elsewhere: forgotten
  b.InjectFocus(true);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::FocusGained);
  EXPECT_EQ(ev[0].Surface, c);

  // Hiding the focused surface drops the focus without an event.
  b.Hide(c);
  EXPECT_EQ(b.FocusSurface(), NoSurface);
  EXPECT_TRUE(Drain(b).empty());
  b.InjectKey(VK_X, true);
  ev = Drain(b);
  EXPECT_EQ(ev[0].Surface, NoSurface);
}

TEST(PlatformInput, CursorOfSurfaceUnderPointerOrCaptor) {
  HeadlessBackend b;
  SurfaceId a = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId c = MakeSurface(b, Rect::FromSize(200, 0, 100, 100));
  b.SetCursor(a, CursorShape::IBeam);
  b.SetCursor(c, CursorShape::SizeWE);
  EXPECT_EQ(b.CurrentCursor(), CursorShape::Arrow);
  b.InjectMouseMove(10, 10);
  EXPECT_EQ(b.CurrentCursor(), CursorShape::IBeam);
  b.InjectMouseMove(210, 10);
  EXPECT_EQ(b.CurrentCursor(), CursorShape::SizeWE);
  b.SetMouseCapture(a);
  EXPECT_EQ(b.CurrentCursor(), CursorShape::IBeam);
  b.SetMouseCapture(NoSurface);
  b.InjectMouseMove(150, 10);
  EXPECT_EQ(b.CurrentCursor(), CursorShape::Arrow);
  EXPECT_EQ(b.Cursor(c), CursorShape::SizeWE);
}

TEST(PlatformInput, WaitEventAdvancesTheVirtualClock) {
  HeadlessBackend b;
  std::uint64_t t0 = b.TickCount();
  Event e;
  EXPECT_FALSE(b.WaitEvent(e, 250));
  EXPECT_EQ(b.TickCount(), t0 + 250);
  b.Wake();
  EXPECT_FALSE(b.WaitEvent(e, 250));  // woken: no time passes
  EXPECT_EQ(b.TickCount(), t0 + 250);
  EXPECT_FALSE(b.WaitEvent(e, -1));   // nothing can ever arrive: returns at once
  EXPECT_EQ(b.TickCount(), t0 + 250);
  b.InjectQuit();
  ASSERT_TRUE(b.WaitEvent(e, 1000));
  EXPECT_EQ(e.Type, EventType::Quit);
  EXPECT_EQ(e.Time, t0 + 250);
  EXPECT_EQ(b.TickCount(), t0 + 250);
  b.AdvanceClock(5);
  EXPECT_EQ(b.TickCount(), t0 + 255);
}

}  // namespace
}  // namespace vcl::platform
