// The DrawText layout engine: prefix characters, hard line breaks, word breaking, tab expansion
// and ellipses, producing lines of positioned pieces. Measuring (DT_CALCRECT) and drawing both
// come here, and the result is cached.
//
// Rules (Win32 DrawText):
// - CR, LF, CR LF and LF CR are one line break each; a break at the very end adds no line.
//   With DT_SINGLELINE they are shown as spaces.
// - Prefixes: "&x" shows x underlined, "&&" shows "&", a final lone "&" is dropped.
// - DT_WORDBREAK (without DT_SINGLELINE): lines break after runs of spaces, after a hyphen
//   inside a word, and around full-width (CJK) characters unless DT_NOFULLWIDTHCHARBREAK.
//   Spaces at a break are dropped. A word longer than the line is kept whole (the line gets
//   wider), except with DT_EDITCONTROL, where it is broken between characters.
// - DT_EXPANDTABS: tabs advance to the next multiple of the tab interval from the line start;
//   without it a tab is shown as a space.
// - Ellipses ("..."): a line wider than the width is cut at the end (DT_END_ELLIPSIS), at the
//   end of a whole word (DT_WORD_ELLIPSIS) or in the middle keeping the part after the last
//   path separator (DT_PATH_ELLIPSIS).
// - DT_RTLREADING: right-to-left paragraph direction (bidi reordering, mirrored tab pieces);
//   horizontal alignment stays physical, as in Win32.
#include <algorithm>

#include "host/gdi/TextInternal.h"

namespace vcl {

namespace {

constexpr UINT kLayoutFlags = DT_WORDBREAK | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX |
                              DT_EDITCONTROL | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS |
                              DT_WORD_ELLIPSIS | DT_RTLREADING | DT_NOFULLWIDTHCHARBREAK;
constexpr UINT kEllipsisFlags = DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_WORD_ELLIPSIS;

bool IsSpace(Char c) { return c == u' ' || c == u'\t'; }

// Full-width characters a line may break before or after.
bool IsWide(Char c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x9FFF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
}

// A line of text being built: units, per-unit advances, cluster starts, underlined units.
struct Run {
  String Text;
  std::vector<int> Adv;
  std::vector<char> Starts;
  std::vector<int> Under;
};

struct Engine {
  const FontRef& Font;
  UINT Flags;
  int Width;     // available line width
  int TabWidth;  // tab interval in pixels (> 0)
  int Extra;
  bool Rtl;

  int NextStop(int x) const { return (x / TabWidth + 1) * TabWidth; }

  // Pen position before every unit and at the end (tabs expanded).
  void Positions(const Run& r, std::vector<int>& pos) const {
    pos.resize(r.Text.size() + 1);
    int x = 0;
    for (size_t i = 0; i < r.Text.size(); ++i) {
      pos[i] = x;
      x = r.Text[i] == u'\t' ? NextStop(x) : x + r.Adv[i];
    }
    pos[r.Text.size()] = x;
  }

  bool IsOpportunity(const Char* p, int q, int n, bool wide) const {
    if (q <= 0 || q >= n) return false;
    Char a = p[q - 1], b = p[q];
    if (IsSpace(b)) return false;
    if (IsSpace(a)) return true;
    if (a == u'-' && q >= 2 && !IsSpace(p[q - 2])) return true;
    return wide && (IsWide(a) || IsWide(b));
  }

  // Splits a paragraph into lines: [start, end) shown, next line from next.
  struct Span {
    int Start, End, Next;
  };
  void Break(const Char* p, int n, const std::vector<int>& adv, const std::vector<char>& starts,
             std::vector<Span>& out) const {
    const bool wrap = (Flags & DT_WORDBREAK) && !(Flags & DT_SINGLELINE);
    if (!wrap || n == 0) {
      out.push_back({0, n, n});
      return;
    }
    const bool charBreak = Flags & DT_EDITCONTROL;
    const bool wide = !(Flags & DT_NOFULLWIDTHCHARBREAK);
    auto trimmed = [&](int s, int e) {
      while (e > s && IsSpace(p[e - 1])) --e;
      return e;
    };
    int start = 0;
    while (start < n) {
      int x = 0, i = start, brk = -1;
      bool overflow = false;
      for (; i < n; ++i) {
        int w = p[i] == u'\t' ? NextStop(x) - x : adv[size_t(i)];
        if (!IsSpace(p[i]) && x + w > Width && i > start) {
          overflow = true;
          break;
        }
        x += w;
        if (IsOpportunity(p, i + 1, n, wide)) brk = i + 1;
      }
      if (!overflow) {
        out.push_back({start, n, n});
        break;
      }
      // The cluster containing unit i does not fit.
      while (i > start && !starts[size_t(i)]) --i;
      if (IsOpportunity(p, i, n, wide)) brk = i;
      if (brk > start) {
        out.push_back({start, trimmed(start, brk), brk});
        start = brk;
      } else if (charBreak) {
        if (i == start) {  // not even one cluster fits: take it anyway
          ++i;
          while (i < n && !starts[size_t(i)]) ++i;
        }
        out.push_back({start, i, i});
        start = i;
      } else {
        int q = i + 1;
        while (q < n && !IsOpportunity(p, q, n, wide)) ++q;
        out.push_back({start, q < n ? trimmed(start, q) : q, q});
        start = q;
      }
    }
  }

