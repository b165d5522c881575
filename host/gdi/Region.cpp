// Regions: sets of pixels held as y-x banded rectangles (cairo regions).
#include <algorithm>
#include <cmath>
#include <vector>

#include "host/gdi/GdiInternal.h"

namespace vcl {

namespace {

cairo_rectangle_int_t CairoRect(int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  return {l, t, r - l, b - t};
}

int RegionType(const cairo_region_t* r) {
  int n = cairo_region_num_rectangles(r);
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN FromRects(std::vector<cairo_rectangle_int_t>& rects) {
  auto* rgn = new RegionObject;
  cairo_region_destroy(rgn->Rgn);
  rgn->Rgn = cairo_region_create_rectangles(rects.data(), int(rects.size()));
  return rgn;
}

// Horizontal spans of an ellipse inscribed in (l,t,r,b), one per pixel row, sampled at
// pixel centres.
void EllipseSpans(double l, double t, double r, double b, std::vector<cairo_rectangle_int_t>& out,
                  int clipTop, int clipBottom, int xl, int xr, bool leftHalf, bool rightHalf) {
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  double rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  if (rx <= 0 || ry <= 0) return;
  for (int y = clipTop; y < clipBottom; ++y) {
    double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1.0) continue;
    double hw = rx * std::sqrt(1.0 - dy * dy);
    int x0 = int(std::lround(cx - hw)), x1 = int(std::lround(cx + hw));
    if (!leftHalf) x0 = xl;
    if (!rightHalf) x1 = xr;
    if (x1 > x0) out.push_back({x0, y, x1 - x0, 1});
  }
}

}  // namespace

RegionObject::RegionObject() : GdiObject(GdiKind::Region), Rgn(cairo_region_create()) {}
RegionObject::~RegionObject() { cairo_region_destroy(Rgn); }

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto* rgn = new RegionObject;
  cairo_rectangle_int_t r = CairoRect(left, top, right, bottom);
  if (r.width > 0 && r.height > 0) cairo_region_union_rectangle(rgn->Rgn, &r);
  return rgn;
}

HRGN CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  std::vector<cairo_rectangle_int_t> rects;
  EllipseSpans(left, top, right, bottom, rects, top, bottom, left, right, true, true);
  return FromRects(rects);
}

HRGN CreateEllipticRgnIndirect(const TRect& r) {
  return CreateEllipticRgn(r.Left, r.Top, r.Right, r.Bottom);
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  w = std::min(std::abs(w), right - left);
  h = std::min(std::abs(h), bottom - top);
  if (w <= 1 || h <= 1) return CreateRectRgn(left, top, right, bottom);
  std::vector<cairo_rectangle_int_t> rects;
  int h2 = h / 2;
  // Top and bottom rounded bands: each row spans between the corner ellipses.
  for (int y = top; y < bottom; ++y) {
    bool inTop = y < top + h2, inBottom = y >= bottom - (h - h2);
    if (!inTop && !inBottom) {
      rects.push_back({left, y, right - left, 1});
      continue;
    }
    double ey0 = inTop ? top : bottom - h;
    double cy = ey0 + h / 2.0, ry = h / 2.0, rx = w / 2.0;
    double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1.0) continue;
    double hw = rx * std::sqrt(1.0 - dy * dy);
    int x0 = int(std::lround(left + rx - hw));
    int x1 = int(std::lround(right - rx + hw));
    if (x1 > x0) rects.push_back({x0, y, x1 - x0, 1});
  }
  return FromRects(rects);
}

