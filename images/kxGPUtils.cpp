// GDI+ helpers, slice options and the three- and nine-slice drawing.
#include "images/kxGPUtils.h"

#include <cmath>
#include <limits>
#include <memory>

#include "host/classes/TypInfo.h"
#include "host/gdi/GdiPlus.h"
#include "host/graphics/Graphic.h"

namespace kx {

using namespace vcl;

// ---- TkxGPBitmapOptions ---------------------------------------------------------------------

const TClass TkxGPBitmapOptions::Class =
    TClass::Define<TkxGPBitmapOptions, TPersistent>(u"TkxGPBitmapOptions", [](auto& c) {
      c.Property(u"LeftMargin", &TkxGPBitmapOptions::LeftMargin, &TkxGPBitmapOptions::SetLeftMargin);
      c.Property(u"TopMargin", &TkxGPBitmapOptions::TopMargin, &TkxGPBitmapOptions::SetTopMargin);
      c.Property(u"RightMargin", &TkxGPBitmapOptions::RightMargin,
                 &TkxGPBitmapOptions::SetRightMargin);
      c.Property(u"BottomMargin", &TkxGPBitmapOptions::BottomMargin,
                 &TkxGPBitmapOptions::SetBottomMargin);
      c.Property(u"Stretch", &TkxGPBitmapOptions::Stretch, &TkxGPBitmapOptions::SetStretch);
      c.Property(u"StretchBorder", &TkxGPBitmapOptions::StretchBorder,
                 &TkxGPBitmapOptions::SetStretchBorder);
      c.Property(u"DrawOnlyBorder", &TkxGPBitmapOptions::DrawOnlyBorder,
                 &TkxGPBitmapOptions::SetDrawOnlyBorder);
      c.Property(u"DrawOnlyClient", &TkxGPBitmapOptions::DrawOnlyClient,
                 &TkxGPBitmapOptions::SetDrawOnlyClient);
    });

void TkxGPBitmapOptions::SetLeftMargin(int v) {
  FLeftMargin = v;
  FOnChange(this);
}
void TkxGPBitmapOptions::SetTopMargin(int v) {
  FTopMargin = v;
  FOnChange(this);
}
void TkxGPBitmapOptions::SetRightMargin(int v) {
  FRightMargin = v;
  FOnChange(this);
}
void TkxGPBitmapOptions::SetBottomMargin(int v) {
  FBottomMargin = v;
  FOnChange(this);
}

void TkxGPBitmapOptions::Assign(TPersistent* source) {
  auto* o = dynamic_cast<TkxGPBitmapOptions*>(source);
  if (!o) {
    TPersistent::Assign(source);
    return;
  }
  FLeftMargin = o->FLeftMargin;
  FRightMargin = o->FRightMargin;
  FTopMargin = o->FTopMargin;
  FBottomMargin = o->FBottomMargin;
  FStretch = o->FStretch;
  FStretchBorder = o->FStretchBorder;
  FDrawOnlyBorder = o->FDrawOnlyBorder;
  FDrawOnlyClient = o->FDrawOnlyClient;
}

// ---- TkxGPGraphicsTarget ----------------------------------------------------------------------

void TkxGPGraphicsTarget::DrawImage(TGPBitmap* image, const TGPRectF& dest, const TGPRectF& src) {
  G->DrawImage(image, dest, src.X, src.Y, src.Width, src.Height, UnitPixel);
}

void TkxGPGraphicsTarget::SetClip(const TGPRectF& r) {
  ResetClip();
  FSaved = G->Save();
  FClipped = true;
  G->SetClip(r, CombineModeIntersect);
}

void TkxGPGraphicsTarget::ResetClip() {
  if (!FClipped) return;
  FClipped = false;
  G->Restore(FSaved);
}

// ---- helpers ----------------------------------------------------------------------------------

int kxRound(double x) {
  if (!std::isfinite(x)) return 0;
  double r = std::nearbyint(x);
  if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min()) return 0;
  return int(r);
}

int kxTrunc(double x) {
  if (!std::isfinite(x)) return 0;
  double r = std::trunc(x);
  if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min()) return 0;
  return int(r);
}

