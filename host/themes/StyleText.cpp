// Styled text and icons: the parts of the style services that work the same for every style,
// from the element's colours.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiText.h"
#include "host/themes/StyleServices.h"
#include "host/themes/format/ElementModel.h"

namespace vcl {
namespace {

// Blurs an 8-bit coverage image in place with three passes of a box filter of radius r each
// way (close to a Gaussian), keeping within the image.
void BlurCoverage(std::vector<std::uint8_t>& a, int w, int h, int r) {
  if (r <= 0) return;
  std::vector<int> line(size_t(std::max(w, h)));
  auto pass = [&](bool horizontal) {
    int n = horizontal ? w : h, lines = horizontal ? h : w;
    for (int l = 0; l < lines; ++l) {
      auto at = [&](int i) -> std::uint8_t& {
        return horizontal ? a[size_t(l) * size_t(w) + size_t(i)] : a[size_t(i) * size_t(w) + size_t(l)];
      };
      for (int i = 0; i < n; ++i) line[size_t(i)] = at(i);
      int sum = 0, span = 2 * r + 1;
      for (int i = -r; i <= r; ++i) sum += (i >= 0 && i < n) ? line[size_t(i)] : 0;
      for (int i = 0; i < n; ++i) {
        at(i) = std::uint8_t(sum / span);
        int add = i + r + 1, sub = i - r;
        if (add < n) sum += line[size_t(add)];
        if (sub >= 0) sum -= line[size_t(sub)];
      }
    }
  };
  for (int k = 0; k < 3; ++k) {
    pass(true);
    pass(false);
  }
}

// The coverage of `text` drawn into r with the DC's font, as an 8-bit image of r grown by pad.
std::vector<std::uint8_t> TextCoverage(HDC dc, StringView text, const TRect& r, UINT format, int pad,
                                       int& w, int& h) {
  w = r.Width() + 2 * pad;
  h = r.Height() + 2 * pad;
  std::vector<std::uint8_t> cov;
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return cov;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIB32(w, h, &bits);
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP oldBmp = SelectObject(mem, bmp);
  HFONT oldFont = SelectObject(mem, AsFont(GetCurrentObject(dc, OBJ_FONT)));
  SetDcDpi(mem, GetDeviceCaps(dc, LOGPIXELSY));
  SetTextColor(mem, RGB(255, 255, 255));
  SetBkMode(mem, TRANSPARENT);
  TRect tr{pad, pad, pad + r.Width(), pad + r.Height()};
  DrawTextW(mem, text, &tr, format & ~UINT(DT_CALCRECT));
  GdiFlush();
  cov.resize(size_t(w) * size_t(h));
  const std::uint32_t* px = static_cast<const std::uint32_t*>(bits);
  for (size_t i = 0; i < cov.size(); ++i) cov[i] = std::uint8_t(px[i] >> 24);
  SelectObject(mem, oldFont);
  SelectObject(mem, oldBmp);
  DeleteDC(mem);
  DeleteObject(bmp);
  return cov;
}

// Paints coverage in a colour at (x, y) of the DC.
void PaintCoverage(HDC dc, const std::vector<std::uint8_t>& cov, int w, int h, int x, int y,
                   COLORREF color, double opacity) {
  if (cov.empty()) return;
  int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, w);
  std::vector<std::uint8_t> rows(size_t(stride) * size_t(h));
  for (int row = 0; row < h; ++row)
    std::memcpy(&rows[size_t(row) * size_t(stride)], &cov[size_t(row) * size_t(w)], size_t(w));
  cairo_surface_t* mask =
      cairo_image_surface_create_for_data(rows.data(), CAIRO_FORMAT_A8, w, h, stride);
  dc->BeginDraw();
  if (cairo_t* cr = dc->Cairo()) {
    cairo_save(cr);
    cairo_set_source_rgba(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                          GetBValue(color) / 255.0, opacity);
    cairo_mask_surface(cr, mask, x, y);
    cairo_restore(cr);
    cairo_surface_flush(cairo_get_target(cr));
  }
  dc->EndDraw();
  cairo_surface_destroy(mask);
}

}  // namespace

bool TCustomStyleServices::DrawText(HDC dc, const TThemedElementDetails& details, StringView text,
                                    TRect& r, UINT format, TColor color, int dpi) const {
  TStyleTextOptions options;
  if (color != clNone) {
    options.Flags = stfTextColor;
    options.TextColor = color;
  }
  return DrawText(dc, details, text, r, format, options, dpi);
}

