// TCanvas: lazy selection of font, pen and brush, shapes and text, drawing pictures by their
// alpha format and transparency.
#include <string>

#include "GraphicsTest.h"
#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiText.h"
#include "host/graphics/PngImage.h"

using namespace vcl;
using namespace gfxtest;

namespace {
// An opaque white 32-bit target.
void White(TBitmap& t, int w, int h) { Make32(t, w, h, 0xFFFFFFFF); }
}  // namespace

TEST(Canvas, BrushChangesBetweenFillsTakeEffect) {
  TBitmap t;
  White(t, 4, 2);
  TCanvas* c = t.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(0, 0, 2, 2));
  EXPECT_TRUE(c->State().Contains(csBrushValid));
  c->Brush()->SetColor(clBlue);
  EXPECT_FALSE(c->State().Contains(csBrushValid));  // deselected until the next drawing
  c->FillRect(Rect(2, 0, 4, 2));
  EXPECT_EQ(Hex(Px(t, 1, 1)), "FFFF0000");
  EXPECT_EQ(Hex(Px(t, 2, 1)), "FF0000FF");

  // Reading Handle selects all three objects, so direct GDI calls see them.
  c->Brush()->SetColor(clLime);
  c->Pen()->SetColor(clYellow);
  HDC dc = c->Handle();
  EXPECT_EQ(c->State(), csAllValid);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), AsGdiObj(c->Brush()->Handle()));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), AsGdiObj(c->Pen()->Handle()));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), AsGdiObj(c->Font()->Handle()));
  PatBlt(dc, 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FF00FF00");
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetBkColor(dc), ColorToRGB(clLime));
  c->Brush()->SetStyle(bsClear);
  c->Handle();
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  // Setting a colour on a hollow brush makes it solid again.
  c->Brush()->SetColor(clLime);
  EXPECT_EQ(c->Brush()->Style(), bsSolid);
}

TEST(Canvas, RebindingDeselectsFromTheOldContext) {
  TBitmap a, b;
  White(a, 2, 2);
  White(b, 2, 2);
  HDC dc1 = a.Canvas()->Handle();
  HDC dc2 = b.Canvas()->Handle();
  TCanvas c;
  EXPECT_THROW(c.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);  // no DC, none to be had
  c.SetHandle(dc1);
  c.Brush()->SetColor(clRed);
  c.FillRect(Rect(0, 0, 1, 1));
  c.MoveTo(1, 1);
  EXPECT_EQ(GetCurrentObject(dc1, OBJ_BRUSH), AsGdiObj(c.Brush()->Handle()));
  c.SetHandle(dc2);
  EXPECT_EQ(GetCurrentObject(dc1, OBJ_BRUSH), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(c.PenPos(), Point(1, 1));  // the pen position moves with the canvas
  c.FillRect(Rect(1, 1, 2, 2));
  EXPECT_EQ(Hex(Px(b, 1, 1)), "FFFF0000");
  c.SetHandle(nullptr);
  // The canvas's brush can go now: nothing holds it selected.
  c.Brush()->SetColor(clBlue);
  EXPECT_EQ(GetCurrentObject(dc2, OBJ_BRUSH), GetStockObject(HOLLOW_BRUSH));
}

TEST(Canvas, ShapesLinesAndPixels) {
  TBitmap t;
  White(t, 10, 10);
  TCanvas* c = t.Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->Rectangle(1, 1, 5, 5);
  EXPECT_EQ(c->Pixels(1, 1), clBlack);   // outline
  EXPECT_EQ(c->Pixels(4, 4), clBlack);
  EXPECT_EQ(c->Pixels(2, 2), clRed);     // fill
  EXPECT_EQ(c->Pixels(5, 5), clWhite);   // right/bottom excluded
  c->Brush()->SetColor(clBlue);
  c->FrameRect(Rect(6, 0, 9, 3));
  EXPECT_EQ(c->Pixels(6, 0), clBlue);
  EXPECT_EQ(c->Pixels(7, 1), clWhite);

  c->Pen()->SetColor(clLime);
  c->MoveTo(0, 8);
  c->LineTo(5, 8);
  EXPECT_EQ(c->Pixels(4, 8), clLime);
  EXPECT_EQ(c->Pixels(5, 8), clWhite);  // the end pixel is not drawn
  EXPECT_EQ(c->PenPos(), Point(5, 8));
  c->Pen()->SetMode(pmNot);  // inverts what lies under the pen
  c->MoveTo(0, 9);
  c->LineTo(2, 9);
  EXPECT_EQ(c->Pixels(0, 9), clBlack);

  c->SetPixels(9, 9, clFuchsia);
  EXPECT_EQ(c->Pixels(9, 9), clFuchsia);
  EXPECT_EQ(c->Pixels(20, 20), TColor(CLR_INVALID));
  EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 10));
}

