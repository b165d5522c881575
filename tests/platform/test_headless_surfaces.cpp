// Headless surfaces: z-order, back buffers, presenting and capture.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "PlatformTestUtil.h"

namespace vcl::platform {
namespace {

using test::Drain;
using test::Fill;
using test::MakeSurface;

TEST(PlatformSurfaces, ZOrderBandsRaiseAndPlaceBelow) {
  HeadlessBackend b;
  SurfaceId a = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId c = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceParams tp;
  tp.Bounds = Rect::FromSize(0, 0, 100, 100);
  tp.Topmost = true;
  SurfaceId top = b.CreateSurface(tp);
  SurfaceId d = MakeSurface(b, Rect::FromSize(0, 0, 100, 100), SurfaceKind::Normal, false);
  // New surfaces go to the top of their band; the topmost one stays above later normal ones.
  EXPECT_EQ(b.ZOrder(), (std::vector<SurfaceId>{top, d, c, a}));

  b.Raise(a);
  EXPECT_EQ(b.ZOrder(), (std::vector<SurfaceId>{top, a, d, c}));
  b.PlaceBelow(a, c);
  EXPECT_EQ(b.ZOrder(), (std::vector<SurfaceId>{top, d, c, a}));
  // A normal surface cannot go above a topmost one, and a topmost one no lower than its band.
  b.PlaceBelow(c, top);
  EXPECT_EQ(b.ZOrder(), (std::vector<SurfaceId>{top, c, d, a}));
  b.PlaceBelow(top, a);
  EXPECT_EQ(b.ZOrder().front(), top);
  b.SetTopmost(top, false);
  b.Raise(d);
  EXPECT_EQ(b.ZOrder().front(), d);
  b.SetTopmost(a, true);
  EXPECT_EQ(b.ZOrder().front(), a);

  // Show maps at the top of the band, like the X server.
  b.Hide(c);
  b.PlaceBelow(c, top);
  b.Show(c);
  EXPECT_EQ(b.ZOrder()[1], c);

  b.DestroySurface(c);
  EXPECT_FALSE(b.SurfaceExists(c));
  EXPECT_EQ(b.ZOrder().size(), 3u);
}

TEST(PlatformSurfaces, BadArgumentsNameTheValue) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(0, 0, 10, 10));
  try {
    b.Show(4242);
    FAIL() << "unknown surface accepted";
  } catch (const EPlatformError& e) {
    EXPECT_NE(std::string(e.what()).find("4242"), std::string::npos) << e.what();
  }
  try {
    b.SetBounds(s, Rect::FromSize(0, 0, -5, 10));
    FAIL() << "negative size accepted";
  } catch (const EPlatformError& e) {
    EXPECT_NE(std::string(e.what()).find("-5x10"), std::string::npos) << e.what();
  }
  SurfaceParams huge;
  huge.Bounds = Rect::FromSize(0, 0, 40000, 10);
  EXPECT_THROW(b.CreateSurface(huge), EPlatformError);
  SurfaceParams orphan;
  orphan.Owner = 999;
  EXPECT_THROW(b.CreateSurface(orphan), EPlatformError);
  SurfaceId pop = MakeSurface(b, Rect::FromSize(0, 0, 10, 10), SurfaceKind::Popup);
  EXPECT_THROW(b.Activate(pop), EPlatformError);
  EXPECT_EQ(b.FocusSurface(), NoSurface);
}

