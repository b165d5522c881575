// Drawing the items of TkxGPImageCollection: the placement styles, the choice between slicing
// and placement, and the canvas entry points.
#include <memory>

#include "host/gdi/GdiPlus.h"
#include "host/graphics/Canvas.h"
#include "images/kxGPImageCollection.h"
#include "images/kxGPImageSizeCache.h"

namespace kx {

using namespace vcl;

namespace {

// The rectangles of one item's placement, issued to a draw target.
class TPlacer {
 public:
  TPlacer(TkxGPDrawTarget& g, TGPBitmap* b) : G(g), B(b) {
    Full = {0, 0, float(b->GetWidth()), float(b->GetHeight())};
  }
  void Put(double x, double y, double w, double h) {
    G.DrawImage(B, {float(x), float(y), float(w), float(h)}, Full);
  }

 private:
  TkxGPDrawTarget& G;
  TGPBitmap* B;
  TGPRectF Full;
};

bool IsTopAligned(TkxImageDrawStyle s) {
  return s == idsTopLeft || s == idsTopRight || s == idsTopTile || s == idsTopStretch;
}
bool IsBottomAligned(TkxImageDrawStyle s) {
  return s == idsBottomLeft || s == idsBottomRight || s == idsBottomTile || s == idsBottomStretch;
}
bool IsLeftAligned(TkxImageDrawStyle s) {
  return s == idsTopLeft || s == idsBottomLeft || s == idsLeftTile || s == idsLeftStretch;
}
bool IsRightAligned(TkxImageDrawStyle s) {
  return s == idsTopRight || s == idsBottomRight || s == idsRightTile || s == idsRightStretch;
}

}  // namespace

void TkxGPImageCollection::DrawToTarget(TkxGPDrawTarget& G, const TRect& ARect, int AIndex,
                                        double AScaleFactor) {
  if (!IsIndexAvailable(AIndex) || ARect.IsEmpty()) return;
  TkxGPImageCollectionItem* item = Item(AIndex);
  TGPBitmap* gpb = item->NeedGPB();
  if (!gpb || gpb->GetWidth() == 0 || gpb->GetHeight() == 0) return;
  double s = item->Scaled() ? ItemScale(item, AScaleFactor) : 1;

  const int X = ARect.Left, Y = ARect.Top, Wr = ARect.Width(), Hr = ARect.Height();
  const int Right = X + Wr, Bottom = Y + Hr;
  const int W = GetWidth(AIndex, s), H = GetHeight(AIndex, s);
  const int iw = int(gpb->GetWidth()), ih = int(gpb->GetHeight());
  // Tiles of an opaque image overlap by about one scaled pixel, so no seams show.
  const int ex = item->Transparent() ? 0 : kxRound(double(W) / iw);
  const int ey = item->Transparent() ? 0 : kxRound(double(H) / ih);
  const TkxImageDrawStyle style = item->DrawStyle();
  const TkxGPBitmapOptions* o = item->Options();
  const bool lr = o->LeftMargin() >= 1 && o->RightMargin() >= 1;
  const bool tb = o->TopMargin() >= 1 && o->BottomMargin() >= 1;

  if (lr || tb) {
    TGPRectF d = RectToGPRectF(ARect);
    if (lr && !tb) {
      // Three slices side by side, placed vertically by the style.
      if (IsTopAligned(style))
        d = {float(X), float(Y), float(Wr), float(H)};
      else if (IsBottomAligned(style))
        d = {float(X), float(Bottom - H), float(Wr), float(H)};
      else if (style == idsCenter || style == idsHorzCenterStretch)
        d = {float(X), float(kxRound(Y + (Hr / 2) - H / 2.0)), float(Wr), float(H)};
    } else if (tb && !lr) {
      // Three slices stacked, placed horizontally by the style.
      if (IsLeftAligned(style))
        d = {float(X), float(Y), float(W), float(Hr)};
      else if (IsRightAligned(style))
        d = {float(Right - W), float(Y), float(W), float(Hr)};
      else if (style == idsCenter || style == idsVertCenterStretch)
        d = {float(kxRound(X + (Wr / 2) - W / 2.0)), float(Y), float(W), float(Hr)};
    }
    GPDrawBitmapWithOptions(G, gpb, o, s, item->VirtualWidth(), item->VirtualHeight(), d);
    return;
  }

  TPlacer p(G, gpb);
  const int cx = kxRound(X + Wr / 2.0 - W / 2.0);
  const int cy = kxRound(Y + Hr / 2.0 - H / 2.0);
  const int ox = kxRound(s * item->TileOffsetX());
  const int oy = kxRound(s * item->TileOffsetY());
  // Extra columns and rows of the tiling styles; a step of 0 or less tiles nothing.
  const int stepX = kxRound(s * item->TileOffsetX() + W);
  const int stepY = kxRound(s * item->TileOffsetY() + H);
  const int nx = stepX > 0 ? Wr / stepX : -1;
  const int ny = stepY > 0 ? Hr / stepY : -1;
  const bool prop = item->Proportional();
  // Proportional heights and widths of the edge-stretch styles.
  const int H2 = prop && W > 0 ? kxTrunc(double(H) * Wr / W) : H;
  const int W2 = prop && H > 0 ? kxTrunc(double(W) * Hr / H) : W;
  auto row = [&](double y, double h) {
    for (int i = 0; i <= nx; ++i) p.Put(X + double(i) * W + ox, y, W + ex, h);
  };
  auto column = [&](double x, double w) {
    for (int j = 0; j <= ny; ++j) p.Put(x, Y + double(j) * H + oy, w, H + ey);
  };

  switch (style) {
    case idsTile:
      if (nx < 0 || ny < 0) break;
      for (int i = 0; i <= nx; ++i)
        for (int j = 0; j <= ny; ++j)
          p.Put(X + double(i) * W + ox, Y + double(j) * H + oy, W + ex, H + ey);
      break;
    case idsStretch:
      if (!prop || W <= 0 || H <= 0) {
        p.Put(X, Y, Wr, Hr);
      } else {
        int w2, h2;
        if (W <= H) {
          h2 = Hr;
          w2 = kxTrunc(double(Hr) * W / H);
          if (w2 > Wr) w2 = Wr, h2 = kxTrunc(double(Wr) * H / W);
        } else {
          w2 = Wr;
          h2 = kxTrunc(double(Wr) * H / W);
          if (h2 > Hr) h2 = Hr, w2 = kxTrunc(double(Hr) * W / H);
        }
        p.Put(kxRound(X + Wr / 2.0 - w2 / 2.0), kxRound(Y + Hr / 2.0 - h2 / 2.0), w2, h2);
      }
      break;
    case idsCenter: p.Put(cx, cy, W, H); break;
    case idsTopLeft: p.Put(X, Y, W, H); break;
    case idsTopRight: p.Put(Right - W, Y, W, H); break;
    case idsBottomLeft: p.Put(X, Bottom - H, W, H); break;
    case idsBottomRight: p.Put(Right - W, Bottom - H, W, H); break;
    case idsTopTile: row(Y, H + ey); break;
    case idsLeftTile: column(X, W + ex); break;
    case idsRightTile: column(Right - W, W + ex); break;
    case idsBottomTile: row(Bottom - H, H + ey); break;
    case idsTopStretch: p.Put(X, Y, Wr, H2); break;
    case idsLeftStretch: p.Put(X, Y, W2, Hr); break;
    case idsRightStretch: p.Put(Right - W2, Y, W2, Hr); break;
    case idsBottomStretch: p.Put(X, Bottom - H2, Wr, H2); break;
    case idsHorzStretchTile: row(Y, Hr + ey); break;
    case idsVertStretchTile: column(X, Wr + ex); break;
    case idsHorzCenterStretch: p.Put(X, kxRound(Y + Hr / 2.0 - H2 / 2.0), Wr, H2); break;
    case idsVertCenterStretch: p.Put(kxRound(X + Wr / 2.0 - W2 / 2.0), Y, W2, Hr); break;
    case idsLeftCenter: p.Put(X, cy, W, H); break;
    case idsTopCenter: p.Put(cx, Y, W, H); break;
    case idsRightCenter: p.Put(Right - W, cy, W, H); break;
    case idsBottomCenter: p.Put(cx, Bottom - H, W, H); break;
    case idsHorzCenterTile: row(cy, H + ey); break;
    case idsVertCenterTile: column(cx, W + ex); break;
  }
}

void TkxGPImageCollection::DrawToGraphic(TGPGraphics* G, const TRect& ARect, int AIndex,
                                         double AScaleFactor) {
  if (!G) return;
  TkxGPGraphicsTarget target(G);
  DrawToTarget(target, ARect, AIndex, AScaleFactor);
}

void TkxGPImageCollection::Draw(TCanvas* ACanvas, const TRect& ARect, int AIndex,
                                double AScaleFactor) {
  if (!ACanvas || !IsIndexAvailable(AIndex)) return;
  TkxGPImageCollectionItem* item = Item(AIndex);
  HDC dc = ACanvas->Handle();
  if (!dc) return;
  auto render = [&](HDC target, const TRect& r) {
    TGPGraphics g(target);
    g.SetPixelOffsetMode(item->PixelOffsetModeHighQuality() ? PixelOffsetModeHighQuality
                                                            : PixelOffsetModeDefault);
    g.SetInterpolationMode(item->InterpolationModeHighQuality() ? InterpolationModeHighQuality
                                                                : InterpolationModeDefault);
    DrawToGraphic(&g, r, AIndex, AScaleFactor);
  };
  if (ARect.IsEmpty() || !item->NeedGPB()) return;
  // Tiles are not clipped to ARect, so a tiling placement that is not sliced may paint
  // beyond it: those are drawn directly, everything else through the per-size cache.
  const TkxGPBitmapOptions* o = item->Options();
  const bool sliced = (o->LeftMargin() >= 1 && o->RightMargin() >= 1) || (o->TopMargin() >= 1 && o->BottomMargin() >= 1);
  switch (item->DrawStyle()) {
    case idsTile: case idsTopTile: case idsLeftTile: case idsRightTile: case idsBottomTile:
    case idsHorzStretchTile: case idsVertStretchTile: case idsHorzCenterTile: case idsVertCenterTile:
      if (!sliced) {
        render(dc, ARect);
        return;
      }
      break;
    default: break;
  }
  if (!FSizeCache) FSizeCache = std::make_unique<TkxImageSizeCache>();
  if (!FSizeCache->Draw(dc, ARect, SizeKey(AIndex, ARect, AScaleFactor), render)) render(dc, ARect);
}

TkxImageSizeKey TkxGPImageCollection::SizeKey(int AIndex, const TRect& ARect, double AScaleFactor) const {
  const TkxGPImageCollectionItem* item = Item(AIndex);
  const TkxGPBitmapOptions* o = item->Options();
  TkxImageSizeKey k;
  k.Image = item->ImageGeneration();
  k.Width = ARect.Width();
  k.Height = ARect.Height();
  k.ParityX = ARect.Left & 1;
  k.ParityY = ARect.Top & 1;
  k.Scale = AScaleFactor;
  k.Props = {int(item->DrawStyle()), item->TileOffsetX(), item->TileOffsetY(), item->VirtualWidth(),
             item->VirtualHeight(), item->Proportional(), item->Scaled(), FScaled,
             item->PixelOffsetModeHighQuality(), item->InterpolationModeHighQuality(),
             o->LeftMargin(), o->TopMargin(), o->RightMargin(), o->BottomMargin(), o->Stretch(),
             o->StretchBorder(), o->DrawOnlyBorder(), o->DrawOnlyClient()};
  return k;
}

void TkxGPImageCollection::DrawRect(TCanvas* ACanvas, const TRect& ADestRect, const TRect& ASrcRect,
                                    int AIndex) {
  if (!ACanvas || !IsIndexAvailable(AIndex) || ASrcRect.Width() == 0 || ASrcRect.Height() == 0)
    return;
  TkxGPImageCollectionItem* item = Item(AIndex);
  TGPBitmap* gpb = item->NeedGPB();
  if (!gpb || gpb->GetWidth() == 0 || gpb->GetHeight() == 0) return;
  HDC dc = ACanvas->Handle();
  if (!dc) return;
  TGPGraphics g(dc);
  g.SetSmoothingMode(SmoothingModeHighQuality);
  if (item->InterpolationModeHighQuality()) g.SetInterpolationMode(InterpolationModeHighQuality);
  g.DrawImage(gpb, RectToGPRectF(ADestRect), float(ASrcRect.Left), float(ASrcRect.Top),
              float(ASrcRect.Width()), float(ASrcRect.Height()), UnitPixel);
}

}  // namespace kx
