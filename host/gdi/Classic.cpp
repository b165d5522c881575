// The classic 3-D look: DrawEdge and DrawFrameControl, drawn from the system colours.
// Glyphs are built as pixel shapes whose sizes follow the rectangle (whole pixels, centred),
// so they stay crisp at any scale.
#include <cmath>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiRaster.h"

namespace vcl {

using namespace raster;

namespace {

void Fill(const DrawTarget& t, const TRect& r, COLORREF c) { PaintRect(t, r, SolidPaint(c)); }

int Round(double v) { return int(std::lround(v)); }

// Glyph sizes follow the rectangle up to this many pixels, so an absurd rectangle cannot ask
// for an absurd glyph.
constexpr int kMaxGlyphBase = 2048;
int GlyphBase(int s) { return std::clamp(s, 0, kMaxGlyphBase); }

// v, or v - 1 when that makes (space - v) even, so a shape of size v centres exactly.
int FitParity(int v, int space) {
  if ((space - v) & 1) --v;
  return std::max(v, 1);
}

TRect CentredSquare(const TRect& r) {
  int s = std::min(r.Width(), r.Height());
  int x = r.Left + (r.Width() - s) / 2, y = r.Top + (r.Height() - s) / 2;
  return {x, y, x + s, y + s};
}

// A two-colour checkerboard fixed to the device (the classic "pressed/checked" face).
void FillDither(const DrawTarget& t, const TRect& r, COLORREF a, COLORREF b) {
  std::uint32_t pa = OpaquePixel(a), pb = OpaquePixel(b);
  TPoint org = t.DeviceOrigin();
  t.ForRect(r, [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y) {
      std::uint32_t* row = t.Row(y);
      for (int x = c.Left; x < c.Right; ++x) row[x] = ((x - org.X + y - org.Y) & 1) ? pb : pa;
    }
  });
}

// ---- Edges ----------------------------------------------------------------------------------------

struct RingColours {
  COLORREF TopLeft, BottomRight;
};

// Draws the edge rings on surface rect r and returns the rectangle inside them.
TRect EdgeCore(const DrawTarget& t, TRect r, UINT edge, UINT flags) {
  UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  bool soft = flags & BF_SOFT;
  RingColours rings[2];
  int count = 0;
  if (outer) {
    if (outer & BDR_RAISEDOUTER)
      rings[count++] = {GetSysColor(soft ? COLOR_3DHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW)};
    else
      rings[count++] = {GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT)};
    if (flags & BF_MONO) rings[count - 1] = {GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)};
    else if (flags & BF_FLAT) rings[count - 1] = {GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW)};
  }
  if (inner) {
    if (inner & BDR_RAISEDINNER)
      rings[count++] = {GetSysColor(soft ? COLOR_3DLIGHT : COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DSHADOW)};
    else
      rings[count++] = {GetSysColor(soft ? COLOR_3DSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT)};
    if (flags & BF_MONO) rings[count - 1] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)};
    else if (flags & BF_FLAT) rings[count - 1] = {GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DFACE)};
  }
  bool l = flags & BF_LEFT, tp = flags & BF_TOP, rt = flags & BF_RIGHT, b = flags & BF_BOTTOM;
  for (int i = 0; i < count; ++i) {
    if (r.IsEmpty()) break;
    // The bottom/right colour owns the top-right and bottom-left corners.
    if (tp) Fill(t, {r.Left, r.Top, rt ? r.Right - 1 : r.Right, r.Top + 1}, rings[i].TopLeft);
    if (l) Fill(t, {r.Left, r.Top, r.Left + 1, b ? r.Bottom - 1 : r.Bottom}, rings[i].TopLeft);
    if (b) Fill(t, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, rings[i].BottomRight);
    if (rt) Fill(t, {r.Right - 1, r.Top, r.Right, r.Bottom}, rings[i].BottomRight);
    r = {r.Left + l, r.Top + tp, r.Right - rt, r.Bottom - b};
  }
  if (flags & BF_MIDDLE) Fill(t, r, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE));
  return r;
}