  // Appends units [from, to) of src to dst.
  static void Append(Run& dst, const Run& src, int from, int to) {
    int base = int(dst.Text.size());
    dst.Text.append(src.Text, size_t(from), size_t(to - from));
    dst.Adv.insert(dst.Adv.end(), src.Adv.begin() + from, src.Adv.begin() + to);
    dst.Starts.insert(dst.Starts.end(), src.Starts.begin() + from, src.Starts.begin() + to);
    for (int u : src.Under)
      if (u >= from && u < to) dst.Under.push_back(u - from + base);
  }

  void AppendEllipsis(Run& dst) const {
    static const String dots = u"...";
    std::vector<int> adv;
    MeasureText(Font, dots, Rtl, Extra, adv);
    dst.Text += dots;
    dst.Adv.insert(dst.Adv.end(), adv.begin(), adv.end());
    dst.Starts.insert(dst.Starts.end(), dots.size(), 1);
  }

  // Cuts a line wider than Width and inserts "...".
  Run Ellipsize(const Run& r) const {
    std::vector<int> pos;
    Positions(r, pos);
    const int n = int(r.Text.size());
    Run dots;
    AppendEllipsis(dots);
    int ell = 0;
    for (int a : dots.Adv) ell += a;
    auto fits = [&](int k, int tail) { return pos[size_t(k)] + ell + tail <= Width; };
    auto cutAt = [&](int k) {
      int end = k;
      while (end > 0 && !r.Starts[size_t(end)]) --end;  // never inside a cluster
      return end;
    };
    int endCut = 0;  // END: the most units that fit before the ellipsis
    for (int k = n - 1; k > 0; --k)
      if (r.Starts[size_t(k)] && fits(k, 0)) {
        endCut = k;
        break;
      }
    Run out;
    if (Flags & DT_PATH_ELLIPSIS) {
      int sep = -1;
      for (int k = n - 1; k > 0; --k)
        if (r.Text[size_t(k)] == u'\\' || r.Text[size_t(k)] == u'/') {
          sep = k;
          break;
        }
      int tail = sep > 0 ? pos[size_t(n)] - pos[size_t(sep)] : 0;
      if (sep > 0 && fits(0, tail)) {
        int k = sep;
        while (k > 0 && !fits(k, tail)) --k;
        k = cutAt(k);
        Append(out, r, 0, k);
        AppendEllipsis(out);
        Append(out, r, sep, n);
        return out;
      }
    } else if (Flags & DT_WORD_ELLIPSIS) {
      for (int k = endCut; k > 0; --k)
        if (IsSpace(r.Text[size_t(k)]) || IsSpace(r.Text[size_t(k - 1)])) {
          int end = k;
          while (end > 0 && IsSpace(r.Text[size_t(end - 1)])) --end;
          if (end > 0) {
            Append(out, r, 0, end);
            AppendEllipsis(out);
            return out;
          }
        }
    }
    Append(out, r, 0, cutAt(endCut));
    AppendEllipsis(out);
    return out;
  }