HRGN CreatePolygonRgn(const TPoint* pts, int count, int fillMode) {
  if (!pts || count < 3) return CreateRectRgn(0, 0, 0, 0);
  int minY = pts[0].Y, maxY = pts[0].Y;
  for (int i = 1; i < count; ++i) {
    minY = std::min(minY, pts[i].Y);
    maxY = std::max(maxY, pts[i].Y);
  }
  std::vector<cairo_rectangle_int_t> rects;
  struct Cross {
    double x;
    int dir;
  };
  std::vector<Cross> xs;
  for (int y = minY; y < maxY; ++y) {
    double sy = y + 0.5;
    xs.clear();
    for (int i = 0; i < count; ++i) {
      TPoint a = pts[i], b = pts[(i + 1) % count];
      if (a.Y == b.Y) continue;
      int dir = b.Y > a.Y ? 1 : -1;
      if (a.Y > b.Y) std::swap(a, b);
      if (sy < a.Y || sy >= b.Y) continue;
      xs.push_back({a.X + (sy - a.Y) * double(b.X - a.X) / double(b.Y - a.Y), dir});
    }
    std::sort(xs.begin(), xs.end(), [](const Cross& p, const Cross& q) { return p.x < q.x; });
    int wind = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
      bool inside;
      if (fillMode == WINDING) {
        wind += xs[i].dir;
        inside = wind != 0;
      } else {
        inside = (i % 2) == 0;
      }
      if (inside && i + 1 < xs.size()) {
        int x0 = int(std::ceil(xs[i].x - 0.5)), x1 = int(std::ceil(xs[i + 1].x - 0.5));
        if (x1 > x0) rects.push_back({x0, y, x1 - x0, 1});
      }
    }
  }
  return FromRects(rects);
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  if (!dst || !src1) return ERROR;
  cairo_region_t* result = cairo_region_copy(src1->Rgn);
  cairo_status_t st = CAIRO_STATUS_SUCCESS;
  switch (mode) {
    case RGN_COPY: break;
    case RGN_AND:
      if (!src2) { cairo_region_destroy(result); return ERROR; }
      st = cairo_region_intersect(result, src2->Rgn);
      break;
    case RGN_OR:
      if (!src2) { cairo_region_destroy(result); return ERROR; }
      st = cairo_region_union(result, src2->Rgn);
      break;
    case RGN_XOR:
      if (!src2) { cairo_region_destroy(result); return ERROR; }
      st = cairo_region_xor(result, src2->Rgn);
      break;
    case RGN_DIFF:
      if (!src2) { cairo_region_destroy(result); return ERROR; }
      st = cairo_region_subtract(result, src2->Rgn);
      break;
    default:
      cairo_region_destroy(result);
      return ERROR;
  }
  if (st != CAIRO_STATUS_SUCCESS) {
    cairo_region_destroy(result);
    return ERROR;
  }
  cairo_region_destroy(dst->Rgn);
  dst->Rgn = result;
  return RegionType(result);
}

bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  if (!rgn) return false;
  cairo_region_destroy(rgn->Rgn);
  cairo_rectangle_int_t r = CairoRect(left, top, right, bottom);
  rgn->Rgn = (r.width > 0 && r.height > 0) ? cairo_region_create_rectangle(&r) : cairo_region_create();
  return true;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  if (!rgn) return ERROR;
  cairo_region_translate(rgn->Rgn, dx, dy);
  return RegionType(rgn->Rgn);
}

int GetRgnBox(HRGN rgn, TRect* box) {
  if (!rgn || !box) return ERROR;
  cairo_rectangle_int_t e;
  cairo_region_get_extents(rgn->Rgn, &e);
  *box = cairo_region_is_empty(rgn->Rgn) ? TRect{} : TRect{e.x, e.y, e.x + e.width, e.y + e.height};
  return RegionType(rgn->Rgn);
}

bool PtInRegion(HRGN rgn, int x, int y) {
  return rgn && cairo_region_contains_point(rgn->Rgn, x, y);
}

bool RectInRegion(HRGN rgn, const TRect* r) {
  if (!rgn || !r) return false;
  cairo_rectangle_int_t c = CairoRect(r->Left, r->Top, r->Right, r->Bottom);
  return cairo_region_contains_rectangle(rgn->Rgn, &c) != CAIRO_REGION_OVERLAP_OUT;
}

bool EqualRgn(HRGN a, HRGN b) { return a && b && cairo_region_equal(a->Rgn, b->Rgn); }

int GetRegionRects(HRGN rgn, TRect* out, int capacity) {
  if (!rgn) return 0;
  int n = cairo_region_num_rectangles(rgn->Rgn);
  for (int i = 0; i < n && i < capacity && out; ++i) {
    cairo_rectangle_int_t c;
    cairo_region_get_rectangle(rgn->Rgn, i, &c);
    out[i] = {c.x, c.y, c.x + c.width, c.y + c.height};
  }
  return n;
}

}  // namespace vcl
