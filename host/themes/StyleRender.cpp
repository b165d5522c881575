#include "host/themes/StyleRender.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vcl {
namespace {

void SetSource(cairo_t* cr, TArgb c) {
  cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                        AlphaOf(c) / 255.0);
}

bool Visible(TArgb c) { return AlphaOf(c) != 0; }

struct TBox {
  double X, Y, W, H;
  TBox Deflated(double d) const { return {X + d, Y + d, W - 2 * d, H - 2 * d}; }
  bool Empty() const { return W <= 0 || H <= 0; }
};

// The outline of a shape in a box, with corner radii reduced by `shrink` (for inner paths).
void ShapePath(cairo_t* cr, TShapeKind shape, const TBox& b, const double radii[4], double shrink) {
  cairo_new_path(cr);
  switch (shape) {
    case TShapeKind::Ellipse: {
      cairo_save(cr);
      cairo_translate(cr, b.X + b.W / 2, b.Y + b.H / 2);
      cairo_scale(cr, b.W / 2, b.H / 2);
      cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
      cairo_restore(cr);
      return;
    }
    case TShapeKind::ThumbUp:
    case TShapeKind::ThumbDown:
    case TShapeKind::ThumbLeft:
    case TShapeKind::ThumbRight: {
      // A bar ending in a point. Outline in (along, across) terms, along measured from the
      // flat base towards the tip, then mapped onto the box for the tip's direction.
      const bool vertical = shape == TShapeKind::ThumbUp || shape == TShapeKind::ThumbDown;
      const bool forward = shape == TShapeKind::ThumbDown || shape == TShapeKind::ThumbRight;
      const double tip = std::min(b.W / 2, b.H / 2);
      const double len = vertical ? b.H : b.W, wid = vertical ? b.W : b.H;
      const double outline[5][2] = {{0, 0}, {0, wid}, {len - tip, wid}, {len, wid / 2}, {len - tip, 0}};
      for (const auto& pt : outline) {
        const double along = forward ? pt[0] : len - pt[0];
        const double x = vertical ? b.X + pt[1] : b.X + along;
        const double y = vertical ? b.Y + along : b.Y + pt[1];
        cairo_line_to(cr, x, y);  // the first call starts the path (no current point)
      }
      cairo_close_path(cr);
      return;
    }
    default:
      break;
  }
  double r[4];
  double limit = std::min(b.W, b.H) / 2;
  for (int i = 0; i < 4; ++i) r[i] = std::clamp(radii[i] - shrink, 0.0, std::max(0.0, limit));
  if (r[0] == 0 && r[1] == 0 && r[2] == 0 && r[3] == 0) {
    cairo_rectangle(cr, b.X, b.Y, b.W, b.H);
    return;
  }
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, b.X + b.W - r[1], b.Y + r[1], r[1], -pi / 2, 0);
  cairo_arc(cr, b.X + b.W - r[2], b.Y + b.H - r[2], r[2], 0, pi / 2);
  cairo_arc(cr, b.X + r[3], b.Y + b.H - r[3], r[3], pi / 2, pi);
  cairo_arc(cr, b.X + r[0], b.Y + r[0], r[0], pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void SetPaint(cairo_t* cr, const TPaint& p, const TBox& b) {
  if (p.Kind == TFillKind::Solid) {
    SetSource(cr, p.Colors[0]);
    return;
  }
  double a = p.Angle * std::numbers::pi / 180.0;
  double dx = std::cos(a), dy = std::sin(a);
  double half = std::abs(b.W / 2 * dx) + std::abs(b.H / 2 * dy);
  double cx = b.X + b.W / 2, cy = b.Y + b.H / 2;
  cairo_pattern_t* pat = cairo_pattern_create_linear(cx - dx * half, cy - dy * half, cx + dx * half, cy + dy * half);
  for (int i = 0; i < p.StopCount; ++i) {
    TArgb c = p.Colors[i];
    cairo_pattern_add_color_stop_rgba(pat, p.Offsets[i] / 100.0, ((c >> 16) & 0xFF) / 255.0,
                                      ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, AlphaOf(c) / 255.0);
  }
  cairo_set_source(cr, pat);
  cairo_pattern_destroy(pat);
}

// Centre of a stroke of width w along a pixel edge at integer coordinate v: crisp when w is whole.
double Snap(double v, double w) {
  double iw = std::round(w);
  return std::round(v) + (int(iw) % 2 ? 0.5 : 0.0);
}

void PaintGlyph(cairo_t* cr, const TRecipe& rc, const TBox& area, double s) {
  TArgb color = Visible(rc.GlyphColor) ? rc.GlyphColor : rc.Text;
  if (!Visible(color) || area.Empty()) return;
  double g = rc.GlyphSize > 0 ? std::max(1.0, std::round(rc.GlyphSize * s)) : std::floor(std::min(area.W, area.H) * 0.5);
  if (g < 1) return;
  double w = rc.GlyphWeight > 0 ? std::max(1.0, std::round(rc.GlyphWeight * s)) : std::max(1.0, std::round(g / 8));
  // Centre on the pixel grid: whole coordinates for even sizes, half for odd ones.
  double cx = area.X + std::floor(area.W / 2) + rc.GlyphOffset[0] * s;
  double cy = area.Y + std::floor(area.H / 2) + rc.GlyphOffset[1] * s;
  cx = std::round(cx);
  cy = std::round(cy);
  double h = g / 2;
  SetSource(cr, color);
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_new_path(cr);
  auto line = [&](double x0, double y0, double x1, double y1) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
  };
  // Box of the glyph, whole-pixel aligned.
  double gx = cx - std::floor(g / 2), gy = cy - std::floor(g / 2);
  switch (rc.Glyph) {
    case TGlyphKind::None:
      return;
    case TGlyphKind::Check:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_move_to(cr, gx + g * 0.10, gy + g * 0.52);
      cairo_line_to(cr, gx + g * 0.38, gy + g * 0.80);
      cairo_line_to(cr, gx + g * 0.92, gy + g * 0.22);
      cairo_stroke(cr);
      return;
    case TGlyphKind::Mixed:
      cairo_rectangle(cr, gx, gy, g, g);
      cairo_fill(cr);
      return;
    case TGlyphKind::Dot:
      cairo_arc(cr, gx + g / 2, gy + g / 2, g / 2, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      return;
    case TGlyphKind::ArrowUp:
    case TGlyphKind::ArrowDown:
    case TGlyphKind::ArrowLeft:
    case TGlyphKind::ArrowRight: {
      // A filled triangle g wide and ceil(g / 2) deep, its base on a pixel edge.
      double depth = std::ceil(g / 2);
      double half = g / 2;
      double bx = gx + g / 2, by = gy + g / 2;
      switch (rc.Glyph) {
        case TGlyphKind::ArrowDown: {
          double top = std::round(by - depth / 2);
          cairo_move_to(cr, bx - half, top);
          cairo_line_to(cr, bx + half, top);
          cairo_line_to(cr, bx, top + depth);
          break;
        }
        case TGlyphKind::ArrowUp: {
          double bottom = std::round(by + depth / 2);
          cairo_move_to(cr, bx - half, bottom);
          cairo_line_to(cr, bx + half, bottom);
          cairo_line_to(cr, bx, bottom - depth);
          break;
        }
        case TGlyphKind::ArrowRight: {
          double left = std::round(bx - depth / 2);
          cairo_move_to(cr, left, by - half);
          cairo_line_to(cr, left, by + half);
          cairo_line_to(cr, left + depth, by);
          break;
        }
        default: {
          double right = std::round(bx + depth / 2);
          cairo_move_to(cr, right, by - half);
          cairo_line_to(cr, right, by + half);
          cairo_line_to(cr, right - depth, by);
          break;
        }
      }
      cairo_close_path(cr);
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::ChevronUp:
    case TGlyphKind::ChevronDown:
    case TGlyphKind::ChevronLeft:
    case TGlyphKind::ChevronRight: {
      double q = g / 4;
      double bx = gx + g / 2, by = gy + g / 2;
      switch (rc.Glyph) {
        case TGlyphKind::ChevronDown:
          cairo_move_to(cr, bx - h, by - q);
          cairo_line_to(cr, bx, by + q);
          cairo_line_to(cr, bx + h, by - q);
          break;
        case TGlyphKind::ChevronUp:
          cairo_move_to(cr, bx - h, by + q);
          cairo_line_to(cr, bx, by - q);
          cairo_line_to(cr, bx + h, by + q);
          break;
        case TGlyphKind::ChevronRight:
          cairo_move_to(cr, bx - q, by - h);
          cairo_line_to(cr, bx + q, by);
          cairo_line_to(cr, bx - q, by + h);
          break;
        default:
          cairo_move_to(cr, bx + q, by - h);
          cairo_line_to(cr, bx - q, by);
          cairo_line_to(cr, bx + q, by + h);
          break;
      }
      cairo_stroke(cr);
      return;
    }
    case TGlyphKind::Close:
      line(gx, gy, gx + g, gy + g);
      line(gx + g, gy, gx, gy + g);
      cairo_stroke(cr);
      return;
    case TGlyphKind::Minimize: {
      double y = Snap(gy + g / 2, w);
      line(gx, y, gx + g, y);
      cairo_stroke(cr);
      return;
    }
    case TGlyphKind::Maximize:
      // Pixel box [gx, gx + g): the stroke runs w / 2 inside it, on whole pixels.
      cairo_rectangle(cr, gx + w / 2, gy + w / 2, g - w, g - w);
      cairo_stroke(cr);
      return;
    case TGlyphKind::Restore: {
      // A front window at the bottom left and the edges of one behind it at the top right.
      double o = std::max(2.0, std::round(g * 0.25));
      double side = g - o;
      cairo_rectangle(cr, gx + w / 2, gy + o + w / 2, side - w, side - w);
      cairo_move_to(cr, gx + o + w / 2, gy + o);
      cairo_line_to(cr, gx + o + w / 2, gy + w / 2);
      cairo_line_to(cr, gx + g - w / 2, gy + w / 2);
      cairo_line_to(cr, gx + g - w / 2, gy + side - w / 2);
      cairo_line_to(cr, gx + side, gy + side - w / 2);
      cairo_stroke(cr);
      return;
    }
    case TGlyphKind::Help: {
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      double r = g * 0.28;
      double ax = gx + g / 2, ay = gy + g * 0.32;
      cairo_arc(cr, ax, ay, r, std::numbers::pi * 1.05, std::numbers::pi * 2.35);
      cairo_line_to(cr, ax, gy + g * 0.68);
      cairo_stroke(cr);
      cairo_arc(cr, ax, gy + g * 0.92, std::max(w * 0.6, 0.8), 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::Plus:
    case TGlyphKind::Minus: {
      double y = Snap(gy + g / 2, w);
      line(gx, y, gx + g, y);
      if (rc.Glyph == TGlyphKind::Plus) {
        double x = Snap(gx + g / 2, w);
        line(x, gy, x, gy + g);
      }
      cairo_stroke(cr);
      return;
    }
    case TGlyphKind::SizeGrip: {
      // Six dots in a triangle at the bottom-right corner of the area.
      double d = std::max(1.0, std::round(2 * s));
      double step = d * 2;
      double right = area.X + area.W - d, bottom = area.Y + area.H - d;
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
          if (row + col >= 2)
            cairo_rectangle(cr, std::round(right - (2 - col) * step - d), std::round(bottom - (2 - row) * step - d), d, d);
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::GripperHorz:
    case TGlyphKind::GripperVert: {
      // A dotted line along the area's axis (glyph-size long when given, else the whole
      // extent): square dots of the weight, one dot apart, centred.
      bool vert = rc.Glyph == TGlyphKind::GripperVert;
      double d = w;
      double len = rc.GlyphSize > 0 ? g : (vert ? area.H : area.W);
      int count = std::max(1, int((len + d) / (2 * d)));
      double span = count * 2 * d - d;
      double start = std::round((vert ? cy : cx) - span / 2);
      double across = std::round((vert ? cx : cy) - d / 2);
      for (int i = 0; i < count; ++i) {
        double along = start + i * 2 * d;
        if (vert) cairo_rectangle(cr, across, along, d, d);
        else cairo_rectangle(cr, along, across, d, d);
      }
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::Window: {
      // A small window: outline with a solid title bar.
      double top = gy + std::round(g * 0.1), height = std::round(g * 0.8);
      cairo_rectangle(cr, gx + w / 2, top + w / 2, g - w, height - w);
      cairo_stroke(cr);
      cairo_rectangle(cr, gx, top, g, std::max(w, std::round(g * 0.2)));
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::Line:
    case TGlyphKind::TicksVert: {
      double y = std::round(cy - w / 2);
      double len = rc.GlyphSize > 0 ? g : area.W;
      cairo_rectangle(cr, std::round(cx - len / 2), y, std::round(len), w);
      cairo_fill(cr);
      return;
    }
    case TGlyphKind::LineVert:
    case TGlyphKind::Ticks: {
      double x = std::round(cx - w / 2);
      double len = rc.GlyphSize > 0 ? g : area.H;
      cairo_rectangle(cr, x, std::round(cy - len / 2), w, std::round(len));
      cairo_fill(cr);
      return;
    }
  }
}

}  // namespace

int ScaleLength(double len, double scale) {
  if (len <= 0) return 0;
  return std::max(1, int(std::lround(len * scale)));
}

void PaintRecipe(cairo_t* cr, const TRecipe& rc, const TRect& r, double s) {
  if (r.IsEmpty()) return;
  TRect ir{r.Left + int(std::lround(rc.Inset[0] * s)), r.Top + int(std::lround(rc.Inset[1] * s)),
           r.Right - int(std::lround(rc.Inset[2] * s)), r.Bottom - int(std::lround(rc.Inset[3] * s))};
  if (ir.IsEmpty()) return;
  TBox box{double(ir.Left), double(ir.Top), double(ir.Width()), double(ir.Height())};
  double bw = (Visible(rc.BorderColor) && rc.BorderWidth > 0) ? ScaleLength(rc.BorderWidth, s) : 0;
  bw = std::min(bw, std::floor(std::min(box.W, box.H) / 2));
  double radii[4];
  for (int i = 0; i < 4; ++i) radii[i] = std::round(rc.Radius[i] * s);
  cairo_save(cr);
  // Nothing leaves the element's rectangle (miter joins of pointed shapes would).
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  cairo_clip(cr);
  bool hasFill = rc.Fill.Kind != TFillKind::None;
  if (rc.Shape != TShapeKind::None) {
    if (rc.Sides != SideAll && rc.Shape == TShapeKind::Rect) {
      // Separate sides: a plain rectangle with a strip per side.
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
      if (hasFill) {
        SetPaint(cr, rc.Fill, box);
        cairo_rectangle(cr, box.X, box.Y, box.W, box.H);
        cairo_fill(cr);
      }
      if (bw > 0) {
        SetSource(cr, rc.BorderColor);
        if (rc.Sides & SideLeft) cairo_rectangle(cr, box.X, box.Y, bw, box.H);
        if (rc.Sides & SideRight) cairo_rectangle(cr, box.X + box.W - bw, box.Y, bw, box.H);
        if (rc.Sides & SideTop) cairo_rectangle(cr, box.X, box.Y, box.W, bw);
        if (rc.Sides & SideBottom) cairo_rectangle(cr, box.X, box.Y + box.H - bw, box.W, bw);
        cairo_fill(cr);
      }
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    } else {
      bool square = rc.Shape == TShapeKind::Rect && radii[0] == 0 && radii[1] == 0 && radii[2] == 0 && radii[3] == 0;
      if (square) cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
      if (bw > 0) {
        TBox mid = box.Deflated(bw / 2);
        if (hasFill) {
          ShapePath(cr, rc.Shape, mid, radii, bw / 2);
          SetPaint(cr, rc.Fill, box);
          cairo_fill(cr);
        }
        ShapePath(cr, rc.Shape, mid, radii, bw / 2);
        SetSource(cr, rc.BorderColor);
        cairo_set_line_width(cr, bw);
        cairo_set_line_join(cr, rc.Shape >= TShapeKind::ThumbUp ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER);
        cairo_stroke(cr);
      } else if (hasFill) {
        ShapePath(cr, rc.Shape, box, radii, 0);
        SetPaint(cr, rc.Fill, box);
        cairo_fill(cr);
      }
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
      // Inner lines: glow (fading inwards) and highlight, clipped to the inside of the border.
      bool glow = rc.HasProp(rpGlow) && Visible(rc.Glow) && rc.GlowWidth > 0;
      bool hilite = rc.HasProp(rpHighlight) && Visible(rc.Highlight);
      if (glow || hilite) {
        TBox inner = box.Deflated(bw);
        if (!inner.Empty()) {
          cairo_save(cr);
          ShapePath(cr, rc.Shape, inner, radii, bw);
          cairo_clip(cr);
          if (glow) {
            double gw = std::max(1.0, rc.GlowWidth * s);
            int n = int(std::ceil(gw));
            cairo_set_line_width(cr, 1);
            for (int i = 0; i < n; ++i) {
              double f = 1.0 - double(i) / gw;
              TArgb c = (rc.Glow & 0x00FFFFFFu) | (TArgb(std::lround(AlphaOf(rc.Glow) * f * f)) << 24);
              ShapePath(cr, rc.Shape, inner.Deflated(i + 0.5), radii, bw + i + 0.5);
              SetSource(cr, c);
              cairo_stroke(cr);
            }
          }
          if (hilite) {
            SetSource(cr, rc.Highlight);
            cairo_set_line_width(cr, 1);
            switch (rc.HighlightMode) {
              case THighlightMode::All:
                ShapePath(cr, rc.Shape, inner.Deflated(0.5), radii, bw + 0.5);
                cairo_stroke(cr);
                break;
              case THighlightMode::Top:
                cairo_rectangle(cr, inner.X, inner.Y, inner.W, 1);
                cairo_fill(cr);
                break;
              case THighlightMode::Bottom:
                cairo_rectangle(cr, inner.X, inner.Y + inner.H - 1, inner.W, 1);
                cairo_fill(cr);
                break;
            }
          }
          cairo_restore(cr);
        }
      }
    }
  }
  if (rc.Glyph != TGlyphKind::None) {
    PaintGlyph(cr, rc, box.Deflated(bw), s);
  }
  cairo_restore(cr);
}

bool RecipeHasTransparentParts(const TRecipe& rc) {
  if (rc.Shape != TShapeKind::Rect) return true;
  if (rc.Inset[0] > 0 || rc.Inset[1] > 0 || rc.Inset[2] > 0 || rc.Inset[3] > 0) return true;
  bool round = rc.Sides == SideAll && (rc.Radius[0] > 0 || rc.Radius[1] > 0 || rc.Radius[2] > 0 || rc.Radius[3] > 0);
  if (round) return true;
  if (rc.Fill.Kind == TFillKind::None) return true;
  for (int i = 0; i < std::max<int>(1, rc.Fill.StopCount); ++i)
    if (AlphaOf(rc.Fill.Colors[i]) < 255) return true;
  return false;
}

std::vector<TRect> RecipeRegionRects(const TRecipe& rc, const TRect& r, double s) {
  std::vector<TRect> out;
  if (r.IsEmpty()) return out;
  TRect ir{r.Left + int(std::lround(rc.Inset[0] * s)), r.Top + int(std::lround(rc.Inset[1] * s)),
           r.Right - int(std::lround(rc.Inset[2] * s)), r.Bottom - int(std::lround(rc.Inset[3] * s))};
  if (ir.IsEmpty() || rc.Shape == TShapeKind::None) return out;
  // Rasterise the outline into an A8 mask and collect, per row, the run of covered pixels.
  int w = ir.Width(), h = ir.Height();
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(mask);
  double radii[4];
  for (int i = 0; i < 4; ++i) radii[i] = std::round(rc.Radius[i] * s);
  if (rc.Sides != SideAll && rc.Shape == TShapeKind::Rect) radii[0] = radii[1] = radii[2] = radii[3] = 0;
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  ShapePath(cr, rc.Shape, TBox{0, 0, double(w), double(h)}, radii, 0);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(mask);
  const unsigned char* data = cairo_image_surface_get_data(mask);
  int stride = cairo_image_surface_get_stride(mask);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = data + size_t(y) * size_t(stride);
    int x = 0;
    while (x < w) {
      while (x < w && row[x] < 128) ++x;
      int start = x;
      while (x < w && row[x] >= 128) ++x;
      if (x > start) {
        TRect band{ir.Left + start, ir.Top + y, ir.Left + x, ir.Top + y + 1};
        if (!out.empty() && out.back().Left == band.Left && out.back().Right == band.Right &&
            out.back().Bottom == band.Top)
          out.back().Bottom = band.Bottom;
        else
          out.push_back(band);
      }
    }
  }
  cairo_surface_destroy(mask);
  return out;
}

}  // namespace vcl