  void MakeLine(TextLine& line, Run r) const {
    std::vector<int> pos;
    Positions(r, pos);
    if ((Flags & kEllipsisFlags) && pos.back() > Width) {
      r = Ellipsize(r);
      Positions(r, pos);
      line.Ellipsized = true;
      line.Display = r.Text;
    }
    line.Width = pos.back();
    const int n = int(r.Text.size());
    size_t under = 0;
    for (int a = 0; a <= n;) {
      int b = a;
      while (b < n && r.Text[size_t(b)] != u'\t') ++b;
      if (b > a) {
        TextPiece piece;
        piece.Text.assign(r.Text, size_t(a), size_t(b - a));
        piece.X = pos[size_t(a)];
        piece.Width = pos[size_t(b)] - pos[size_t(a)];
        for (; under < r.Under.size() && r.Under[under] < b; ++under)
          if (r.Under[under] >= a) piece.Underlines.push_back(r.Under[under] - a);
        if (Rtl) piece.X = line.Width - piece.X - piece.Width;
        line.Pieces.push_back(std::move(piece));
      }
      a = b + 1;
    }
  }
};

}  // namespace

namespace {

LayoutRef BuildLayout(const FontRef& font, StringView text, UINT flags, int width, int tabWidth,
                      int extra) {
  auto layout = std::make_shared<TextLayout>();
  layout->Source.assign(text);
  layout->Font = font;
  layout->Rtl = (flags & DT_RTLREADING) != 0;
  layout->Extra = extra;
  const Engine engine{font, flags, width, tabWidth > 0 ? tabWidth : 8 * std::max(1, int(font->Tm.tmAveCharWidth)),
                      extra, layout->Rtl};

  // Prefix characters out, line-break and tab handling in; src maps units back to the source.
  const size_t n = text.size();
  const bool prefixes = !(flags & DT_NOPREFIX);
  const bool single = flags & DT_SINGLELINE;
  const bool tabs = flags & DT_EXPANDTABS;
  String s;
  s.reserve(n);
  std::vector<int> src, under;
  src.reserve(n + 1);
  for (size_t i = 0; i < n; ++i) {
    size_t begin = i;
    Char c = text[i];
    if (prefixes && c == u'&') {
      if (i + 1 >= n) break;
      c = text[++i];
      if (c != u'&' && c != u'\r' && c != u'\n') under.push_back(int(s.size()));
    }
    if (single && (c == u'\r' || c == u'\n')) c = u' ';
    if (!tabs && c == u'\t') c = u' ';
    src.push_back(int(begin));
    s += c;
  }
  src.push_back(int(n));

  const int m = int(s.size());
  std::vector<int> adv, segAdv;
  std::vector<char> starts, segStarts;
  std::vector<Engine::Span> spans;
  int ps = 0;
  for (;;) {
    int pe = ps;
    while (pe < m && s[size_t(pe)] != u'\r' && s[size_t(pe)] != u'\n') ++pe;
    int breakLen = 0;
    if (pe < m) {
      breakLen = 1;
      Char a = s[size_t(pe)];
      if (pe + 1 < m && (s[size_t(pe + 1)] == u'\r' || s[size_t(pe + 1)] == u'\n') && s[size_t(pe + 1)] != a)
        breakLen = 2;
    }
    const int pn = pe - ps;
    adv.assign(size_t(pn), 0);
    starts.assign(size_t(pn), 1);
    for (int a = 0; a < pn;) {
      int b = a;
      while (b < pn && s[size_t(ps + b)] != u'\t') ++b;
      if (b > a) {
        MeasureText(font, StringView(s).substr(size_t(ps + a), size_t(b - a)), layout->Rtl, extra,
                    segAdv, &segStarts);
        std::copy(segAdv.begin(), segAdv.end(), adv.begin() + a);
        std::copy(segStarts.begin(), segStarts.end(), starts.begin() + a);
      }
      a = b + 1;
    }
    spans.clear();
    engine.Break(s.data() + ps, pn, adv, starts, spans);
    for (const Engine::Span& span : spans) {
      Run r;
      r.Text.assign(s, size_t(ps + span.Start), size_t(span.End - span.Start));
      r.Adv.assign(adv.begin() + span.Start, adv.begin() + span.End);
      r.Starts.assign(starts.begin() + span.Start, starts.begin() + span.End);
      for (auto it = std::lower_bound(under.begin(), under.end(), ps + span.Start);
           it != under.end() && *it < ps + span.End; ++it)
        r.Under.push_back(*it - ps - span.Start);
      TextLine line;
      engine.MakeLine(line, std::move(r));
      int next = span.Next < pn ? ps + span.Next : pe + breakLen;
      line.SourceEnd = src[size_t(std::min(next, m))];
      layout->MaxWidth = std::max(layout->MaxWidth, line.Width);
      layout->Lines.push_back(std::move(line));
    }
    if (pe >= m) break;
    ps = pe + breakLen;
    if (ps >= m) break;  // a final line break adds no line
  }
  return layout;
}

struct LayoutKey {
  const FontData* Font;
  UINT Flags;
  int Width, TabWidth, Extra;
  StringView Text;  // views the cached layout's source
  bool operator==(const LayoutKey&) const = default;
};

struct LayoutKeyHash {
  size_t operator()(const LayoutKey& k) const {
    size_t h = std::hash<StringView>{}(k.Text);
    h = HashCombine(h, std::hash<const void*>{}(k.Font));
    h = HashCombine(h, k.Flags);
    h = HashCombine(h, size_t(unsigned(k.Width)));
    h = HashCombine(h, size_t(unsigned(k.TabWidth)));
    return HashCombine(h, size_t(unsigned(k.Extra)));
  }
};

}  // namespace

LayoutRef GetTextLayout(const FontRef& font, StringView text, UINT flags, int width, int tabWidth,
                        int extra) {
  static auto* cache = new LruCache<LayoutKey, LayoutRef, LayoutKeyHash>(256);
  flags &= kLayoutFlags;
  const bool wrap = (flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE);
  if (!wrap && !(flags & kEllipsisFlags)) width = 0;  // the width changes nothing
  if (!(flags & DT_EXPANDTABS)) tabWidth = 0;
  if (const LayoutRef* hit = cache->Find(LayoutKey{font.get(), flags, width, tabWidth, extra, text}))
    return *hit;
  LayoutRef layout = BuildLayout(font, text, flags, width, tabWidth, extra);
  cache->Put(LayoutKey{font.get(), flags, width, tabWidth, extra, layout->Source}, layout);
  return layout;
}

}  // namespace vcl
