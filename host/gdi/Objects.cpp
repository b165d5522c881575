// Pens, brushes, stock objects and the generic object calls.
#include <cstring>

#include "host/gdi/GdiInternal.h"

namespace vcl {

namespace {

template <class T>
T* MakeStock(T* obj) {
  obj->Stock = true;
  return obj;
}

struct StockObjects {
  HGDIOBJ Items[20] = {};
  BrushObject* SysBrushes[COLOR_COUNT] = {};

  StockObjects() {
    auto brush = [](COLORREF c, UINT style = BS_SOLID) {
      auto* b = new BrushObject;
      b->Color = c;
      b->Style = style;
      return MakeStock(b);
    };
    auto pen = [](COLORREF c, UINT style = PS_SOLID) {
      auto* p = new PenObject;
      p->Color = c;
      p->Style = style;
      return MakeStock(p);
    };
    Items[WHITE_BRUSH] = brush(RGB(255, 255, 255));
    Items[LTGRAY_BRUSH] = brush(RGB(192, 192, 192));
    Items[GRAY_BRUSH] = brush(RGB(128, 128, 128));
    Items[DKGRAY_BRUSH] = brush(RGB(64, 64, 64));
    Items[BLACK_BRUSH] = brush(RGB(0, 0, 0));
    Items[NULL_BRUSH] = brush(0, BS_NULL);
    Items[WHITE_PEN] = pen(RGB(255, 255, 255));
    Items[BLACK_PEN] = pen(0);
    Items[NULL_PEN] = pen(0, PS_NULL);
    auto* dcBrush = brush(RGB(255, 255, 255));
    dcBrush->UsesDcColor = true;
    Items[DC_BRUSH] = dcBrush;
    auto* dcPen = pen(0);
    dcPen->UsesDcColor = true;
    Items[DC_PEN] = dcPen;
    for (int i = 0; i < COLOR_COUNT; ++i) {
      SysBrushes[i] = brush(0);
      SysBrushes[i]->SysColorIndex = i;
    }
  }
  // Stock objects live for the whole process.
};

StockObjects& Stock() {
  static StockObjects* s = new StockObjects;
  return *s;
}

}  // namespace

// The font stock objects come from the text code.
HFONT StockFont(int index);

BrushObject::~BrushObject() { delete Pattern; }

HGDIOBJ GetStockObject(int index) {
  switch (index) {
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case DEFAULT_GUI_FONT:
      return StockFont(index);
    default:
      break;
  }
  if (index < 0 || index >= 20) return nullptr;
  return Stock().Items[index];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= COLOR_COUNT) return nullptr;
  return Stock().SysBrushes[index];
}

PenObject* AsPen(HGDIOBJ h) { return h && h->Kind == GdiKind::Pen ? static_cast<PenObject*>(h) : nullptr; }
BrushObject* AsBrush(HGDIOBJ h) { return h && h->Kind == GdiKind::Brush ? static_cast<BrushObject*>(h) : nullptr; }
FontObject* AsFont(HGDIOBJ h) { return h && h->Kind == GdiKind::Font ? static_cast<FontObject*>(h) : nullptr; }
BitmapObject* AsBitmap(HGDIOBJ h) { return h && h->Kind == GdiKind::Bitmap ? static_cast<BitmapObject*>(h) : nullptr; }
RegionObject* AsRegion(HGDIOBJ h) { return h && h->Kind == GdiKind::Region ? static_cast<RegionObject*>(h) : nullptr; }

HGDIOBJ AsGdiObj(HPEN h) { return h; }
HGDIOBJ AsGdiObj(HBRUSH h) { return h; }
HGDIOBJ AsGdiObj(HFONT h) { return h; }
HGDIOBJ AsGdiObj(HBITMAP h) { return h; }
HGDIOBJ AsGdiObj(HRGN h) { return h; }

DWORD GetObjectType(HGDIOBJ obj) {
  if (!obj) return 0;
  switch (obj->Kind) {
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    case GdiKind::Region: return OBJ_REGION;
  }
  return 0;
}

