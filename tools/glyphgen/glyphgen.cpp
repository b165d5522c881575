// The demo's source artwork, drawn with the GDI+ subset: ten 96 x 96 glyphs (home, folder,
// gear, star, heart, mail, search, calendar, bell, user) and the two seasonal caption
// wallpapers (active and inactive, 220 x 48, shown as 110 x 24 logical pixels).
//
//   glyphgen <folder>    writes glyph0.png ... glyph9.png, wallpaper-active.png and
//                        wallpaper-inactive.png into the folder
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/gdi/Codecs.h"
#include "host/gdi/GdiPlus.h"
#include "host/rtl/Streams.h"
#include "host/rtl/SysUtils.h"

using namespace vcl;

namespace {

constexpr int kGlyph = 96;

using TPainter = std::function<void(TGPGraphics&)>;

// A vertical gradient from a lighter to a darker shade of one colour.
TGPLinearGradientBrush Shade(const TGPRectF& r, ARGB c) {
  auto mix = [](ARGB c, int toward, int pct) {
    auto ch = [&](int v) { return BYTE(v + (toward - v) * pct / 100); };
    return MakeColor(GetAlpha(c), ch(GetRed(c)), ch(GetGreen(c)), ch(GetBlue(c)));
  };
  return TGPLinearGradientBrush(TGPPointF{r.X, r.Y}, TGPPointF{r.X, r.Y + r.Height}, mix(c, 255, 22),
                                mix(c, 0, 12));
}

void FillShaded(TGPGraphics& g, const TGPGraphicsPath& p, ARGB c) {
  TGPRectF b;
  p.GetBounds(&b);
  TGPLinearGradientBrush brush = Shade(b, c);
  g.FillPath(&brush, &p);
}

void RoundRect(TGPGraphicsPath& p, float x, float y, float w, float h, float r) {
  GPAddRoundRect(p, {x, y, w, h}, r);
}

void Home(TGPGraphics& g) {
  TGPGraphicsPath roof;
  TGPPointF pts[] = {{48, 10}, {88, 46}, {78, 46}, {48, 20}, {18, 46}, {8, 46}};
  roof.AddPolygon(pts, 6);
  FillShaded(g, roof, MakeColor(0xC6, 0x28, 0x28));
  TGPGraphicsPath body(FillModeAlternate);
  TGPPointF house[] = {{48, 24}, {76, 48}, {76, 86}, {20, 86}, {20, 48}};
  body.AddPolygon(house, 5);
  RoundRect(body, 40, 58, 16, 28, 3);
  FillShaded(g, body, MakeColor(0x2D, 0x7D, 0xD2));
}

void Folder(TGPGraphics& g) {
  TGPGraphicsPath back;
  RoundRect(back, 8, 18, 36, 20, 5);
  RoundRect(back, 8, 26, 80, 56, 6);
  FillShaded(g, back, MakeColor(0xE0, 0x9A, 0x00));
  TGPGraphicsPath front;
  RoundRect(front, 8, 38, 80, 46, 6);
  FillShaded(g, front, MakeColor(0xFF, 0xC1, 0x2E));
}

void Gear(TGPGraphics& g) {
  TGPGraphicsPath p(FillModeWinding);
  for (int k = 0; k < 8; ++k) {
    double a = k * 3.14159265358979 / 4;
    TGPPointF c{float(48 + 34 * std::cos(a)), float(48 + 34 * std::sin(a))};
    TGPPointF tooth[4];
    double ux = std::cos(a), uy = std::sin(a), vx = -uy, vy = ux;
    const double half = 8, len = 9;
    tooth[0] = {float(c.X - vx * half - ux * len), float(c.Y - vy * half - uy * len)};
    tooth[1] = {float(c.X + vx * half - ux * len), float(c.Y + vy * half - uy * len)};
    tooth[2] = {float(c.X + vx * (half - 2) + ux * len), float(c.Y + vy * (half - 2) + uy * len)};
    tooth[3] = {float(c.X - vx * (half - 2) + ux * len), float(c.Y - vy * (half - 2) + uy * len)};
    p.AddPolygon(tooth, 4);
  }
  p.AddEllipse(18, 18, 60, 60);
  FillShaded(g, p, MakeColor(0x60, 0x7D, 0x8B));
  TGPSolidBrush hole(0);
  g.SetCompositingMode(CompositingModeSourceCopy);
  g.FillEllipse(&hole, 36, 36, 24, 24);
  g.SetCompositingMode(CompositingModeSourceOver);
}

void Star(TGPGraphics& g) {
  TGPPointF pts[10];
  for (int k = 0; k < 10; ++k) {
    double a = -3.14159265358979 / 2 + k * 3.14159265358979 / 5;
    double r = (k & 1) ? 18 : 42;
    pts[k] = {float(48 + r * std::cos(a)), float(52 + r * std::sin(a))};
  }
  TGPGraphicsPath p;
  p.AddPolygon(pts, 10);
  FillShaded(g, p, MakeColor(0xFF, 0xB3, 0x00));
}

void Heart(TGPGraphics& g) {
  TGPGraphicsPath p;
  p.AddBezier({48, 84}, {20, 62}, {6, 46}, {10, 30});
  p.AddBezier({10, 30}, {14, 12}, {40, 8}, {48, 28});
  p.AddBezier({48, 28}, {56, 8}, {82, 12}, {86, 30});
  p.AddBezier({86, 30}, {90, 46}, {76, 62}, {48, 84});
  p.CloseFigure();
  FillShaded(g, p, MakeColor(0xE5, 0x39, 0x35));
}

void Mail(TGPGraphics& g) {
  TGPGraphicsPath p;
  RoundRect(p, 8, 20, 80, 56, 7);
  FillShaded(g, p, MakeColor(0x00, 0x89, 0x7B));
  TGPPen pen(MakeColor(0xE0, 0xFF, 0xFF, 0xFF), 5);
  pen.SetLineJoin(LineJoinRound);
  TGPPointF v[] = {{14, 28}, {48, 54}, {82, 28}};
  g.DrawLines(&pen, v, 3);
}

void Search(TGPGraphics& g) {
  TGPPen handle(MakeColor(0x37, 0x47, 0x4F), 14);
  handle.SetLineCap(LineCapRound, LineCapRound, DashCapRound);
  g.DrawLine(&handle, 60.f, 60.f, 84.f, 84.f);
  TGPPen ring(MakeColor(0x54, 0x6E, 0x7A), 10);
  g.DrawEllipse(&ring, 12.f, 12.f, 54.f, 54.f);
  TGPSolidBrush glass(MakeColor(0x60, 0x81, 0xD4, 0xFA));
  g.FillEllipse(&glass, 17.f, 17.f, 44.f, 44.f);
}

void Calendar(TGPGraphics& g) {
  TGPGraphicsPath body;
  RoundRect(body, 10, 14, 76, 72, 8);
  FillShaded(g, body, MakeColor(0xEC, 0xEF, 0xF1));
  TGPGraphicsPath head;
  RoundRect(head, 10, 14, 76, 22, 8);
  head.AddRectangle({10, 26, 76, 10});
  FillShaded(g, head, MakeColor(0xD3, 0x2F, 0x2F));
  TGPSolidBrush dot(MakeColor(0x54, 0x6E, 0x7A));
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) g.FillRectangle(&dot, TGPRectF{20.f + c * 15, 44.f + r * 13, 9, 8});
  TGPSolidBrush ring(MakeColor(0x37, 0x47, 0x4F));
  g.FillRectangle(&ring, TGPRectF{26, 8, 6, 14});
  g.FillRectangle(&ring, TGPRectF{64, 8, 6, 14});
}

