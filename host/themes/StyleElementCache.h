// The pixels of rendered style elements, kept for reuse: a style's vector recipe is rendered
// once per (style, element entry, size, DPI) into a premultiplied ARGB image and blitted after.
#pragma once
#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace vcl {

// What a rendered element depends on. A recipe reads nothing else: it is rendered at the
// origin of its own image (so the position on the target does not matter) and its colours,
// gradients, radii and glyphs all come from the style's data, which never changes for a style
// instance (a reloaded style is a new instance with a new serial).
struct TStyleElementKey {
  std::uint64_t Style = 0;  // the style instance's serial number
  int Entry = 0;            // the element entry (element, part and state)
  int Width = 0, Height = 0;
  int Dpi = 96;
  bool operator==(const TStyleElementKey&) const = default;
};

class TStyleElementCache {
 public:
  // 8 MiB: every element state of a full page at 200 % (a push-button face there is about
  // 40 KB, a check box 2 KB) fits a few times over, so a page's hover and press repaints all hit,
  // while staying small beside the back buffers (a 200 % main window is about 6 MiB).
  static constexpr std::size_t kDefaultBudget = std::size_t(8) << 20;
  // An element larger than this (a window-sized background) is painted directly instead: it
  // would evict a page's worth of small elements, and a large plain fill costs cairo no more
  // than a blit of the same bytes.
  static constexpr std::size_t kMaxElementBytes = std::size_t(1) << 20;

  // The one cache of the process (the user-interface thread's).
  static TStyleElementCache& Instance();

  ~TStyleElementCache();

  // The cached image of `key` with a reference for the caller (cairo_surface_destroy it), or
  // nullptr; a hit makes it the most recently used.
  cairo_surface_t* Find(const TStyleElementKey& key);
  // Keeps `image` (a reference is taken) for `key` and evicts the least recently used images
  // until the budget holds. Does nothing when disabled or when the image alone is too large.
  void Store(const TStyleElementKey& key, cairo_surface_t* image);
  // Whether an element of this size may be kept at all.
  static bool Admits(int width, int height);

  // Forgets everything (style switch), or everything of one style instance (the style freed).
  void Clear();
  void Purge(std::uint64_t style);

  // Off: every paint renders its recipe afresh, through the same image, so the pixels are the
  // same either way (the tests compare both).
  void SetEnabled(bool on);
  bool Enabled() const { return FEnabled; }
  void SetBudget(std::size_t bytes);
  std::size_t Budget() const { return FBudget; }

  std::size_t Bytes() const { return FBytes; }
  std::size_t Count() const { return FItems.size(); }
  std::size_t Hits() const { return FHits; }
  std::size_t Misses() const { return FMisses; }
  // Whether anything of style serial `style` is held.
  bool Holds(std::uint64_t style) const;

 private:
  struct TKeyHash {
    std::size_t operator()(const TStyleElementKey& k) const;
  };
  struct TItem {
    TStyleElementKey Key;
    cairo_surface_t* Image;
    std::size_t Bytes;
  };
  using TList = std::list<TItem>;

  void Evict(TList::iterator it);
  void Trim();

  TList FItems;  // most recently used first
  std::unordered_map<TStyleElementKey, TList::iterator, TKeyHash> FIndex;
  std::size_t FBudget = kDefaultBudget;
  std::size_t FBytes = 0;
  std::size_t FHits = 0, FMisses = 0;
  bool FEnabled = true;
};

}  // namespace vcl
