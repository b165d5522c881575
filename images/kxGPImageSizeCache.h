// Images drawn at a size, kept for the next paint at that size: wallpapers and stretched or
// tiled images repaint with a block copy when the same picture, draw style and destination
// size repeat.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>

#include "host/gdi/Gdi.h"

namespace kx {

// Everything a placement reads: the picture's content generation (new whenever its pixels
// change), the destination size and the parity of its position (placements round halves to
// even), the scale, and the item's and its options' drawing properties.
struct TkxImageSizeKey {
  std::uint64_t Image = 0;
  int Width = 0, Height = 0;
  int ParityX = 0, ParityY = 0;
  double Scale = 1;
  std::array<int, 18> Props{};
  bool operator==(const TkxImageSizeKey&) const = default;
};

class TkxImageSizeCache {
 public:
  // A few sizes per collection (caption, panel and pager backgrounds at one or two scales)...
  static constexpr std::size_t kMaxEntries = 8;
  // ...and at most 24 MiB of them: an opaque 200 % full-window wallpaper is about 6 MiB.
  static constexpr std::size_t kBudget = std::size_t(24) << 20;

  TkxImageSizeCache() = default;
  ~TkxImageSizeCache();
  TkxImageSizeCache(const TkxImageSizeCache&) = delete;
  TkxImageSizeCache& operator=(const TkxImageSizeCache&) = delete;

  // Paints `r` of dc from the image kept for `key`, rendering it first with `render` (which
  // draws the picture into the given DC and rectangle) when missing. Only a rendering that
  // covers every pixel opaquely is kept, since only that looks the same on any background;
  // false means the caller draws directly (the answer is remembered for the key).
  bool Draw(vcl::HDC dc, const vcl::TRect& r, const TkxImageSizeKey& key,
            const std::function<void(vcl::HDC, const vcl::TRect&)>& render);
  void Clear();

  std::size_t Count() const { return FItems.size(); }
  std::size_t Hits() const { return FHits; }

 private:
  struct TItem {
    TkxImageSizeKey Key;
    vcl::HBITMAP Bitmap = nullptr;  // nullptr: the rendering was not opaque
    vcl::HDC Dc = nullptr;
    std::size_t Bytes = 0;
  };
  void Release(TItem& item);

  std::list<TItem> FItems;  // most recently used first
  std::size_t FBytes = 0;
  std::size_t FHits = 0;
};

}  // namespace kx
