// The least-recently-used cache of rendered style elements.
#include "host/themes/StyleElementCache.h"

namespace vcl {

TStyleElementCache& TStyleElementCache::Instance() {
  // Never destroyed: styles freed by static destructors at exit still purge their images.
  static TStyleElementCache* cache = new TStyleElementCache;
  return *cache;
}

TStyleElementCache::~TStyleElementCache() { Clear(); }

std::size_t TStyleElementCache::TKeyHash::operator()(const TStyleElementKey& k) const {
  std::uint64_t h = k.Style * 0x9E3779B97F4A7C15ull;
  for (std::uint64_t v : {std::uint64_t(k.Entry), std::uint64_t(std::uint32_t(k.Width)),
                          std::uint64_t(std::uint32_t(k.Height)), std::uint64_t(std::uint32_t(k.Dpi))})
    h = (h ^ v) * 0x100000001B3ull + (h >> 29);
  return std::size_t(h);
}

bool TStyleElementCache::Admits(int width, int height) {
  return width > 0 && height > 0 && std::size_t(width) * std::size_t(height) * 4 <= kMaxElementBytes;
}

cairo_surface_t* TStyleElementCache::Find(const TStyleElementKey& key) {
  auto found = FIndex.find(key);
  if (found == FIndex.end()) {
    ++FMisses;
    return nullptr;
  }
  ++FHits;
  FItems.splice(FItems.begin(), FItems, found->second);
  return cairo_surface_reference(found->second->Image);
}

void TStyleElementCache::Store(const TStyleElementKey& key, cairo_surface_t* image) {
  if (!FEnabled || !image || !Admits(key.Width, key.Height)) return;
  std::size_t bytes = std::size_t(cairo_image_surface_get_stride(image)) *
                      std::size_t(cairo_image_surface_get_height(image));
  if (bytes > FBudget) return;
  auto found = FIndex.find(key);
  if (found != FIndex.end()) Evict(found->second);
  FItems.push_front(TItem{key, cairo_surface_reference(image), bytes});
  FIndex.emplace(key, FItems.begin());
  FBytes += bytes;
  Trim();
}

void TStyleElementCache::Evict(TList::iterator it) {
  FBytes -= it->Bytes;
  cairo_surface_destroy(it->Image);
  FIndex.erase(it->Key);
  FItems.erase(it);
}

void TStyleElementCache::Trim() {
  while (FBytes > FBudget && !FItems.empty()) Evict(std::prev(FItems.end()));
}

void TStyleElementCache::Clear() {
  for (TItem& item : FItems) cairo_surface_destroy(item.Image);
  FItems.clear();
  FIndex.clear();
  FBytes = 0;
}

void TStyleElementCache::Purge(std::uint64_t style) {
  for (auto it = FItems.begin(); it != FItems.end();) {
    auto next = std::next(it);
    if (it->Key.Style == style) Evict(it);
    it = next;
  }
}

bool TStyleElementCache::Holds(std::uint64_t style) const {
  for (const TItem& item : FItems)
    if (item.Key.Style == style) return true;
  return false;
}

void TStyleElementCache::SetEnabled(bool on) {
  FEnabled = on;
  if (!on) Clear();
}

void TStyleElementCache::SetBudget(std::size_t bytes) {
  FBudget = bytes;
  Trim();
}

}  // namespace vcl