void Bell(TGPGraphics& g) {
  TGPGraphicsPath p;
  p.AddBezier({48, 12}, {26, 12}, {24, 34}, {24, 50});
  p.AddLine(24.f, 50.f, 14.f, 72.f);
  p.AddLine(14.f, 72.f, 82.f, 72.f);
  p.AddLine(82.f, 72.f, 72.f, 50.f);
  p.AddBezier({72, 50}, {72, 34}, {70, 12}, {48, 12});
  p.CloseFigure();
  FillShaded(g, p, MakeColor(0xFB, 0x8C, 0x00));
  TGPSolidBrush clapper(MakeColor(0xE6, 0x51, 0x00));
  g.FillEllipse(&clapper, 38.f, 72.f, 20.f, 16.f);
}

void User(TGPGraphics& g) {
  TGPGraphicsPath head;
  head.AddEllipse(30, 10, 36, 38);
  FillShaded(g, head, MakeColor(0x8E, 0x24, 0xAA));
  TGPGraphicsPath body;
  body.AddArc(12, 52, 72, 64, 180, 180);
  body.CloseFigure();
  FillShaded(g, body, MakeColor(0x6A, 0x1B, 0x9A));
}

// Snowflakes and holly over a soft band: drawn at twice the logical 110 x 24 size.
void Wallpaper(TGPGraphics& g, bool active) {
  ARGB ink = active ? MakeColor(0xD0, 0xFF, 0xFF, 0xFF) : MakeColor(0x80, 0xFF, 0xFF, 0xFF);
  TGPLinearGradientBrush band(TGPPointF{0, 0}, TGPPointF{0, 48},
                              active ? MakeColor(0x60, 0x1E, 0x88, 0xE5) : MakeColor(0x30, 0x90, 0x90, 0x90),
                              0);
  g.FillRectangle(&band, TGPRectF{0, 0, 220, 48});
  TGPPen pen(ink, 2.2f);
  pen.SetLineCap(LineCapRound, LineCapRound, DashCapRound);
  struct Flake {
    float X, Y, R;
  } flakes[] = {{22, 16, 9}, {70, 30, 6}, {118, 14, 8}, {168, 32, 7}, {204, 12, 5}, {46, 38, 4}, {144, 40, 4}};
  for (const Flake& f : flakes)
    for (int k = 0; k < 3; ++k) {
      double a = k * 3.14159265358979 / 3;
      float dx = float(f.R * std::cos(a)), dy = float(f.R * std::sin(a));
      g.DrawLine(&pen, f.X - dx, f.Y - dy, f.X + dx, f.Y + dy);
    }
  TGPSolidBrush leaf(active ? MakeColor(0xE0, 0x2E, 0x7D, 0x32) : MakeColor(0x90, 0x60, 0x70, 0x60));
  TGPSolidBrush berry(active ? MakeColor(0xF0, 0xD3, 0x2F, 0x2F) : MakeColor(0x90, 0x90, 0x60, 0x60));
  g.FillEllipse(&leaf, 90.f, 28.f, 16.f, 8.f);
  g.FillEllipse(&leaf, 104.f, 28.f, 16.f, 8.f);
  g.FillEllipse(&berry, 101.f, 24.f, 7.f, 7.f);
}

