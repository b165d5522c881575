// The per-size cache of drawn images.
#include "images/kxGPImageSizeCache.h"

#include <cstring>

#include "host/gdi/GdiDraw.h"

namespace kx {

using namespace vcl;

TkxImageSizeCache::~TkxImageSizeCache() { Clear(); }

void TkxImageSizeCache::Release(TItem& item) {
  if (item.Dc) DeleteDC(item.Dc);
  if (item.Bitmap) DeleteObject(item.Bitmap);
  FBytes -= item.Bytes;
}

void TkxImageSizeCache::Clear() {
  for (TItem& item : FItems) Release(item);
  FItems.clear();
}

bool TkxImageSizeCache::Draw(HDC dc, const TRect& r, const TkxImageSizeKey& key,
                             const std::function<void(HDC, const TRect&)>& render) {
  if (!dc || r.IsEmpty()) return false;
  for (auto it = FItems.begin(); it != FItems.end(); ++it) {
    if (!(it->Key == key)) continue;
    FItems.splice(FItems.begin(), FItems, it);
    if (!it->Bitmap) return false;
    ++FHits;
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), it->Dc, key.ParityX, key.ParityY, SRCCOPY);
    return true;
  }
  const int w = r.Width() + key.ParityX, h = r.Height() + key.ParityY;
  const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4;
  TItem item{key};
  if (bytes <= kBudget / 2) {
    void* bits = nullptr;
    item.Bitmap = CreateDIB32(w, h, &bits);
    if (item.Bitmap && bits) {
      std::memset(bits, 0, bytes);
      item.Dc = CreateCompatibleDC(nullptr);
      SelectObject(item.Dc, item.Bitmap);
      render(item.Dc, Bounds(key.ParityX, key.ParityY, r.Width(), r.Height()));
      GdiFlush();
      const auto* px = static_cast<const std::uint32_t*>(bits);
      bool opaque = true;
      for (int y = key.ParityY; y < h && opaque; ++y)
        for (int x = key.ParityX; x < w; ++x)
          if ((px[std::size_t(y) * std::size_t(w) + std::size_t(x)] >> 24) != 0xFF) {
            opaque = false;
            break;
          }
      if (opaque) {
        item.Bytes = bytes;
      } else {
        DeleteDC(item.Dc);
        DeleteObject(item.Bitmap);
        item.Dc = nullptr;
        item.Bitmap = nullptr;
      }
    } else if (item.Bitmap) {
      DeleteObject(item.Bitmap);
      item.Bitmap = nullptr;
    }
  }
  FBytes += item.Bytes;
  FItems.push_front(item);
  while (FItems.size() > 1 && (FItems.size() > kMaxEntries || FBytes > kBudget)) {
    Release(FItems.back());
    FItems.pop_back();
  }
  if (!FItems.front().Bitmap) return false;
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), FItems.front().Dc, key.ParityX, key.ParityY, SRCCOPY);
  return true;
}

}  // namespace kx