void DiagonalEdge(const DrawTarget& t, const TRect& r, UINT edge, UINT flags) {
  if (r.IsEmpty()) return;
  // The diagonal runs towards the corner the flags name.
  bool top = flags & BF_TOP, right = flags & BF_RIGHT;
  TPoint from{right ? r.Left : r.Right - 1, top ? r.Bottom - 1 : r.Top};
  TPoint to{right ? r.Right - 1 : r.Left, top ? r.Top : r.Bottom - 1};
  bool raised = edge & (BDR_RAISEDOUTER | BDR_RAISEDINNER);
  COLORREF c1 = GetSysColor(raised ? COLOR_3DHIGHLIGHT : COLOR_3DSHADOW);
  COLORREF c2 = GetSysColor(raised ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT);
  if (flags & BF_MIDDLE) Fill(t, r, GetSysColor(COLOR_3DFACE));
  int shift = 0;
  for (COLORREF c : {c1, c2}) {
    Paint p = SolidPaint(c);
    LinePixels(from.X + shift, from.Y, to.X + shift, to.Y, t.ClipBox,
               [&](int x, int y, long long) { PaintPixel(t, x, y, p); });
    PaintPixel(t, to.X + shift, to.Y, p);
    shift = from.X < to.X ? 1 : -1;
  }
}

// ---- Glyph shapes ---------------------------------------------------------------------------------

struct Glyph {
  int W = 0, H = 0;
  std::vector<std::uint8_t> Px;
  Glyph(int w, int h) : W(std::max(w, 0)), H(std::max(h, 0)), Px(size_t(W) * size_t(H), 0) {}
  bool At(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H && Px[size_t(y) * W + x]; }
  void Set(int x, int y, bool on = true) {
    if (x >= 0 && y >= 0 && x < W && y < H) Px[size_t(y) * W + x] = on;
  }
  void Fill(int x0, int y0, int x1, int y1, bool on = true) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Set(x, y, on);
  }
  Glyph Transposed() const {
    Glyph g(H, W);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) g.Set(y, x, At(x, y));
    return g;
  }
  Glyph FlippedV() const {
    Glyph g(W, H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) g.Set(x, H - 1 - y, At(x, y));
    return g;
  }
};

void DrawGlyphAt(const DrawTarget& t, const Glyph& g, int x, int y, COLORREF c) {
  Paint p = SolidPaint(c);
  for (int j = 0; j < g.H; ++j) {
    int i = 0;
    while (i < g.W) {
      if (!g.At(i, j)) {
        ++i;
        continue;
      }
      int e = i;
      while (e < g.W && g.At(e, j)) ++e;
      PaintSpan(t, y + j, x + i, x + e, p);
      i = e;
    }
  }
}

// Centres g in r; an inactive glyph is embossed (highlight below-right, shadow on top).
void PlaceGlyph(const DrawTarget& t, const Glyph& g, const TRect& r, COLORREF c, bool inactive,
                int shift, int unit) {
  int x = r.Left + (r.Width() - g.W) / 2 + shift, y = r.Top + (r.Height() - g.H) / 2 + shift;
  if (inactive) {
    DrawGlyphAt(t, g, x + unit, y + unit, GetSysColor(COLOR_3DHIGHLIGHT));
    DrawGlyphAt(t, g, x, y, GetSysColor(COLOR_3DSHADOW));
  } else {
    DrawGlyphAt(t, g, x, y, c);
  }
}

// A triangle pointing up: rows of width apex, apex + 2, ...
Glyph UpArrow(int rows, int apex) {
  rows = std::max(rows, 1);
  int w = apex + 2 * (rows - 1);
  Glyph g(w, rows);
  for (int i = 0; i < rows; ++i) g.Fill(rows - 1 - i, i, w - (rows - 1 - i), i + 1);
  return g;
}

enum class Dir { Up, Down, Left, Right };

