// Text output and text metrics of the Win32-level API: TextOut/ExtTextOut, tabbed text,
// DrawText, extents and metrics. Text is drawn with cairo OVER in the DC's text colour.
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "host/gdi/TextInternal.h"

namespace vcl {

namespace {

size_t Length(const Char* text, int count) {
  if (!text) return 0;
  if (count >= 0) return size_t(count);
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

FontRef FontOf(HDC dc) { return FontDataFor(dc->Font, dc->Dpi); }

void SetColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void Fill(cairo_t* cr, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// Drawing on a DC's surface through its clipped, translated cairo context.
class Painter {
 public:
  explicit Painter(HDC dc) : FDc(dc) {
    if (dc->BeginDraw()) FCr = dc->Cairo();
    if (FCr) cairo_save(FCr);
  }
  ~Painter() {
    if (FCr) cairo_restore(FCr);
    FDc->EndDraw();
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;
  cairo_t* Cr() const { return FCr; }

 private:
  HDC FDc;
  cairo_t* FCr = nullptr;
};

// Draws a shaped run with its top-left cell corner at (x, top) in the current source colour,
// with the font's underline and strike-out.
void ShowRun(cairo_t* cr, const ShapedRun& run, int x, int top) {
  const FontData& f = *run.Font;
  if (!run.Text.empty()) {
    cairo_move_to(cr, x, top + f.Tm.tmAscent - run.BaselineUnits / double(PANGO_SCALE));
    pango_cairo_show_layout(cr, run.Layout);
  }
  if (f.Underline) Fill(cr, x, top + f.UnderlineTop, run.Width, f.UnderlineHeight);
  if (f.StrikeOut) Fill(cr, x, top + f.StrikeTop, run.Width, f.StrikeHeight);
}

// The cell's top-left corner for a reference point and the DC's text alignment.
TPoint CellOrigin(UINT align, int x, int y, int width, const TEXTMETRICW& tm) {
  if ((align & TA_CENTER) == TA_CENTER) x -= width / 2;
  else if (align & TA_RIGHT) x -= width;
  if ((align & TA_BASELINE) == TA_BASELINE) y -= tm.tmAscent;
  else if (align & TA_BOTTOM) y -= tm.tmHeight;
  return {x, y};
}

void AdvanceCurrentPosition(HDC dc, int width) {
  UINT align = dc->TextAlign;
  if ((align & TA_CENTER) == TA_CENTER) return;
  dc->CurPos.X += (align & TA_RIGHT) ? -width : width;
}

}  // namespace

// ---- Attributes ---------------------------------------------------------------------------------

UINT SetTextAlign(HDC dc, UINT align) {
  if (!dc) return GDI_ERROR;
  UINT old = dc->TextAlign;
  dc->TextAlign = align;
  return old;
}

UINT GetTextAlign(HDC dc) { return dc ? dc->TextAlign : GDI_ERROR; }

int SetTextCharacterExtra(HDC dc, int extra) {
  if (!dc) return int(0x80000000u);
  int old = dc->TextCharExtra;
  dc->TextCharExtra = extra;
  return old;
}

int GetTextCharacterExtra(HDC dc) { return dc ? dc->TextCharExtra : int(0x80000000u); }

// ---- Metrics and extents --------------------------------------------------------------------------

bool GetTextMetricsW(HDC dc, TEXTMETRICW* tm) {
  if (!dc || !tm) return false;
  *tm = FontOf(dc)->Tm;
  return true;
}

int GetTextFaceW(HDC dc, int count, Char* name) {
  if (!dc) return 0;
  const String& face = FontOf(dc)->Face;
  if (!name) return int(face.size()) + 1;
  if (count <= 0) return 0;
  size_t n = std::min(face.size(), size_t(count - 1));
  std::copy_n(face.data(), n, name);
  name[n] = 0;
  return int(n) + 1;
}

bool GetTextExtentPoint32W(HDC dc, const Char* text, int count, TSize* size) {
  if (!dc || !size || (!text && count > 0)) return false;
  FontRef font = FontOf(dc);
  size->cx = TextWidth(font, StringView(text ? text : u"", Length(text, count)), dc->TextCharExtra);
  size->cy = font->Tm.tmHeight;
  return true;
}

bool GetTextExtentExPointW(HDC dc, const Char* text, int count, int maxExtent, int* fit, int* dx,
                           TSize* size) {
  if (!dc || (!text && count > 0)) return false;
  FontRef font = FontOf(dc);
  const size_t n = Length(text, count);
  std::vector<int> adv;
  int total = MeasureText(font, StringView(text ? text : u"", n), false, dc->TextCharExtra, adv);
  int x = 0, fitting = 0;
  for (size_t i = 0; i < n; ++i) {
    x += adv[i];
    if (dx) dx[i] = x;
    if (x <= maxExtent && fitting == int(i)) fitting = int(i) + 1;
  }
  if (fit) *fit = fitting;
  if (size) *size = {total, int(font->Tm.tmHeight)};
  return true;
}

namespace {
String CharString(UINT c) {
  String s;
  if (c >= 0x10000 && c <= 0x10FFFF) {
    s += Char(0xD800 + ((c - 0x10000) >> 10));
    s += Char(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    s += Char(c <= 0xFFFF ? c : 0xFFFD);
  }
  return s;
}
}  // namespace

bool GetCharWidth32W(HDC dc, UINT first, UINT last, int* widths) {
  if (!dc || !widths || last < first || last > 0x10FFFF) return false;
  FontRef font = FontOf(dc);
  for (UINT c = first; c <= last; ++c) widths[c - first] = TextWidth(font, CharString(c));
  return true;
}

bool GetCharABCWidthsW(HDC dc, UINT first, UINT last, ABC* widths) {
  if (!dc || !widths || last < first || last > 0x10FFFF) return false;
  FontRef font = FontOf(dc);
  for (UINT c = first; c <= last; ++c) {
    RunRef run = GetShapedRun(font, CharString(c), false, 0);
    PangoRectangle ink, logical;
    pango_layout_get_extents(run->Layout, &ink, &logical);
    ABC& abc = widths[c - first];
    if (ink.width <= 0) {
      abc = {0, 0, run->Width};
    } else {
      int a = PANGO_PIXELS_FLOOR(ink.x);
      int b = PANGO_PIXELS_CEIL(ink.x + ink.width) - a;
      abc = {a, UINT(b), run->Width - a - b};
    }
  }
  return true;
}

// ---- TextOut --------------------------------------------------------------------------------------

bool ExtTextOutW(HDC dc, int x, int y, UINT options, const TRect* rect, const Char* text,
                 UINT count, const int* dx) {
  if (!dc || (!text && count > 0)) return false;
  const size_t n = text ? count : 0;
  FontRef font = FontOf(dc);
  const bool rtl = (options & ETO_RTLREADING) || (dc->TextAlign & TA_RTLREADING);
  RunRef run;
  if (n) {
    StringView s(text, n);
    run = dx ? MakeRunWithAdvances(font, s, rtl, dx, (options & ETO_PDY) ? 2 : 1)
             : GetShapedRun(font, s, rtl, dc->TextCharExtra);
  }
  const int width = run ? run->Width : 0;
  if (dc->TextAlign & TA_UPDATECP) {
    x = dc->CurPos.X;
    y = dc->CurPos.Y;
    AdvanceCurrentPosition(dc, width);
  }
  Painter p(dc);
  cairo_t* cr = p.Cr();
  if (!cr) return true;
  if ((options & ETO_OPAQUE) && rect) {
    SetColor(cr, dc->BkColor);
    Fill(cr, rect->Left, rect->Top, rect->Width(), rect->Height());
  }
  if (!run) return true;
  if ((options & ETO_CLIPPED) && rect) {
    cairo_rectangle(cr, rect->Left, rect->Top, std::max(0, rect->Width()), std::max(0, rect->Height()));
    cairo_clip(cr);
  }
  const TEXTMETRICW& tm = font->Tm;
  TPoint cell;
  if (font->Escapement) {
    // Rotated about the reference point.
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -font->Escapement * M_PI / 1800.0);
    cell = CellOrigin(dc->TextAlign, 0, 0, width, tm);
  } else {
    cell = CellOrigin(dc->TextAlign, x, y, width, tm);
  }
  if (dc->BkMode == OPAQUE) {
    SetColor(cr, dc->BkColor);
    Fill(cr, cell.X, cell.Y, width, tm.tmHeight);
  }
  SetColor(cr, dc->TextColor);
  ShowRun(cr, *run, cell.X, cell.Y);
  return true;
}

bool TextOutW(HDC dc, int x, int y, const Char* text, int count) {
  return ExtTextOutW(dc, x, y, 0, nullptr, text, UINT(Length(text, count)), nullptr);
}

// ---- Tabbed text ----------------------------------------------------------------------------------

namespace {

// Draws (when dc draws) or measures text with tabs expanded; returns the width.
int TabbedText(HDC dc, int x, int y, StringView text, int tabCount, const int* tabs, int origin,
               bool draw) {
  FontRef font = FontOf(dc);
  const TEXTMETRICW& tm = font->Tm;
  const int interval = 8 * std::max(1, int(tm.tmAveCharWidth));
  // The stop after a position, and whether the text after it ends there (a negative value is a
  // right-aligned stop at its absolute position). One value is the interval of repeated stops.
  struct Stop {
    int X;
    bool Right;
  };
  auto nextStop = [&](int pos) -> Stop {
    int rel = pos - origin;
    if (tabs && tabCount == 1 && tabs[0] != 0) {
      int step = std::abs(tabs[0]);
      return {origin + (std::max(rel, -1) / step + 1) * step, tabs[0] < 0};
    }
    if (tabs && tabCount > 1) {
      for (int i = 0; i < tabCount; ++i)
        if (std::abs(tabs[i]) > rel) return {origin + std::abs(tabs[i]), tabs[i] < 0};
    }
    return {origin + (std::max(rel, -1) / interval + 1) * interval, false};
  };
  struct Segment {
    RunRef Run;
    int X;
  };
  std::vector<Segment> segments;
  int pos = x;
  Stop pending{0, false};  // a right-aligned stop the next piece ends at
  for (size_t a = 0; a <= text.size();) {
    size_t b = a;
    while (b < text.size() && text[b] != u'\t') ++b;
    if (b > a) {
      StringView piece = text.substr(a, b - a);
      RunRef run;
      int w;
      if (draw) {
        run = GetShapedRun(font, piece, false, dc->TextCharExtra);
        w = run->Width;
      } else {
        w = TextWidth(font, piece, dc->TextCharExtra);
      }
      if (pending.Right) pos = std::max(pos, pending.X - w);  // never back over earlier text
      if (draw) segments.push_back({run, pos});
      pos += w;
    }
    pending = {0, false};
    if (b < text.size()) {
      Stop stop = nextStop(pos);
      if (stop.Right)
        pending = stop;  // the position waits for the width of the next piece
      else
        pos = stop.X;
    }
    a = b + 1;
  }
  // A right-aligned stop with nothing after it still ends the text there.
  if (pending.Right) pos = std::max(pos, pending.X);
  const int width = pos - x;
  if (!draw) return width;
  Painter p(dc);
  cairo_t* cr = p.Cr();
  if (!cr) return width;
  TPoint cell = CellOrigin(dc->TextAlign & ~TA_CENTER, x, y, width, tm);
  if (dc->BkMode == OPAQUE) {
    SetColor(cr, dc->BkColor);
    Fill(cr, x, cell.Y, width, tm.tmHeight);
  }
  SetColor(cr, dc->TextColor);
  for (const Segment& s : segments) ShowRun(cr, *s.Run, s.X, cell.Y);
  return width;
}

LONG PackExtent(int width, int height) {
  return LONG(DWORD(WORD(width)) | (DWORD(WORD(height)) << 16));
}

}  // namespace

LONG TabbedTextOutW(HDC dc, int x, int y, const Char* text, int count, int tabCount,
                    const int* tabs, int tabOrigin) {
  if (!dc || (!text && count > 0)) return 0;
  StringView s(text ? text : u"", Length(text, count));
  bool updateCp = dc->TextAlign & TA_UPDATECP;
  if (updateCp) {
    x = dc->CurPos.X;
    y = dc->CurPos.Y;
  }
  int width = TabbedText(dc, x, y, s, tabCount, tabs, tabOrigin, true);
  if (updateCp) dc->CurPos.X += width;
  return PackExtent(width, FontOf(dc)->Tm.tmHeight);
}

DWORD GetTabbedTextExtentW(HDC dc, const Char* text, int count, int tabCount, const int* tabs) {
  if (!dc || (!text && count > 0) || count == 0) return 0;
  StringView s(text ? text : u"", Length(text, count));
  int width = TabbedText(dc, 0, 0, s, tabCount, tabs, 0, false);
  return DWORD(PackExtent(width, FontOf(dc)->Tm.tmHeight));
}

// ---- DrawText -------------------------------------------------------------------------------------

namespace {

int DrawTextImpl(HDC dc, const Char* text, int count, TRect* rect, UINT format,
                 DRAWTEXTPARAMS* params, Char* writable) {
  // No text at all draws and measures nothing.
  if (!dc || !rect || !text) return 0;
  const size_t n = Length(text, count);
  int tabLength = params && params->iTabLength > 0 ? params->iTabLength : 8;
  if (format & DT_TABSTOP) {
    // The tab length sits in bits 8..15. The flags of the low half of that byte (DT_NOCLIP,
    // DT_EXTERNALLEADING, DT_CALCRECT, DT_NOPREFIX) keep their meaning; those of the high half
    // are dropped.
    tabLength = int((format >> 8) & 0xFF);
    if (tabLength == 0) tabLength = 8;
    format &= ~UINT(DT_INTERNAL | DT_EDITCONTROL | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS);
  }
  FontRef font = FontOf(dc);
  const TEXTMETRICW& tm = font->Tm;
  const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  // A count of 0 answers the line height and leaves everything alone; so does a DRAWTEXTPARAMS
  // of the wrong size, answering 0.
  if (count == 0 && text[0]) return lineHeight;
  if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) return 0;
  if (n == 0 && (format & DT_CALCRECT)) {
    // An empty text measures one line high but, on several lines, covers nothing.
    if (params) params->uiLengthDrawn = 0;
    rect->Right = rect->Left;
    rect->Bottom = rect->Top + ((format & DT_SINGLELINE) ? lineHeight : 0);
    return lineHeight;
  }
  const int leftMargin = params ? params->iLeftMargin : 0;
  const int rightMargin = params ? params->iRightMargin : 0;
  const int width = rect->Width() - leftMargin - rightMargin;
  LayoutRef layout = GetTextLayout(font, StringView(text ? text : u"", n), format, width,
                                   tabLength * std::max(1, int(tm.tmAveCharWidth)), dc->TextCharExtra);
  const int height = int(layout->Lines.size()) * lineHeight;
  if (params) params->uiLengthDrawn = UINT(n);

  if (writable && (format & DT_MODIFYSTRING) && !layout->Lines.empty() && layout->Lines[0].Ellipsized) {
    const String& shown = layout->Lines[0].Display;
    size_t m = std::min(shown.size(), n + 3);
    std::copy_n(shown.data(), m, writable);
    writable[m] = 0;
  }

  int y = rect->Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->Top + (rect->Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->Bottom - lineHeight;
  }
  // Placed lower, the text answers the offset of its bottom from the rectangle's top.
  const bool placed = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
  const int result = placed ? y - rect->Top + height : height;

  if (format & DT_CALCRECT) {
    rect->Right = rect->Left + layout->MaxWidth + leftMargin + rightMargin;
    rect->Bottom = rect->Top + height;
    return placed ? (result ? result : 1) : height;
  }
  if (n == 0) return result;

  Painter p(dc);
  cairo_t* cr = p.Cr();
  if (!cr) return result;
  const bool clip = !(format & DT_NOCLIP);
  if (clip) {
    cairo_rectangle(cr, rect->Left, rect->Top, std::max(0, rect->Width()), std::max(0, rect->Height()));
    cairo_clip(cr);
  }
  const bool showText = !(format & DT_PREFIXONLY);
  const bool showPrefix = !(format & DT_HIDEPREFIX);
  const bool wholeLinesOnly = (format & DT_EDITCONTROL) && !(format & DT_SINGLELINE);
  for (size_t i = 0; i < layout->Lines.size(); ++i) {
    const TextLine& line = layout->Lines[i];
    const int top = y + int(i) * lineHeight;
    if (wholeLinesOnly && i > 0 && top + lineHeight > rect->Bottom) {
      if (params) params->uiLengthDrawn = UINT(layout->Lines[i - 1].SourceEnd);
      break;
    }
    if (clip && (top >= rect->Bottom || top + lineHeight <= rect->Top)) continue;
    int x = rect->Left + leftMargin;
    if (format & DT_CENTER) x += (width - line.Width) / 2;
    else if (format & DT_RIGHT) x = rect->Right - rightMargin - line.Width;
    if (dc->BkMode == OPAQUE && showText) {
      SetColor(cr, dc->BkColor);
      Fill(cr, x, top, line.Width, tm.tmHeight);
    }
    SetColor(cr, dc->TextColor);
    for (const TextPiece& piece : line.Pieces) {
      if (!piece.Run) piece.Run = GetShapedRun(font, piece.Text, layout->Rtl, layout->Extra);
      const ShapedRun& run = *piece.Run;
      const int px = x + piece.X;
      if (showText) ShowRun(cr, run, px, top);
      if (showPrefix)
        for (int u : piece.Underlines) {
          auto [x0, x1] = run.UnitRange(u);
          Fill(cr, px + x0, top + font->UnderlineTop, x1 - x0, font->UnderlineHeight);
        }
    }
  }
  return result;
}

}  // namespace

int DrawTextW(HDC dc, const Char* text, int count, TRect* rect, UINT format) {
  return DrawTextImpl(dc, text, count, rect, format, nullptr, nullptr);
}

int DrawTextW(HDC dc, StringView text, TRect* rect, UINT format) {
  return DrawTextImpl(dc, text.data(), int(text.size()), rect, format, nullptr, nullptr);
}

int DrawTextExW(HDC dc, const Char* text, int count, TRect* rect, UINT format,
                DRAWTEXTPARAMS* params) {
  return DrawTextImpl(dc, text, count, rect, format, params, nullptr);
}

int DrawTextExW(HDC dc, Char* text, int count, TRect* rect, UINT format, DRAWTEXTPARAMS* params) {
  return DrawTextImpl(dc, text, count, rect, format, params, text);
}

}  // namespace vcl