void Save(const std::string& folder, const std::string& name, int w, int h, const TPainter& paint) {
  TGPBitmap b(w, h, PixelFormat32bppARGB);
  {
    TGPGraphics g(&b);
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    paint(g);
  }
  BitmapData d;
  b.LockBits(nullptr, ImageLockModeRead, PixelFormat32bppARGB, &d);
  std::vector<Byte> png = EncodePng(static_cast<const std::uint32_t*>(d.Scan0), w, h, d.Stride / 4);
  b.UnlockBits(&d);
  TFileStream f(Utf8ToString(folder + "/" + name), fmCreate);
  f.WriteBuffer(png.data(), Int64(png.size()));
  std::printf("%s/%s\n", folder.c_str(), name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: glyphgen <output folder>\n");
    return 2;
  }
  try {
    const TPainter glyphs[] = {Home, Folder, Gear, Star, Heart, Mail, Search, Calendar, Bell, User};
    for (int i = 0; i < 10; ++i) Save(argv[1], "glyph" + std::to_string(i) + ".png", kGlyph, kGlyph, glyphs[i]);
    Save(argv[1], "wallpaper-active.png", 220, 48, [](TGPGraphics& g) { Wallpaper(g, true); });
    Save(argv[1], "wallpaper-inactive.png", 220, 48, [](TGPGraphics& g) { Wallpaper(g, false); });
  } catch (const Exception& e) {
    std::fprintf(stderr, "glyphgen: %s\n", StringToUtf8(e.Message()).c_str());
    return 1;
  }
  return 0;
}