bool TCustomStyleServices::DrawText(HDC dc, const TThemedElementDetails& details, StringView text,
                                    TRect& r, UINT format, const TStyleTextOptions& options,
                                    int dpi) const {
  if (!dc) return false;
  if (format & DT_CALCRECT) return DrawTextW(dc, text, &r, format) != 0 || text.empty();
  TColor color = clNone;
  if (options.Flags & stfTextColor) color = options.TextColor;
  else if (!GetElementColor(details, ecTextColor, color)) color = TColor(GetTextColor(dc));
  COLORREF rgb = vcl::ColorToRGB(GetSystemColor(color));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = GetTextColor(dc);
  double s = (dpi > 0 ? dpi : GetDeviceCaps(dc, LOGPIXELSY)) / 96.0;
  TPoint org;
  GetViewportOrgEx(dc, &org);

  if ((options.Flags & stfGlowSize) && options.GlowSize > 0) {
    TColor glow = clNone;
    if (!GetElementColor(details, ecGlowColor, glow)) glow = color;
    int radius = std::max(1, int(std::lround(options.GlowSize * s)));
    int w = 0, h = 0;
    auto cov = TextCoverage(dc, text, r, format, 2 * radius, w, h);
    // Thicken before blurring so the glow carries some body.
    for (auto& v : cov) v = std::uint8_t(std::min(255, v * 2));
    BlurCoverage(cov, w, h, std::max(1, radius / 2));
    PaintCoverage(dc, cov, w, h, r.Left - 2 * radius, r.Top - 2 * radius,
                  vcl::ColorToRGB(GetSystemColor(glow)), 1.0);
  }
  if ((options.Flags & stfShadowColor) && options.ShadowColor != clNone) {
    TPoint off = (options.Flags & stfShadowOffset) ? options.ShadowOffset : TPoint(1, 1);
    TRect sr = r.Offsetted(off.X, off.Y);
    SetTextColor(dc, vcl::ColorToRGB(GetSystemColor(options.ShadowColor)));
    DrawTextW(dc, text, &sr, format);
  }
  if ((options.Flags & stfBorderColor) && options.BorderColor != clNone) {
    int b = (options.Flags & stfBorderSize) ? std::max(1, options.BorderSize) : 1;
    SetTextColor(dc, vcl::ColorToRGB(GetSystemColor(options.BorderColor)));
    for (int dy = -b; dy <= b; ++dy)
      for (int dx = -b; dx <= b; ++dx) {
        if (dx == 0 && dy == 0) continue;
        TRect br = r.Offsetted(dx, dy);
        DrawTextW(dc, text, &br, format);
      }
  }
  SetTextColor(dc, rgb);
  int result = DrawTextW(dc, text, &r, format);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  return result != 0 || text.empty();
}

bool TCustomStyleServices::GetTextExtent(HDC dc, const TThemedElementDetails&, StringView text,
                                         UINT format, TRect& extent, const TRect* bounds) const {
  if (!dc) return false;
  extent = bounds ? *bounds : TRect(0, 0, 0, 0);
  if (!bounds) format &= ~UINT(DT_WORDBREAK);
  return DrawTextW(dc, text, &extent, format | DT_CALCRECT) != 0 || text.empty();
}

bool TCustomStyleServices::DrawIcon(HDC dc, const TThemedElementDetails& details, const TRect& r,
                                    HIMAGELIST images, int index, int) const {
  int cx = 0, cy = 0;
  if (!dc || !ImageList_GetIconSize(images, &cx, &cy)) return false;
  if (index < 0 || index >= ImageList_GetImageCount(images)) return false;
  int x = r.Left + (r.Width() - cx) / 2, y = r.Top + (r.Height() - cy) / 2;
  int entry = EntryOfDetails(details);
  bool disabled = entry >= 0 && std::strstr(ElementEntries()[size_t(entry)].State, "disabled");
  if (disabled)
    return ImageList_DrawEx(images, index, dc, x, y, 0, 0, CLR_NONE, CLR_NONE,
                            ILD_TRANSPARENT | ILD_BLEND50);
  return ImageList_Draw(images, index, dc, x, y, ILD_TRANSPARENT);
}

}  // namespace vcl