// An arrow sized for a square of side s. Small arrows keep a one-pixel point; larger ones
// take a two-pixel point when that centres them exactly across `across`.
Glyph Arrow(Dir d, int s, int across) {
  int rows = std::max(1, (s * 4 + 8) / 16);
  int apex = (rows <= 4 || (across & 1)) ? 1 : 2;
  Glyph g = UpArrow(rows, apex);
  switch (d) {
    case Dir::Up: return g;
    case Dir::Down: return g.FlippedV();
    case Dir::Left: return g.Transposed();
    case Dir::Right: return g.FlippedV().Transposed();
  }
  return g;
}

// The check mark: columns of thickness `th` rising one pixel per column from the bottom of a
// V whose arms end at the glyph's left and top-right.
Glyph CheckMark(int w, int th) {
  w = std::max(w, 3);
  th = std::clamp(th, 1, w - 2);
  Glyph g(w, w);
  for (int c = 0; c < w; ++c) {
    int top = (w - th) - std::abs(c - (th - 1));
    g.Fill(c, top, c + 1, top + th);
  }
  return g;
}

Glyph CloseX(double u) {
  int n = std::max(3, Round(7 * u)), sw = std::max(2, Round(2 * u));
  int w = n + sw - 1;
  Glyph g(w, n);
  for (int r = 0; r < n; ++r) {
    g.Fill(r, r, r + sw, r + 1);
    g.Fill(w - r - sw, r, w - r, r + 1);
  }
  return g;
}

// Minimise, maximise and restore share a square cell so they line up with one another.
Glyph Minimise(double u) {
  int c = std::max(5, Round(9 * u)), bh = std::max(2, Round(2 * u)), one = std::max(1, Round(u));
  Glyph g(c, c);
  g.Fill(one, c - bh, one + std::max(3, Round(6 * u)), c);
  return g;
}

void BoxOutline(Glyph& g, int x0, int y0, int x1, int y1, int top, int side) {
  g.Fill(x0, y0, x1, y0 + top);
  g.Fill(x0, y1 - side, x1, y1);
  g.Fill(x0, y0, x0 + side, y1);
  g.Fill(x1 - side, y0, x1, y1);
}

Glyph Maximise(double u) {
  int c = std::max(5, Round(9 * u)), bh = std::max(2, Round(2 * u)), one = std::max(1, Round(u));
  Glyph g(c, c);
  BoxOutline(g, 0, 0, c, c, bh, one);
  return g;
}

Glyph Restore(double u) {
  int c = std::max(5, Round(9 * u)), bh = std::max(2, Round(2 * u)), one = std::max(1, Round(u));
  int b = std::max(4, Round(6 * u)), off = c - b;
  Glyph g(c, c);
  BoxOutline(g, off, 0, c, b, bh, one);                 // the window behind
  g.Fill(0, off, b, c, false);                          // hidden by the front window
  BoxOutline(g, 0, off, b, c, bh, one);                 // the window in front
  return g;
}

Glyph Help(double u) {
  static const char* kRows[] = {".#####.", "##...##", "##...##", "....##.", "...##..",
                                "...##..", ".......", "...##..", "...##.."};
  int k = std::max(1, Round(u));
  Glyph g(7 * k, 9 * k);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 7; ++x)
      if (kRows[y][x] == '#') g.Fill(x * k, y * k, x * k + k, y * k + k);
  return g;
}

// Fills the ellipse inscribed in box with c.
void FillEllipse(const DrawTarget& t, const TRect& box, COLORREF c) {
  Rows rows;
  EllipseRows(box, t.ClipBox, rows);
  Paint p = SolidPaint(c);
  for (int y = rows.Top; y < rows.Bottom(); ++y) PaintSpan(t, y, rows.At(y).X0, rows.At(y).X1, p);
}

