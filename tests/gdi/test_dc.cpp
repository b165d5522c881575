// Device-context state: saved states, and every drawing call honouring origins and clipping.
#include <string>

#include "DrawFixture.h"

using namespace kxtest;

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
}

TEST(DcState, SaveAndRestoreNestAbsoluteAndRelative) {
  Canvas c(20, 20);
  HPEN red = c.Own(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  HPEN blue = c.Own(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
  HBRUSH green = c.Own(CreateSolidBrush(RGB(0, 255, 0)));
  HPEN stockPen = AsPen(GetCurrentObject(c.Dc, OBJ_PEN));
  HBRUSH stockBrush = AsBrush(GetCurrentObject(c.Dc, OBJ_BRUSH));

  EXPECT_EQ(SaveDC(c.Dc), 1);
  SelectObject(c.Dc, red);
  SelectObject(c.Dc, green);
  SetWindowOrgEx(c.Dc, 3, 4, nullptr);
  IntersectClipRect(c.Dc, 0, 0, 5, 5);
  SetROP2(c.Dc, R2_XORPEN);
  SetArcDirection(c.Dc, AD_CLOCKWISE);
  SetPolyFillMode(c.Dc, WINDING);
  SetBkColor(c.Dc, RGB(1, 2, 3));
  MoveToEx(c.Dc, 7, 8, nullptr);
  EXPECT_EQ(SaveDC(c.Dc), 2);
  SelectObject(c.Dc, blue);
  SetViewportOrgEx(c.Dc, 9, 9, nullptr);
  SetROP2(c.Dc, R2_NOT);
  EXPECT_EQ(SaveDC(c.Dc), 3);
  SelectObject(c.Dc, AsPen(GetStockObject(NULL_PEN)));
  SetPolyFillMode(c.Dc, ALTERNATE);
  // An object held by a saved state cannot be deleted.
  EXPECT_FALSE(DeleteObject(red));

  ASSERT_TRUE(RestoreDC(c.Dc, -1));  // back to the third saved state
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_PEN), blue);
  EXPECT_EQ(GetROP2(c.Dc), R2_NOT);
  EXPECT_EQ(GetPolyFillMode(c.Dc), WINDING);
  TPoint p;
  GetViewportOrgEx(c.Dc, &p);
  EXPECT_EQ(p, TPoint(9, 9));
  EXPECT_EQ(SaveDC(c.Dc), 3);  // depth was 2
  EXPECT_FALSE(RestoreDC(c.Dc, 4));
  EXPECT_FALSE(RestoreDC(c.Dc, 0));
  EXPECT_FALSE(RestoreDC(c.Dc, -4));

  ASSERT_TRUE(RestoreDC(c.Dc, 2));  // pops levels 3 and 2
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_PEN), red);
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_BRUSH), green);
  EXPECT_EQ(GetROP2(c.Dc), R2_XORPEN);
  EXPECT_EQ(GetArcDirection(c.Dc), AD_CLOCKWISE);
  EXPECT_EQ(GetBkColor(c.Dc), RGB(1, 2, 3));
  GetViewportOrgEx(c.Dc, &p);
  EXPECT_EQ(p, TPoint(0, 0));
  GetWindowOrgEx(c.Dc, &p);
  EXPECT_EQ(p, TPoint(3, 4));
  GetCurrentPositionEx(c.Dc, &p);
  EXPECT_EQ(p, TPoint(7, 8));
  TRect box;
  EXPECT_EQ(GetClipBox(c.Dc, &box), SIMPLEREGION);
  // The clip was set with the window origin at (3,4): device (-3,-4)-(2,1), on the surface
  // (0,0)-(2,1).
  EXPECT_EQ(box, TRect(3, 4, 5, 5));

  ASSERT_TRUE(RestoreDC(c.Dc, 1));
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_PEN), stockPen);
  EXPECT_EQ(GetCurrentObject(c.Dc, OBJ_BRUSH), stockBrush);
  EXPECT_EQ(GetROP2(c.Dc), R2_COPYPEN);
  EXPECT_EQ(GetArcDirection(c.Dc), AD_COUNTERCLOCKWISE);
  EXPECT_EQ(GetPolyFillMode(c.Dc), ALTERNATE);
  EXPECT_EQ(GetClipBox(c.Dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, TRect(0, 0, 20, 20));
  EXPECT_FALSE(RestoreDC(c.Dc, -1));  // nothing left to restore
  // Drawing after the restore lands with the original origin and no clip.
  TRect r(15, 15, 20, 20);
  FillRect(c.Dc, &r, AsBrush(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.At(19, 19), 0xFF000000u);
}

namespace {

struct Source {
  Canvas Img{40, 40, 0xFF3366CCu};
  HBITMAP Mask = nullptr;
  Source() {
    // A striped 1-bit mask for MaskBlt.
    std::vector<BYTE> rows(size_t(6) * 40, 0);
    for (int y = 0; y < 40; ++y) rows[size_t(y) * 6] = (y & 1) ? 0xF0 : 0x0F;
    Mask = CreateBitmap(40, 40, 1, 1, rows.data());
  }
  ~Source() { DeleteObject(Mask); }
};

using DrawOp = std::function<void(HDC dc, Source& s)>;

std::vector<std::pair<std::string, DrawOp>> AllDrawingCalls() {
  const TRect b(-5, -5, 25, 25);  // crosses the clip's left and top edges, covers its hole
  std::vector<std::pair<std::string, DrawOp>> ops;
  auto add = [&](const char* n, DrawOp f) { ops.emplace_back(n, std::move(f)); };
  add("FillRect", [b](HDC dc, Source&) { FillRect(dc, &b, AsBrush(GetStockObject(BLACK_BRUSH))); });
  add("FrameRect", [b](HDC dc, Source&) { FrameRect(dc, &b, AsBrush(GetStockObject(BLACK_BRUSH))); });
  add("InvertRect", [b](HDC dc, Source&) { InvertRect(dc, &b); });
  add("DrawFocusRect", [b](HDC dc, Source&) { DrawFocusRect(dc, &b); });
  add("Rectangle", [b](HDC dc, Source&) { Rectangle(dc, b.Left, b.Top, b.Right, b.Bottom); });
  add("RoundRect", [b](HDC dc, Source&) { RoundRect(dc, b.Left, b.Top, b.Right, b.Bottom, 12, 12); });
  add("Ellipse", [b](HDC dc, Source&) { Ellipse(dc, b.Left, b.Top, b.Right + 20, b.Bottom + 20); });
  add("Arc", [](HDC dc, Source&) { Arc(dc, -5, -5, 45, 45, 50, 20, -5, 20); });
  add("Chord", [](HDC dc, Source&) { Chord(dc, -5, -5, 45, 45, 50, 20, -5, 20); });
  add("Pie", [](HDC dc, Source&) { Pie(dc, -5, -5, 45, 45, 50, 20, 20, -5); });
  add("Polygon", [](HDC dc, Source&) {
    TPoint p[] = {{-5, -5}, {45, 10}, {10, 45}};
    Polygon(dc, p, 3);
  });
  add("Polyline", [](HDC dc, Source&) {
    TPoint p[] = {{-5, -5}, {45, 10}, {10, 45}, {-5, 20}};
    Polyline(dc, p, 4);
  });
  add("LineTo", [](HDC dc, Source&) {
    MoveToEx(dc, -5, -3, nullptr);
    LineTo(dc, 45, 40);
  });
  add("DashedLine", [](HDC dc, Source&) {
    HPEN p = CreatePen(PS_DASHDOT, 1, RGB(0, 0, 0));
    HPEN old = SelectObject(dc, p);
    MoveToEx(dc, -5, 12, nullptr);
    LineTo(dc, 45, 12);
    SelectObject(dc, old);
    DeleteObject(p);
  });
  add("SetPixel", [](HDC dc, Source&) {
    for (int i = -5; i < 45; ++i) SetPixelV(dc, i, i, RGB(0, 0, 0));
  });
  add("PatBlt", [b](HDC dc, Source&) { PatBlt(dc, b.Left, b.Top, b.Width(), b.Height(), PATINVERT); });
  add("FillRgn", [b](HDC dc, Source&) {
    HRGN r = CreateRectRgnIndirect(b);
    FillRgn(dc, r, AsBrush(GetStockObject(BLACK_BRUSH)));
    DeleteObject(r);
  });
  add("FrameRgn", [b](HDC dc, Source&) {
    HRGN r = CreateEllipticRgn(b.Left, b.Top, b.Right + 10, b.Bottom + 10);
    FrameRgn(dc, r, AsBrush(GetStockObject(BLACK_BRUSH)), 3, 3);
    DeleteObject(r);
  });
  add("PaintRgn", [b](HDC dc, Source&) {
    HRGN r = CreateRectRgnIndirect(b);
    PaintRgn(dc, r);
    DeleteObject(r);
  });
  add("InvertRgn", [b](HDC dc, Source&) {
    HRGN r = CreateRectRgnIndirect(b);
    InvertRgn(dc, r);
    DeleteObject(r);
  });
  add("BitBlt", [b](HDC dc, Source& s) { BitBlt(dc, b.Left, b.Top, 40, 40, s.Img.Dc, 0, 0, SRCCOPY); });
  add("BitBltRop", [b](HDC dc, Source& s) { BitBlt(dc, b.Left, b.Top, 40, 40, s.Img.Dc, 0, 0, SRCINVERT); });
  add("StretchBlt", [b](HDC dc, Source& s) { StretchBlt(dc, b.Left, b.Top, 50, 50, s.Img.Dc, 0, 0, 10, 10, SRCCOPY); });
  add("StretchBltHalftone", [b](HDC dc, Source& s) {
    int old = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, b.Left + 50, b.Top, -50, 50, s.Img.Dc, 0, 0, 40, 40, NOTSRCCOPY);
    SetStretchBltMode(dc, old);
  });
  add("MaskBlt", [b](HDC dc, Source& s) {
    MaskBlt(dc, b.Left, b.Top, 40, 40, s.Img.Dc, 0, 0, s.Mask, 0, 0, MAKEROP4(SRCCOPY, DSTINVERT));
  });
  add("TransparentBlt", [b](HDC dc, Source& s) { TransparentBlt(dc, b.Left, b.Top, 50, 50, s.Img.Dc, 0, 0, 40, 40, RGB(1, 1, 1)); });
  add("AlphaBlend", [b](HDC dc, Source& s) {
    AlphaBlend(dc, b.Left, b.Top, 50, 50, s.Img.Dc, 0, 0, 40, 40, BLENDFUNCTION{AC_SRC_OVER, 0, 200, AC_SRC_ALPHA});
  });
  add("GradientRect", [b](HDC dc, Source&) {
    TRIVERTEX v[2];
    v[0].x = b.Left;
    v[0].y = b.Top;
    v[1].x = b.Right + 20;
    v[1].y = b.Bottom + 20;
    v[1].Red = 0xFF00;
    GRADIENT_RECT r{0, 1};
    GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
  });
  add("GradientTriangle", [](HDC dc, Source&) {
    TRIVERTEX v[3];
    v[0].x = -10, v[0].y = -10, v[1].x = 60, v[1].y = 0, v[2].x = 0, v[2].y = 60;
    v[2].Blue = 0xFF00;
    GRADIENT_TRIANGLE t{0, 1, 2};
    GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
  });
  add("DrawEdge", [b](HDC dc, Source&) {
    TRect r = b;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  });
  add("DrawFrameControlPush", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  });
  add("DrawFrameControlCheck", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  });
  add("DrawFrameControlRadio", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  });
  add("DrawFrameControlScroll", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
  });
  add("DrawFrameControlCaption", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONRESTORE);
  });
  add("DrawFrameControlMenu", [b](HDC dc, Source&) {
    TRect r = b;
    DrawFrameControl(dc, &r, DFC_MENU, DFCS_MENUBULLET);
  });
  return ops;
}

}  // namespace

