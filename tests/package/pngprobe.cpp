// kx_pngprobe: checks pixels of PNG screenshots for the package tests.
//
//   kx_pngprobe FILE.png CHECK...
//     WxH                 the image is W x H pixels
//     X,Y=RRGGBB          the pixel at X,Y is that colour (each channel within 32)
//     X,Y<>X2,Y2          the two pixels differ clearly (channel differences add up to 96+)
//     X,Y,W,H:ink>=N      at least N pixels of the rectangle differ clearly from its first
//     X,Y,W,H:differs=F   at least 20 pixels of the rectangle differ from those of PNG F
//
// Every failed check is printed; the exit status is 1 when any failed.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TImage {
  int W = 0, H = 0;
  std::vector<unsigned char> Rgb;  // 3 bytes a pixel
  const unsigned char* At(int x, int y) const { return &Rgb[(size_t(y) * W + x) * 3]; }
};

bool Load(const std::string& path, TImage& img) {
  png_image p{};
  p.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&p, path.c_str())) {
    std::fprintf(stderr, "kx_pngprobe: %s: %s\n", path.c_str(), p.message);
    return false;
  }
  p.format = PNG_FORMAT_RGB;
  img.W = int(p.width);
  img.H = int(p.height);
  img.Rgb.resize(PNG_IMAGE_SIZE(p));
  if (!png_image_finish_read(&p, nullptr, img.Rgb.data(), 0, nullptr)) {
    std::fprintf(stderr, "kx_pngprobe: %s: %s\n", path.c_str(), p.message);
    return false;
  }
  return true;
}

int Distance(const unsigned char* a, const unsigned char* b) {
  return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

bool Inside(const TImage& img, int x, int y) { return x >= 0 && y >= 0 && x < img.W && y < img.H; }

std::string Hex(const unsigned char* c) {
  char s[8];
  std::snprintf(s, sizeof s, "%02X%02X%02X", c[0], c[1], c[2]);
  return s;
}

// One check; false with a message when it fails or cannot be read.
bool Check(const TImage& img, const std::string& c, std::string& why) {
  int x, y, x2, y2, w, h, n;
  unsigned rgb;
  char tail[512];
  if (std::sscanf(c.c_str(), "%dx%d%511s", &w, &h, tail) == 2) {
    why = "the image is " + std::to_string(img.W) + "x" + std::to_string(img.H);
    return img.W == w && img.H == h;
  }
  if (std::sscanf(c.c_str(), "%d,%d=%6x%511s", &x, &y, &rgb, tail) == 3) {
    if (!Inside(img, x, y)) return why = "outside the image", false;
    const unsigned char want[3] = {(unsigned char)(rgb >> 16), (unsigned char)(rgb >> 8), (unsigned char)rgb};
    const unsigned char* got = img.At(x, y);
    why = "found " + Hex(got);
    for (int i = 0; i < 3; ++i)
      if (std::abs(got[i] - want[i]) > 32) return false;
    return true;
  }
  if (std::sscanf(c.c_str(), "%d,%d<>%d,%d%511s", &x, &y, &x2, &y2, tail) == 4) {
    if (!Inside(img, x, y) || !Inside(img, x2, y2)) return why = "outside the image", false;
    why = "found " + Hex(img.At(x, y)) + " and " + Hex(img.At(x2, y2));
    return Distance(img.At(x, y), img.At(x2, y2)) >= 96;
  }
  if (std::sscanf(c.c_str(), "%d,%d,%d,%d:ink>=%d%511s", &x, &y, &w, &h, &n, tail) == 5) {
    if (!Inside(img, x, y) || !Inside(img, x + w - 1, y + h - 1)) return why = "outside the image", false;
    int ink = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) ink += Distance(img.At(i, j), img.At(x, y)) >= 96;
    why = std::to_string(ink) + " pixels differ from the corner's " + Hex(img.At(x, y));
    return ink >= n;
  }
  if (std::sscanf(c.c_str(), "%d,%d,%d,%d:differs=%511s", &x, &y, &w, &h, tail) == 5) {
    TImage other;
    if (!Load(tail, other)) return why = "cannot read the other image", false;
    if (!Inside(img, x, y) || !Inside(img, x + w - 1, y + h - 1) || !Inside(other, x, y) ||
        !Inside(other, x + w - 1, y + h - 1))
      return why = "outside an image", false;
    int diff = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) diff += Distance(img.At(i, j), other.At(i, j)) > 0;
    why = std::to_string(diff) + " pixels differ";
    return diff >= 20;
  }
  why = "not a check (kx_pngprobe's header comment lists them)";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kx_pngprobe FILE.png CHECK...\n");
    return 2;
  }
  TImage img;
  if (!Load(argv[1], img)) return 2;
  int failed = 0;
  for (int i = 2; i < argc; ++i) {
    std::string why;
    bool ok = Check(img, argv[i], why);
    std::printf("%s %s: %s\n", ok ? "ok    " : "FAILED", argv[i], why.c_str());
    failed += !ok;
  }
  return failed ? 1 : 0;
}