TEST(PlatformSurfaces, ResizeRecreatesBackBufferKeepingPixels) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(10, 20, 40, 30));
  cairo_surface_t* before = b.BackBuffer(s);
  EXPECT_EQ(cairo_image_surface_get_format(before), CAIRO_FORMAT_ARGB32);
  EXPECT_EQ(cairo_image_surface_get_width(before), 40);
  EXPECT_EQ(cairo_image_surface_get_height(before), 30);
  Fill(b, s, 0x123456);

  b.SetBounds(s, Rect::FromSize(50, 60, 40, 30));  // a move keeps the buffer
  EXPECT_EQ(b.BackBuffer(s), before);

  b.SetBounds(s, Rect::FromSize(50, 60, 80, 20));
  cairo_surface_t* after = b.BackBuffer(s);
  EXPECT_EQ(cairo_image_surface_get_width(after), 80);
  EXPECT_EQ(cairo_image_surface_get_height(after), 20);
  PixelBuffer px = b.CaptureSurface(s);
  EXPECT_EQ(px.At(39, 19), 0xFF123456u);  // kept
  EXPECT_EQ(px.At(40, 0), 0u);            // new area starts transparent black
  EXPECT_EQ(b.Bounds(s), Rect::FromSize(50, 60, 80, 20));

  // A zero-sized surface is legal and presents nothing.
  b.SetBounds(s, Rect::FromSize(0, 0, 0, 0));
  EXPECT_EQ(cairo_image_surface_get_width(b.BackBuffer(s)), 0);
  b.Present(s);

  // A resize by the system reports Resized with the back buffer already at the new size.
  b.SetBounds(s, Rect::FromSize(0, 0, 10, 10));
  Drain(b);
  b.InjectSystemBounds(s, Rect::FromSize(5, 5, 30, 12));
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].Type, EventType::Moved);
  EXPECT_EQ(ev[1].Type, EventType::Resized);
  EXPECT_EQ(ev[1].Bounds, Rect::FromSize(5, 5, 30, 12));
  EXPECT_EQ(cairo_image_surface_get_width(b.BackBuffer(s)), 30);
}

TEST(PlatformSurfaces, ScreenCaptureComposesPresentedContentsWithOpacity) {
  HeadlessBackend b;
  b.SetMonitors({MonitorInfo{Rect::FromSize(0, 0, 200, 100), Rect::FromSize(0, 0, 200, 90), 96,
                             true, "m"}});
  b.SetDesktopColor(0x000080);
  SurfaceId under = MakeSurface(b, Rect::FromSize(10, 10, 100, 50));
  SurfaceId over = MakeSurface(b, Rect::FromSize(60, 30, 100, 50));
  Fill(b, under, 0xFF0000);
  Fill(b, over, 0x0000FF);
  b.Present(under);
  b.Present(over);
  b.SetOpacity(over, 128);

  PixelBuffer px = b.CaptureScreen();
  ASSERT_EQ(px.Width, 200);
  ASSERT_EQ(px.Height, 100);
  EXPECT_EQ(px.At(0, 0), 0xFF000080u);   // desktop
  EXPECT_EQ(px.At(20, 20), 0xFFFF0000u); // only the lower surface
  // Overlap: blue at half opacity over red.
  std::uint32_t mix = px.At(70, 40);
  EXPECT_NEAR(int((mix >> 16) & 0xFF), 127, 2);
  EXPECT_EQ((mix >> 8) & 0xFF, 0u);
  EXPECT_NEAR(int(mix & 0xFF), 128, 2);
  // Blue alone over the desktop blue.
  EXPECT_NEAR(int(px.At(150, 70) & 0xFF), 128 + 64, 2);

  // Drawing without presenting changes nothing on screen; presenting part shows that part.
  Fill(b, under, 0x00FF00);
  EXPECT_EQ(b.CaptureScreen().At(20, 20), 0xFFFF0000u);
  Rect part = Rect::FromSize(0, 0, 20, 20);
  b.Present(under, std::span<const Rect>(&part, 1));
  px = b.CaptureScreen();
  EXPECT_EQ(px.At(20, 20), 0xFF00FF00u);
  EXPECT_EQ(px.At(40, 40), 0xFFFF0000u);

  // The back buffer's alpha is not shown: a transparent back buffer shows as black.
  SurfaceId clear = MakeSurface(b, Rect::FromSize(0, 70, 20, 20));
  b.Present(clear);
  EXPECT_EQ(b.CaptureScreen().At(5, 75), 0xFF000000u);

  // Hidden surfaces are not shown; Raise changes which one is on top.
  b.SetOpacity(over, 255);
  b.Hide(clear);
  EXPECT_EQ(b.CaptureScreen().At(5, 75), 0xFF000080u);
  EXPECT_EQ(b.CaptureScreen().At(70, 40), 0xFF0000FFu);
  b.Raise(under);
  EXPECT_EQ(b.CaptureScreen().At(70, 40), 0xFFFF0000u);
}