bool DeleteObject(HGDIOBJ obj) {
  if (!obj) return false;
  if (obj->Stock) return true;
  if (obj->SelectCount > 0) return false;
  delete obj;
  return true;
}
bool DeleteObject(HPEN obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HBRUSH obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HFONT obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HBITMAP obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HRGN obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }

HPEN CreatePen(int style, int width, COLORREF color) {
  auto* p = new PenObject;
  p->Style = UINT(style);
  p->Width = width < 0 ? 1 : width;
  p->Color = color & 0xFFFFFF;
  return p;
}

HPEN CreatePenIndirect(const LOGPEN& lp) {
  return CreatePen(int(lp.lopnStyle), lp.lopnWidth.X, lp.lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new BrushObject;
  b->Color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = new BrushObject;
  b->Style = BS_HATCHED;
  b->Hatch = hatch;
  b->Color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  if (!bitmap || bitmap->Width <= 0 || bitmap->Height <= 0) return nullptr;
  cairo_surface_t* src = BitmapSurface(bitmap);
  if (!src) return nullptr;
  HBITMAP copy = CreateDIB32(bitmap->Width, bitmap->Height);
  if (!copy) return nullptr;
  cairo_surface_flush(src);
  int ss = cairo_image_surface_get_stride(src);
  const BYTE* sp = cairo_image_surface_get_data(src);
  for (int y = 0; y < bitmap->Height; ++y)
    std::memcpy(copy->Bits + size_t(y) * copy->Stride, sp + size_t(y) * ss, size_t(bitmap->Width) * 4);
  auto* b = new BrushObject;
  b->Style = BS_PATTERN;
  b->Pattern = copy;
  return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& lb) {
  switch (lb.lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb.lbColor);
    case BS_NULL: {
      auto* b = new BrushObject;
      b->Style = BS_NULL;
      return b;
    }
    case BS_HATCHED: return CreateHatchBrush(int(lb.lbHatch), lb.lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb.lbHatch));
    default: return nullptr;
  }
}

int GetObject(HGDIOBJ obj, int size, void* out) {
  if (!obj) return 0;
  switch (obj->Kind) {
    case GdiKind::Pen: {
      if (!out) return sizeof(LOGPEN);
      if (size < int(sizeof(LOGPEN))) return 0;
      auto* p = static_cast<PenObject*>(obj);
      LOGPEN lp;
      lp.lopnStyle = p->Style;
      lp.lopnWidth = {p->Width, 0};
      lp.lopnColor = p->Color;
      std::memcpy(out, &lp, sizeof lp);
      return sizeof lp;
    }
    case GdiKind::Brush: {
      if (!out) return sizeof(LOGBRUSH);
      if (size < int(sizeof(LOGBRUSH))) return 0;
      auto* b = static_cast<BrushObject*>(obj);
      LOGBRUSH lb;
      lb.lbStyle = b->Style;
      lb.lbColor = b->SysColorIndex >= 0 ? GetSysColor(b->SysColorIndex) : b->Color;
      lb.lbHatch = std::uintptr_t(b->Hatch);
      std::memcpy(out, &lb, sizeof lb);
      return sizeof lb;
    }
    case GdiKind::Font: {
      if (!out) return sizeof(LOGFONTW);
      if (size < int(sizeof(LOGFONTW))) return 0;
      std::memcpy(out, &static_cast<FontObject*>(obj)->Log, sizeof(LOGFONTW));
      return sizeof(LOGFONTW);
    }
    case GdiKind::Bitmap: {
      auto* b = static_cast<BitmapObject*>(obj);
      if (size >= int(sizeof(DIBSECTION)) && out && b->IsDib)
        return GetObject(b, static_cast<DIBSECTION*>(out));
      if (!out) return sizeof(BITMAP);
      if (size < int(sizeof(BITMAP))) return 0;
      return GetObject(b, static_cast<BITMAP*>(out));
    }
    case GdiKind::Region:
      return 0;
  }
  return 0;
}

int GetObject(HFONT font, LOGFONTW* out) {
  if (!font || !out) return 0;
  *out = font->Log;
  return sizeof(LOGFONTW);
}

}  // namespace vcl
