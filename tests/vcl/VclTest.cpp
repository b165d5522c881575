#include "tests/vcl/VclTest.h"

#include <algorithm>

#include "host/classes/TypInfo.h"
#include "host/gdi/GdiDraw.h"
#include "host/platform/headless/HeadlessBackend.h"

namespace vcl::vcltest {

const TClass TTestRoot::Class = TClass::Define<TTestRoot, TCustomControl>(u"TTestRoot");
const TClass TLogControl::Class = TClass::Define<TLogControl, TCustomControl>(u"TLogControl");
const TClass TLogGraphic::Class = TClass::Define<TLogGraphic, TGraphicControl>(u"TLogGraphic");

void RegisterTestClasses() {
  RegisterControlClasses();
  RegisterClasses({&TTestRoot::Class, &TLogControl::Class, &TLogGraphic::Class});
}

TTestRoot::TTestRoot(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetVisible(false);
  SetParentFont(false);
  SetColor(clWhite);
}

void TTestRoot::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = (p.Style & ~WS_CHILD) | WS_POPUP;
  p.WndParent = nullptr;
}

TLogControl::TLogControl(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

int TLogControl::Count(UINT msg) const { return int(std::count(Messages.begin(), Messages.end(), msg)); }

void TLogControl::Dispatch(TMessage& m) {
  if ((m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) || m.Msg == WM_CREATE || m.Msg == WM_DESTROY) {
    Messages.push_back(m.Msg);
    Full.push_back(m);
  }
  if (m.Msg == CM_DIALOGKEY && DialogKey && m.WParam == DialogKey) {
    m.Result = DialogKeyResult;
    return;
  }
  if (m.Msg == CM_DIALOGCHAR && Accel && IsAccel(Word(m.WParam), String(u"&") + Accel)) {
    m.Result = 1;
    return;
  }
  if (m.Msg == WM_GETDLGCODE && DlgCode) {
    m.Result = DlgCode;
    return;
  }
  TCustomControl::Dispatch(m);
}

void TLogControl::Paint() {
  ++Paints;
  if (PaintColor == clNone) return;
  Canvas()->Brush()->SetColor(PaintColor);
  Canvas()->FillRect(ClientRect());
}

TLogGraphic::TLogGraphic(TComponent* owner) : TGraphicControl(owner) {}

int TLogGraphic::Count(UINT msg) const { return int(std::count(Messages.begin(), Messages.end(), msg)); }

void TLogGraphic::Dispatch(TMessage& m) {
  if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) Messages.push_back(m.Msg);
  TGraphicControl::Dispatch(m);
}

void TLogGraphic::Paint() {
  ++Paints;
  Canvas()->Brush()->SetColor(PaintColor);
  Canvas()->FillRect(ClientRect());
}

void VclTest::SetUp() {
  WinTest::SetUp();
  RegisterTestClasses();
  wintest::Headless().InjectMouseMove(1900, 1000);
  Pump();
}

void VclTest::TearDown() {
  FRoots.clear();
  WinTest::TearDown();
}

TTestRoot* VclTest::MakeRoot(int w, int h, int x, int y) {
  FRoots.push_back(std::make_unique<TTestRoot>());
  TTestRoot* r = FRoots.back().get();
  r->SetBounds(x, y, w, h);
  r->Show();
  Pump();
  return r;
}

int VclTest::Pump() {
  MSG m;
  int n = 0;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) break;
    if (IsControlKeyMsg(m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (++n > 10000) {
      ADD_FAILURE() << "message loop did not settle";
      break;
    }
  }
  return n;
}

void VclTest::MoveMouse(TPoint screen) {
  wintest::Headless().InjectMouseMove(screen.X, screen.Y);
  Pump();
}

void VclTest::Click(TPoint screen) {
  wintest::Headless().InjectClick(screen.X, screen.Y);
  Pump();
}

void VclTest::Key(Word vk) {
  wintest::Headless().InjectKey(vk, true);
  Pump();
  wintest::Headless().InjectKey(vk, false);
  Pump();
}

void VclTest::Type(Word vk, const char* text) {
  wintest::Headless().InjectKey(vk, true);
  wintest::Headless().InjectText(text);
  Pump();
  wintest::Headless().InjectKey(vk, false);
  Pump();
}

std::uint32_t Pixel(TWinControl* root, int x, int y) {
  TRect wr, cr;
  GetWindowRect(root->Handle(), &wr);
  TPoint o{0, 0};
  ClientToScreen(root->Handle(), &o);
  return wintest::PixelAt(root->Handle(), x + o.X - wr.Left, y + o.Y - wr.Top);
}

}  // namespace vcl::vcltest