// Paints the pixels of ellipse(outer) not in ellipse(inner), split into the half above the
// box's anti-diagonal (tl) and the rest (br).
void EllipseRing(const DrawTarget& t, const TRect& outer, const TRect& inner, const TRect& box,
                 COLORREF tl, COLORREF br) {
  Rows in, out;
  EllipseRows(inner, t.ClipBox, in);
  EllipseRows(outer, t.ClipBox, out);
  Paint ptl = SolidPaint(tl), pbr = SolidPaint(br);
  auto piece = [&](int y, int x0, int x1) {
    // Pixels with (x - left) + (y - top) < width - 1 lie above the anti-diagonal.
    long long split = (long long)box.Left + box.Width() - 1 - (y - box.Top);
    int s = int(std::clamp<long long>(split, x0, x1));
    PaintSpan(t, y, x0, s, ptl);
    PaintSpan(t, y, s, x1, pbr);
  };
  for (int y = std::max(out.Top, t.ClipBox.Top); y < std::min(out.Bottom(), t.ClipBox.Bottom); ++y) {
    Run o = out.At(y), i = in.At(y);
    if (i.X0 >= i.X1) {
      piece(y, o.X0, o.X1);
    } else {
      piece(y, o.X0, std::max(o.X0, i.X0));
      piece(y, std::min(o.X1, i.X1), o.X1);
    }
  }
}

// ---- Frame controls -------------------------------------------------------------------------------

UINT FaceFlags(UINT state) {
  UINT f = BF_RECT;
  if (!(state & DFCS_TRANSPARENT)) f |= BF_MIDDLE;
  if (state & DFCS_FLAT) f |= BF_FLAT;
  if (state & DFCS_MONO) f |= BF_MONO;
  return f;
}

// A push-button face; returns the content rectangle.
TRect PushFace(const DrawTarget& t, const TRect& r, UINT state) {
  UINT flags = FaceFlags(state) | BF_SOFT;
  bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
  if ((state & DFCS_FLAT) && !(state & DFCS_MONO)) {
    // Flat buttons: a thin frame only when hot or down.
    if (!(state & DFCS_TRANSPARENT)) Fill(t, r, GetSysColor(COLOR_3DFACE));
    if (down) return EdgeCore(t, r, BDR_SUNKENOUTER, BF_RECT);
    if (state & DFCS_HOT) return EdgeCore(t, r, BDR_RAISEDINNER, BF_RECT);
    return r.Inflated(-1, -1);
  }
  TRect in = EdgeCore(t, r, down ? EDGE_SUNKEN : EDGE_RAISED, flags);
  if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED) && !(state & DFCS_TRANSPARENT))
    FillDither(t, in, GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DFACE));
  return in;
}