TEST(Canvas, ChangeEventsBracketEveryDrawing) {
  TBitmap t;
  White(t, 4, 4);
  TCounter changing, changed, bitmapChanged;
  TCanvas* c = t.Canvas();
  c->SetOnChanging(changing.Event());
  c->SetOnChange(changed.Event());
  t.SetOnChange(bitmapChanged.Event());
  c->FillRect(Rect(0, 0, 1, 1));
  c->TextOut(0, 0, u"x");
  c->MoveTo(0, 0);  // moving the pen draws nothing
  EXPECT_EQ(changing.Count, 2);
  EXPECT_EQ(changed.Count, 2);
  EXPECT_EQ(bitmapChanged.Count, 0);  // the bitmap's own handler was replaced above
  c->Lock();
  c->Lock();
  EXPECT_EQ(c->LockCount(), 2);
  c->Unlock();
  c->Unlock();
  EXPECT_EQ(c->LockCount(), 0);

  // Drawing on a bitmap's canvas announces a change of the bitmap.
  TBitmap u;
  White(u, 2, 2);
  TCounter changes;
  u.SetOnChange(changes.Event());
  u.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(changes.Count, 1);
}

TEST(Canvas, TextUsesTheFontAndTheBrushForItsBackground) {
  TBitmap t;
  White(t, 200, 40);
  TCanvas* c = t.Canvas();
  c->Font()->SetName(u"Tahoma");
  c->Font()->SetHeight(-20);
  TSize wide = c->TextExtent(u"WWWW");
  TSize narrow = c->TextExtent(u"iiii");
  EXPECT_GT(wide.cx, narrow.cx);
  EXPECT_GE(wide.cy, 20);
  EXPECT_EQ(c->TextHeight(u"x"), wide.cy);
  c->Font()->SetHeight(-30);  // the font is remade and reselected
  EXPECT_GT(c->TextWidth(u"WWWW"), wide.cx);
  c->Font()->SetHeight(-20);

  // A solid brush fills the text cell; a hollow one leaves the background.
  c->Brush()->SetColor(clYellow);
  c->TextOut(0, 0, u"  ");
  EXPECT_EQ(c->Pixels(1, 1), clYellow);
  EXPECT_EQ(c->PenPos().X, c->TextWidth(u"  "));
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(clRed);
  c->TextOut(100, 0, u"  ");
  EXPECT_EQ(c->Pixels(101, 1), clWhite);
  c->TextOut(100, 0, u"\u2588\u2588");  // full blocks in the font colour
  EXPECT_EQ(c->Pixels(102, wide.cy / 2), clRed);

  // TextRect: clipped, filled unless the brush is hollow; formatted variants.
  c->Brush()->SetColor(clAqua);
  c->TextRect(Rect(0, 25, 10, 35), 0, 25, u"");
  EXPECT_EQ(c->Pixels(5, 30), clAqua);
  EXPECT_EQ(c->Pixels(12, 30), clWhite);
  TRect r = Rect(0, 0, 1000, 0);
  String text = u"Hello";
  c->TextRect(r, text, TTextFormat{tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.Width(), c->TextWidth(u"Hello"));
  EXPECT_EQ(r.Height(), wide.cy);
  TRect narrowRect = Rect(0, 0, c->TextWidth(u"Hel..."), 30);
  String longText = u"Hello, world";
  c->TextRect(narrowRect, longText, TTextFormat{tfSingleLine, tfEndEllipsis, tfModifyString});
  EXPECT_EQ(longText.substr(longText.size() - 3), u"...");
  EXPECT_LT(longText.size(), 12u);
}

TEST(Canvas, DrawReadsThirtyTwoBitRowsByTheirAlphaFormat) {
  // Source rows hold half-transparent red: straight 80FF0000, premultiplied 80800000.
  auto draw = [](TAlphaFormat format, std::uint32_t row) {
    TBitmap src;
    Make32(src, 1, 1, row);
    src.SetHandle(src.ReleaseHandle(), format);
    TBitmap t;
    White(t, 2, 1);
    t.Canvas()->Draw(1, 0, &src);
    EXPECT_EQ(Hex(Px(t, 0, 0)), "FFFFFFFF");
    return Px(t, 1, 0);
  };
  EXPECT_EQ(Hex(draw(afIgnored, 0x80FF0000)), "FFFF0000");   // opaque, alpha ignored
  EXPECT_EQ(Hex(draw(afIgnored, 0x00FF0000)), "FFFF0000");   // even with alpha 0
  EXPECT_TRUE(Near(draw(afDefined, 0x80FF0000), 0xFFFF7F7F, 1));
  EXPECT_TRUE(Near(draw(afPremultiplied, 0x80800000), 0xFFFF7F7F, 1));
  EXPECT_EQ(Hex(draw(afPremultiplied, 0x00000000)), "FFFFFFFF");

  // Constant opacity on top, and stretching.
  TBitmap src;
  Make32(src, 1, 1, 0xFF000000);
  TBitmap t;
  White(t, 3, 2);
  t.Canvas()->Draw(0, 0, &src, 128);
  EXPECT_TRUE(Near(Px(t, 0, 0), 0xFF7F7F7F, 1));
  t.Canvas()->StretchDraw(Rect(1, 0, 3, 2), &src);
  EXPECT_EQ(Hex(Px(t, 2, 1)), "FF000000");
  EXPECT_TRUE(Near(Px(t, 0, 1), 0xFFFFFFFF, 0));
  t.Canvas()->Draw(0, 0, nullptr);  // nothing
}

TEST(Canvas, TransparentBitmapsAreKeyed) {
  TBitmap src;
  src.SetPixelFormat(pf24bit);
  src.SetSize(3, 1);
  src.Canvas()->SetPixels(0, 0, clFuchsia);
  src.Canvas()->SetPixels(1, 0, clGreen);
  src.Canvas()->SetPixels(2, 0, clNavy);
  src.SetTransparent(true);
  src.SetTransparentColor(clFuchsia);
  TBitmap t;
  White(t, 3, 1);
  t.Canvas()->Draw(0, 0, &src);
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FFFFFFFF");
  EXPECT_EQ(Hex(Px(t, 1, 0)), "FF008000");
  EXPECT_EQ(Hex(Px(t, 2, 0)), "FF000080");
  // tmAuto keys the bottom-left pixel's colour: the same here.
  src.SetTransparentMode(tmAuto);
  White(t, 3, 1);
  t.Canvas()->Draw(0, 0, &src);
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FFFFFFFF");
  // Not transparent: every pixel.
  src.SetTransparent(false);
  t.Canvas()->Draw(0, 0, &src);
  EXPECT_EQ(Hex(Px(t, 0, 0)), "FFFF00FF");
}

TEST(Canvas, PngPicturesBlendOrKey) {
  TPngImage png;
  png.SetSize(2, 1);  // transparent RGBA
  TBitmap pixels;
  Make32(pixels, 2, 1);
  Px(pixels, 0, 0) = 0x800000FF;  // half-transparent blue, straight
  Px(pixels, 1, 0) = 0x00000000;
  pixels.SetAlphaFormat(afDefined);
  png.Assign(&pixels);
  EXPECT_EQ(png.TransparencyMode(), ptmPartial);
  TBitmap t;
  White(t, 2, 1);
  t.Canvas()->Draw(0, 0, &png);
  EXPECT_TRUE(Near(Px(t, 0, 0), 0xFF7F7FFF, 1));
  EXPECT_EQ(Hex(Px(t, 1, 0)), "FFFFFFFF");
}

TEST(Canvas, CopyRectUsesTheCopyMode) {
  TBitmap a, b;
  Make32(a, 2, 2, 0xFF00FF00);
  White(b, 4, 4);
  b.Canvas()->CopyRect(Rect(0, 0, 4, 4), a.Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(Hex(Px(b, 3, 3)), "FF00FF00");
  b.Canvas()->SetCopyMode(cmSrcInvert);  // XOR
  b.Canvas()->CopyRect(Rect(0, 0, 1, 1), a.Canvas(), Rect(0, 0, 1, 1));
  EXPECT_EQ(Px(b, 0, 0) & 0xFFFFFF, 0u);
  b.Canvas()->SetCopyMode(cmNotSrcCopy);
  b.Canvas()->Draw(1, 1, &a);  // an opaque bitmap follows the copy mode
  EXPECT_EQ(Px(b, 1, 1) & 0xFFFFFF, 0xFF00FFu);
}

TEST(Canvas, RoundedShapesPolygonsAndFocusRectangles) {
  TBitmap t;
  White(t, 40, 40);
  TCanvas* c = t.Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->Ellipse(0, 0, 20, 20);
  EXPECT_EQ(c->Pixels(10, 10), clRed);    // filled with the brush
  EXPECT_EQ(c->Pixels(0, 10), clBlack);   // outlined with the pen
  EXPECT_EQ(c->Pixels(1, 1), clWhite);    // the corners stay
  c->Brush()->SetColor(clBlue);
  c->RoundRect(20, 0, 40, 20, 10, 10);
  EXPECT_EQ(c->Pixels(30, 10), clBlue);
  EXPECT_EQ(c->Pixels(30, 0), clBlack);   // a straight edge
  EXPECT_EQ(c->Pixels(20, 0), clWhite);   // a rounded corner
  c->Brush()->SetStyle(bsClear);          // an outline only
  c->Polygon({Point(0, 39), Point(19, 39), Point(0, 20)});
  EXPECT_EQ(c->Pixels(10, 39), clBlack);
  EXPECT_EQ(c->Pixels(3, 35), clWhite);
  // A focus rectangle inverts dotted pixels, so drawing it twice leaves nothing.
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(20, 20, 40, 40));
  c->DrawFocusRect(Rect(22, 22, 38, 38));
  bool inverted = false;
  for (int x = 22; x < 38; ++x) inverted = inverted || c->Pixels(x, 22) == clBlack;
  EXPECT_TRUE(inverted);
  EXPECT_EQ(c->Pixels(30, 30), clWhite);  // inside untouched
  c->DrawFocusRect(Rect(22, 22, 38, 38));
  for (int x = 22; x < 38; ++x) EXPECT_EQ(c->Pixels(x, 22), clWhite) << x;
}