ARGB ColorToGPColor(TColor AColor, Byte AAlpha) {
  if (AColor == clNone) return 0;
  COLORREF c = ColorToRGB(AColor);
  return MakeColor(AAlpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

TGPRectF RectToGPRectF(const TRect& R) {
  return {float(R.Left), float(R.Top), float(R.Right - R.Left), float(R.Bottom - R.Top)};
}

void InflateGPRectF(TGPRectF& R, float DX, float DY) {
  R.X -= DX;
  R.Y -= DY;
  R.Width += 2 * DX;
  R.Height += 2 * DY;
}

void DrawBitmapGP(HDC DC, const TRect& R, TBitmap* B, bool AHighQualityPixelOffset) {
  if (!DC || !B || B->Empty()) return;
  std::unique_ptr<TGPBitmap> gb;
  if (B->PixelFormat() == pf32bit) {
    PixelFormat f = B->AlphaFormat() == afPremultiplied ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
    gb = std::make_unique<TGPBitmap>(B->Width(), B->Height(), B->RowBytes(), f,
                                     static_cast<BYTE*>(B->ScanLine(0)));
  } else {
    gb = std::make_unique<TGPBitmap>(B->Handle());
  }
  DrawGPBitmap(DC, R, gb.get(), AHighQualityPixelOffset);
}

void DrawGPBitmap(HDC DC, const TRect& R, TGPBitmap* B, bool AHighQualityPixelOffset) {
  if (!DC || !B) return;
  TGPGraphics g(DC);
  g.SetSmoothingMode(SmoothingModeHighQuality);
  g.SetInterpolationMode(InterpolationModeHighQuality);
  if (AHighQualityPixelOffset) g.SetPixelOffsetMode(PixelOffsetModeHighQuality);
  g.DrawImage(B, RectToGPRectF(R));
}

// ---- slicing ----------------------------------------------------------------------------------

namespace {

TGPRectF Span(double l, double t, double r, double b) {
  return {float(l), float(t), float(r - l), float(b - t)};
}

enum class TSliceKind { Nine, Horizontal, Vertical };

// One slicing pass over a destination. Columns and rows are indexed 0 (left/top), 1 (middle)
// and 2 (right/bottom); cell edges are kept as doubles and turned into GDI+ floats per draw.
class TSlicer {
 public:
  TSlicer(TkxGPDrawTarget& g, TGPBitmap* b, const TkxGPBitmapOptions& o, double s, int vw, int vh,
          const TGPRectF& d, TSliceKind kind)
      : G(g), B(b), O(o), S(s), Kind(kind) {
    Iw = int(b->GetWidth());
    Ih = int(b->GetHeight());
    Kx = Ky = 1;
    if (vw >= 1 && vh >= 1) {
      Kx = double(vw) / Iw;
      Ky = double(vh) / Ih;
    }
    int lm = kind == TSliceKind::Vertical ? 0 : o.LeftMargin();
    int rm = kind == TSliceKind::Vertical ? 0 : o.RightMargin();
    int tm = kind == TSliceKind::Horizontal ? 0 : o.TopMargin();
    int bm = kind == TSliceKind::Horizontal ? 0 : o.BottomMargin();
    int l = kxRound(kxRound(s * lm) * Kx), r = kxRound(kxRound(s * rm) * Kx);
    int t = kxRound(kxRound(s * tm) * Ky), bb = kxRound(kxRound(s * bm) * Ky);
    double x = d.X, y = d.Y, w = d.Width, h = d.Height;
    Dx[0] = x, Dx[1] = x + l, Dx[2] = x + w - r, Dx[3] = x + w;
    Dy[0] = y, Dy[1] = y + t, Dy[2] = y + h - bb, Dy[3] = y + h;
    // Source cells, kept inside the image whatever the margins say.
    Sx[0] = 0, Sx[1] = Clamp(lm, Iw), Sx[2] = Clamp(Iw - rm, Iw), Sx[3] = Iw;
    Sy[0] = 0, Sy[1] = Clamp(tm, Ih), Sy[2] = Clamp(Ih - bm, Ih), Sy[3] = Ih;
    MidW = Iw - lm - rm;
    MidH = Ih - tm - bm;
  }

  void Run() {
    if (!O.DrawOnlyClient()) {
      if (Kind == TSliceKind::Nine) {
        Cell(0, 0);
        Cell(2, 0);
        Cell(0, 2);
        Cell(2, 2);
      }
      bool stretch = Kind != TSliceKind::Nine || O.StretchBorder();
      if (Kind != TSliceKind::Horizontal && Dx[2] - Dx[1] > 0) {
        Edge(1, 0, stretch);
        Edge(1, 2, stretch);
      }
      if (Kind != TSliceKind::Vertical && Dy[2] - Dy[1] > 0) {
        Edge(0, 1, stretch);
        Edge(2, 1, stretch);
      }
    }
    Centre();
  }

 private:
  static int Clamp(int v, int hi) { return v < 0 ? 0 : (v > hi ? hi : v); }

  TGPRectF Src(int c, int r) const { return Span(Sx[c], Sy[r], Sx[c + 1], Sy[r + 1]); }
  TGPRectF Dst(int c, int r) const { return Span(Dx[c], Dy[r], Dx[c + 1], Dy[r + 1]); }
  bool SrcEmpty(int c, int r) const { return Sx[c + 1] <= Sx[c] || Sy[r + 1] <= Sy[r]; }

  // The cell cut back where the destination is too small for the margins: the left column to
  // the destination's right edge, the right column to start after the left margin; the same
  // for rows.
  TGPRectF OverlapClip(int c, int r, bool& cut) const {
    double l = Dx[c], rr = Dx[c + 1], t = Dy[r], b = Dy[r + 1];
    cut = false;
    if (c == 0 && rr > Dx[3]) rr = Dx[3], cut = true;
    if (c == 2 && l < Dx[1]) l = Dx[1], cut = true;
    if (r == 0 && b > Dy[3]) b = Dy[3], cut = true;
    if (r == 2 && t < Dy[1]) t = Dy[1], cut = true;
    return Span(l, t, rr, b);
  }

  // A slice stretched into its cell, clipped where it would overlap another.
  void Cell(int c, int r) {
    if (SrcEmpty(c, r)) return;
    TGPRectF dst = Dst(c, r);
    if (dst.Width <= 0 || dst.Height <= 0) return;
    bool cut;
    TGPRectF clip = OverlapClip(c, r, cut);
    if (cut) {
      if (clip.Width <= 0 || clip.Height <= 0) return;
      G.SetClip(clip);
    }
    G.DrawImage(B, dst, Src(c, r));
    if (cut) G.ResetClip();
  }

  // An edge slice: stretched like a corner, or tiled along the edge inside its cell.
  void Edge(int c, int r, bool stretch) {
    if (stretch) {
      Cell(c, r);
      return;
    }
    if (SrcEmpty(c, r)) return;
    TGPRectF cell = Dst(c, r);
    if (cell.Width <= 0 || cell.Height <= 0) return;
    bool cut;
    TGPRectF clip = OverlapClip(c, r, cut);
    if (clip.Width <= 0 || clip.Height <= 0) return;
    bool horizontal = c == 1;
    int tile = horizontal ? kxRound(S * MidW * Kx) : kxRound(S * MidH * Ky);
    if (tile <= 0) return;
    double length = horizontal ? cell.Width : cell.Height;
    int n = kxRound(length / tile) + 1;
    TGPRectF src = Src(c, r);
    G.SetClip(clip);
    for (int k = 0; k < n; ++k) {
      TGPRectF d = cell;
      if (horizontal) {
        d.X = float(Dx[1] + double(k) * tile);
        d.Width = float(tile);
      } else {
        d.Y = float(Dy[1] + double(k) * tile);
        d.Height = float(tile);
      }
      G.DrawImage(B, d, src);
    }
    G.ResetClip();
  }

  void Centre() {
    TGPRectF dst = O.DrawOnlyClient() ? Span(Dx[0], Dy[0], Dx[3], Dy[3]) : Dst(1, 1);
    if (dst.Height <= 0 || dst.Width <= 0 || O.DrawOnlyBorder() || SrcEmpty(1, 1)) return;
    TGPRectF src = Src(1, 1);
    if (O.Stretch()) {
      G.DrawImage(B, dst, src);
      return;
    }
    // Tiles: image-sized in the tiled directions; a three-slice middle spans the other one.
    int tw = Kind == TSliceKind::Vertical ? kxRound(dst.Width) : kxRound(S * MidW * Kx);
    int th = Kind == TSliceKind::Horizontal ? kxRound(dst.Height) : kxRound(S * MidH * Ky);
    if (tw <= 0 || th <= 0) return;
    int cols = Kind == TSliceKind::Vertical ? 1 : kxRound(double(dst.Width) / tw) + 1;
    int rows = Kind == TSliceKind::Horizontal ? 1 : kxRound(double(dst.Height) / th) + 1;
    G.SetClip(dst);
    for (int i = 0; i < cols; ++i)
      for (int j = 0; j < rows; ++j)
        G.DrawImage(B,
                    {float(dst.X + double(i) * tw), float(dst.Y + double(j) * th),
                     Kind == TSliceKind::Vertical ? dst.Width : float(tw),
                     Kind == TSliceKind::Horizontal ? dst.Height : float(th)},
                    src);
    G.ResetClip();
  }

  TkxGPDrawTarget& G;
  TGPBitmap* B;
  const TkxGPBitmapOptions& O;
  double S;
  TSliceKind Kind;
  int Iw = 0, Ih = 0;
  double Kx = 1, Ky = 1;
  double Dx[4], Dy[4];
  int Sx[4], Sy[4];
  int MidW = 0, MidH = 0;
};

}  // namespace

void GPDrawBitmapWithOptions(TkxGPDrawTarget& G, TGPBitmap* B, const TkxGPBitmapOptions* O,
                             double AScaleFactor, int VW, int VH, const TGPRectF& D) {
  if (!B || !O || B->GetWidth() == 0 || B->GetHeight() == 0) return;
  bool lr = O->LeftMargin() >= 1 && O->RightMargin() >= 1;
  bool tb = O->TopMargin() >= 1 && O->BottomMargin() >= 1;
  TSliceKind kind;
  if (lr && tb)
    kind = TSliceKind::Nine;
  else if (lr)
    kind = TSliceKind::Horizontal;
  else if (tb)
    kind = TSliceKind::Vertical;
  else
    return;
  TSlicer(G, B, *O, AScaleFactor, VW, VH, D, kind).Run();
}

void GPDrawBitmapWithOptions(TGPGraphics* G, TGPBitmap* B, const TkxGPBitmapOptions* O,
                             double AScaleFactor, int VW, int VH, const TGPRectF& D) {
  if (!G) return;
  TkxGPGraphicsTarget target(G);
  GPDrawBitmapWithOptions(target, B, O, AScaleFactor, VW, VH, D);
}

}  // namespace kx