// Every call draws only inside the clip (with a hole excluded), wherever the origins put it.
TEST(DcClip, EveryDrawingCallHonoursOriginsAndClip) {
  Source src;
  for (bool windowDc : {false, true}) {
    Canvas c(80, 80);
    HPEN pen = c.Own(CreatePen(PS_SOLID, 3, RGB(0, 0, 0)));
    HBRUSH brush = c.Own(CreateHatchBrush(HS_CROSS, RGB(200, 0, 0)));
    // Logical (0,0) lies at device (15,10); the clip is logical (0,0)-(30,30) less a hole.
    TRect allowed(15, 10, 45, 40), hole(25, 20, 30, 25);
    TPoint dcOrg{0, 0};
    TRect visible(0, 0, 80, 80);
    if (windowDc) {
      // A window DC sits at an offset in its top-level surface, under a visible region.
      dcOrg = {4, 2};
      visible = {0, 0, 80, 30};
      c.Dc->DcOrg = dcOrg;
      cairo_rectangle_int_t vr{visible.Left, visible.Top, visible.Width(), visible.Height()};
      c.Dc->VisRgn = cairo_region_create_rectangle(&vr);
      c.Dc->InvalidateClip();
      allowed = TRect::Intersect(allowed.Offsetted(dcOrg.X, dcOrg.Y), visible);
      hole = hole.Offsetted(dcOrg.X, dcOrg.Y);
    }
    for (auto& [name, op] : AllDrawingCalls()) {
      SCOPED_TRACE(name + (windowDc ? " (window DC)" : ""));
      c.Clear(kWhite);
      ASSERT_EQ(SaveDC(c.Dc), 1);
      SetWindowOrgEx(c.Dc, -10, -5, nullptr);
      SetViewportOrgEx(c.Dc, 5, 5, nullptr);
      IntersectClipRect(c.Dc, 0, 0, 30, 30);
      ExcludeClipRect(c.Dc, 10, 10, 15, 15);
      SelectObject(c.Dc, pen);
      SelectObject(c.Dc, brush);
      op(c.Dc, src);
      ASSERT_TRUE(RestoreDC(c.Dc, 1));
      int inside = 0, outside = 0;
      for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
          if (c.At(x, y) == kWhite) continue;
          bool ok = allowed.Contains(TPoint{x, y}) && !hole.Contains(TPoint{x, y});
          (ok ? inside : outside)++;
        }
      EXPECT_EQ(outside, 0);
      EXPECT_GT(inside, 0);
    }
  }
}

TEST(DcClip, OriginsPlaceLogicalCoordinates) {
  Canvas c(40, 40);
  SetWindowOrgEx(c.Dc, 10, 0, nullptr);
  SetViewportOrgEx(c.Dc, 0, 7, nullptr);
  TRect r(12, 1, 14, 2);
  FillRect(c.Dc, &r, AsBrush(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(c.Changed(kWhite), TRect(2, 8, 4, 9));
  MoveToEx(c.Dc, 10, 3, nullptr);
  LineTo(c.Dc, 12, 3);
  EXPECT_EQ(c.At(0, 10), 0xFF000000u);
  EXPECT_EQ(c.At(1, 10), 0xFF000000u);
  EXPECT_EQ(GetPixel(c.Dc, 13, 1), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(c.Dc, 14, 1), RGB(255, 255, 255));
}