void CheckBox(const DrawTarget& t, const TRect& r, UINT state) {
  TRect box = CentredSquare(r);
  int s = box.Width();
  if (s <= 0) return;
  double u = GlyphBase(s) / 13.0;
  int ring = std::max(1, Round(u));
  bool inactive = state & DFCS_INACTIVE, three = state & DFCS_BUTTON3STATE;
  TRect in = box;
  auto band = [&](COLORREF tl, COLORREF br) {
    // One ring `ring` pixels thick; the bottom/right colour owns the off-diagonal corners.
    for (int i = 0; i < ring; ++i) {
      Fill(t, {in.Left, in.Top, in.Right - 1, in.Top + 1}, tl);
      Fill(t, {in.Left, in.Top, in.Left + 1, in.Bottom - 1}, tl);
      Fill(t, {in.Left, in.Bottom - 1, in.Right, in.Bottom}, br);
      Fill(t, {in.Right - 1, in.Top, in.Right, in.Bottom}, br);
      in = in.Inflated(-1, -1);
    }
  };
  if (state & DFCS_MONO) {
    band(GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
  } else if (state & DFCS_FLAT) {
    band(GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
  } else {
    band(GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
    band(GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  }
  bool checked = state & DFCS_CHECKED;
  if (three && checked)
    FillDither(t, in, GetSysColor(COLOR_3DHIGHLIGHT), GetSysColor(COLOR_3DFACE));
  else
    Fill(t, in, GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW));
  if (!checked) return;
  // The mark keeps the 7-in-9 proportion of the box interior it has at 100 %.
  int w = std::min(Round(GlyphBase(in.Width()) * 7 / 9.0), in.Width());
  Glyph g = CheckMark(w, std::max(1, Round(w * 3 / 7.0)));
  PlaceGlyph(t, g, in, GetSysColor((inactive || three) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT), false, 0, ring);
}

void RadioButton(const DrawTarget& t, const TRect& r, UINT state) {
  TRect box = CentredSquare(r);
  int s = box.Width();
  if (s <= 0) return;
  if (state & DFCS_BUTTONRADIOMASK) {
    Fill(t, box, RGB(255, 255, 255));
    FillEllipse(t, box, RGB(0, 0, 0));
    return;
  }
  int ring = std::max(1, Round(GlyphBase(s) / 12.0));
  TRect r1 = box.Inflated(-ring, -ring), r2 = r1.Inflated(-ring, -ring);
  bool inactive = state & DFCS_INACTIVE;
  COLORREF face = GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW);
  if (state & DFCS_MONO) {
    EllipseRing(t, box, r1, box, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    FillEllipse(t, r1, face);
  } else if (state & DFCS_FLAT) {
    EllipseRing(t, box, r1, box, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DSHADOW));
    FillEllipse(t, r1, face);
  } else {
    EllipseRing(t, box, r1, box, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
    EllipseRing(t, r1, r2, box, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    FillEllipse(t, r2, face);
  }
  if (!(state & DFCS_CHECKED)) return;
  int d = FitParity(std::max(2, Round(s / 3.0)), s);
  int o = (s - d) / 2;
  TRect dot{box.Left + o, box.Top + o, box.Left + o + d, box.Top + o + d};
  FillEllipse(t, dot, GetSysColor(inactive ? COLOR_3DSHADOW : COLOR_WINDOWTEXT));
}

void SizeGrip(const DrawTarget& t, const TRect& r, UINT state, bool left) {
  if (!(state & DFCS_TRANSPARENT)) Fill(t, r, GetSysColor(COLOR_3DFACE));
  int s = GlyphBase(std::min(r.Width(), r.Height()));
  int k = std::max(1, Round(s / 13.0));
  // Three ridges, each a highlight line above two shadow lines, along the anti-diagonal.
  Paint hi = SolidPaint(GetSysColor(COLOR_3DHIGHLIGHT)), sh = SolidPaint(GetSysColor(COLOR_3DSHADOW));
  int limit = 12 * k;
  for (int v = 0; v < std::min(s, limit); ++v) {
    int y = r.Bottom - 1 - v;
    for (int uu = 0; uu + v < limit && uu < s; ++uu) {
      int dist = (uu + v) / k;  // 0 .. 11
      int phase = dist % 4;
      if (dist == 0 || phase == 0) continue;
      int x = left ? r.Left + uu : r.Right - 1 - uu;
      PaintPixel(t, x, y, phase == 3 ? hi : sh);
    }
  }
}

bool ScrollControl(const DrawTarget& t, TRect r, UINT state) {
  UINT kind = state & 0xFF;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    SizeGrip(t, r, state, kind == DFCS_SCROLLSIZEGRIPRIGHT);
    return true;
  }
  Dir d;
  switch (kind) {
    case DFCS_SCROLLUP: d = Dir::Up; break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX: d = Dir::Down; break;
    case DFCS_SCROLLLEFT: d = Dir::Left; break;
    case DFCS_SCROLLRIGHT: d = Dir::Right; break;
    default: return false;
  }
  bool pushed = state & DFCS_PUSHED;
  UINT flags = FaceFlags(state) | (pushed ? BF_FLAT : 0);
  TRect in = EdgeCore(t, r, pushed ? BDR_SUNKENOUTER : EDGE_RAISED, flags);
  if (pushed && !(flags & BF_MONO)) in = r.Inflated(-1, -1);
  int s = GlyphBase(std::min(r.Width(), r.Height()));
  int unit = std::max(1, Round(s / 17.0));
  bool vertical = d == Dir::Up || d == Dir::Down;
  Glyph g = Arrow(d, s, vertical ? r.Width() : r.Height());
  PlaceGlyph(t, g, r, GetSysColor(COLOR_BTNTEXT), state & DFCS_INACTIVE, pushed ? unit : 0, unit);
  return true;
}

bool CaptionControl(const DrawTarget& t, const TRect& r, UINT state) {
  UINT kind = state & 0xFF;
  if (kind > DFCS_CAPTIONHELP) return false;
  PushFace(t, r, state & ~DFCS_CHECKED);
  int s = GlyphBase(std::min(r.Width(), r.Height()));
  double u = s / 14.0;
  Glyph g = kind == DFCS_CAPTIONCLOSE  ? CloseX(u)
            : kind == DFCS_CAPTIONMIN  ? Minimise(u)
            : kind == DFCS_CAPTIONMAX  ? Maximise(u)
            : kind == DFCS_CAPTIONRESTORE ? Restore(u)
                                          : Help(u);
  int unit = std::max(1, Round(u));
  PlaceGlyph(t, g, r, GetSysColor(COLOR_BTNTEXT), state & DFCS_INACTIVE,
             (state & DFCS_PUSHED) ? unit : 0, unit);
  return true;
}

bool MenuControl(const DrawTarget& t, const TRect& r, UINT state) {
  UINT kind = state & 0xFF;
  if (kind != DFCS_MENUARROW && kind != DFCS_MENUCHECK && kind != DFCS_MENUBULLET &&
      kind != DFCS_MENUARROWRIGHT)
    return false;
  if (!(state & DFCS_TRANSPARENT)) Fill(t, r, RGB(255, 255, 255));
  int s = GlyphBase(std::min(r.Width(), r.Height()));
  if (s <= 0) return true;
  double u = s / 16.0;
  COLORREF black = RGB(0, 0, 0);
  if (kind == DFCS_MENUBULLET) {
    int d = FitParity(std::max(2, Round(6 * u)), s);
    int x = r.Left + (r.Width() - d) / 2, y = r.Top + (r.Height() - d) / 2;
    FillEllipse(t, {x, y, x + d, y + d}, black);
    return true;
  }
  Glyph g = kind == DFCS_MENUCHECK
                ? CheckMark(std::max(3, Round(7 * u)), std::max(1, Round(3 * u)))
                : Arrow(kind == DFCS_MENUARROW ? Dir::Right : Dir::Left, s, r.Height());
  PlaceGlyph(t, g, r, black, false, 0, 1);
  return true;
}

}  // namespace

bool DrawEdge(HDC dc, TRect* r, UINT edge, UINT flags) {
  if (!dc || !r) return false;
  DrawTarget t(dc);
  if (!t) return false;
  TRect s = t.ToSurface(*r);
  if (flags & BF_DIAGONAL) {
    DiagonalEdge(t, s, edge, flags);
    return true;
  }
  TRect in = EdgeCore(t, s, edge, flags);
  if (flags & BF_ADJUST) *r = in.Offsetted(-t.Off.X, -t.Off.Y);
  return true;
}

bool DrawFrameControl(HDC dc, TRect* r, UINT type, UINT state) {
  if (!dc || !r) return false;
  DrawTarget t(dc);
  if (!t) return false;
  TRect s = t.ToSurface(*r);
  TRect content = s;
  bool ok = true;
  switch (type) {
    case DFC_BUTTON: {
      UINT kind = state & 0xFF;
      if (kind & DFCS_BUTTONPUSH) content = PushFace(t, s, state);
      else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) RadioButton(t, s, state);
      else CheckBox(t, s, state);
      break;
    }
    case DFC_SCROLL: ok = ScrollControl(t, s, state); break;
    case DFC_CAPTION: ok = CaptionControl(t, s, state); break;
    case DFC_MENU:
    case DFC_POPUPMENU: ok = MenuControl(t, s, state); break;
    default: return false;
  }
  if (ok && (state & DFCS_ADJUSTRECT)) {
    if (content == s) content = s.Inflated(-2, -2);
    *r = content.Offsetted(-t.Off.X, -t.Off.Y);
  }
  return ok;
}

}  // namespace vcl