TEST(PlatformSurfaces, ShapeLimitsWhatShowsAndWhatIsHit) {
  HeadlessBackend b;
  b.SetMonitors({MonitorInfo{Rect::FromSize(0, 0, 100, 100), Rect::FromSize(0, 0, 100, 100), 96,
                             true, "m"}});
  SurfaceId under = MakeSurface(b, Rect::FromSize(0, 0, 100, 100));
  SurfaceId s = MakeSurface(b, Rect::FromSize(10, 10, 50, 50));
  Fill(b, under, 0x00FF00);
  Fill(b, s, 0xFF0000);
  b.Present(under);
  b.Present(s);
  // An L of two rectangles, like a region with a cut-out corner.
  Rect parts[] = {Rect::FromSize(0, 0, 50, 20), Rect::FromSize(0, 20, 20, 30)};
  b.SetShape(s, parts);
  EXPECT_TRUE(b.Shaped(s));
  PixelBuffer px = b.CaptureScreen();
  EXPECT_EQ(px.At(15, 15), 0xFFFF0000u);
  EXPECT_EQ(px.At(15, 45), 0xFFFF0000u);
  EXPECT_EQ(px.At(45, 45), 0xFF00FF00u);  // cut out: the surface below shows
  EXPECT_EQ(b.SurfaceAt(45, 45), under);
  EXPECT_EQ(b.SurfaceAt(15, 45), s);

  b.SetShape(s, {});  // empty: nothing of it shows or is hit
  EXPECT_EQ(b.CaptureScreen().At(15, 15), 0xFF00FF00u);
  EXPECT_EQ(b.SurfaceAt(15, 15), under);
  b.ResetShape(s);
  EXPECT_FALSE(b.Shaped(s));
  EXPECT_EQ(b.CaptureScreen().At(45, 45), 0xFFFF0000u);
  EXPECT_EQ(b.SurfaceAt(45, 45), s);
}

TEST(PlatformSurfaces, PngFilesOfSurfaceAndScreen) {
  HeadlessBackend b;
  b.SetMonitors({MonitorInfo{Rect::FromSize(0, 0, 64, 48), Rect::FromSize(0, 0, 64, 40), 96,
                             true, "m"}});
  SurfaceId s = MakeSurface(b, Rect::FromSize(8, 8, 16, 16));
  Fill(b, s, 0x336699);
  b.Present(s);
  auto dir = std::filesystem::temp_directory_path() /
             ("kx_platform_png_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string surfPng = (dir / "surface.png").string();
  std::string screenPng = (dir / "screen.png").string();
  b.SaveSurfacePng(s, surfPng);
  b.SaveScreenPng(screenPng);

  cairo_surface_t* img = cairo_image_surface_create_from_png(surfPng.c_str());
  ASSERT_EQ(cairo_surface_status(img), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(img), 16);
  auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(img));
  EXPECT_EQ(row[0] & 0xFFFFFF, 0x336699u);
  cairo_surface_destroy(img);

  img = cairo_image_surface_create_from_png(screenPng.c_str());
  ASSERT_EQ(cairo_surface_status(img), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(img), 64);
  EXPECT_EQ(cairo_image_surface_get_height(img), 48);
  int stride = cairo_image_surface_get_stride(img);
  auto* px = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(img) + 10 * stride);
  EXPECT_EQ(px[10] & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(px[40] & 0xFFFFFF, 0u);
  cairo_surface_destroy(img);

  try {
    b.SaveScreenPng((dir / "missing" / "x.png").string());
    FAIL() << "writing into a missing directory succeeded";
  } catch (const EPlatformError& e) {
    EXPECT_NE(std::string(e.what()).find("missing/x.png"), std::string::npos) << e.what();
  }
  std::filesystem::remove_all(dir);
}

TEST(PlatformSurfaces, DestroyDropsQueuedEventsAndReferences) {
  HeadlessBackend b;
  SurfaceId s = MakeSurface(b, Rect::FromSize(0, 0, 50, 50));
  SurfaceId keep = MakeSurface(b, Rect::FromSize(100, 0, 50, 50));
  b.Activate(s);
  b.SetMouseCapture(s);
  b.InjectMouseMove(10, 10);
  b.InjectClose(s);
  b.InjectClose(keep);
  b.DestroySurface(s);
  auto ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Type, EventType::Close);
  EXPECT_EQ(ev[0].Surface, keep);
  EXPECT_EQ(b.MouseCapture(), NoSurface);
  EXPECT_EQ(b.FocusSurface(), NoSurface);
  b.InjectMouseMove(120, 10);
  ev = Drain(b);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].Surface, keep);
}

}  // namespace
}  // namespace vcl::platform
