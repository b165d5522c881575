// The "EDIT" window class, single- and multi-line: text, selection and caret, keyboard and
// mouse editing, clipboard, single-level undo, line layout with word wrap (re-laid out only
// around a change), scrolling and scroll bars, painting in the colours the parent answers to
// WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC, and the context menu.
#include <algorithm>
#include <cwctype>
#include <map>
#include <memory>
#include <vector>

#include "host/gdi/GdiDraw.h"
#include "host/gdi/GdiInternal.h"
#include "host/gdi/GdiText.h"
#include "host/win/ctl/Edit.h"
#include "host/win/ctl/Menus.h"

namespace vcl {

namespace {

constexpr UINT_PTR kScrollTimer = 0xE0;

bool IsHigh(Char c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(Char c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsSpace(Char c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000; }
bool IsDelimiter(Char c) {
  return IsSpace(c) || c == u'.' || c == u',' || c == u';' || c == u':' || c == u'(' ||
         c == u')' || c == u'[' || c == u']' || c == u'{' || c == u'}' || c == u'"' ||
         c == u'/' || c == u'\\' || c == u'-' || c == u'+' || c == u'=' || c == u'!' || c == u'?';
}

struct Line {
  int Start = 0;
  int End = 0;    // excluding the line break
  int Next = 0;   // start of the following line
};

struct EditState {
  HWND Hwnd = nullptr;
  String Text;
  int Anchor = 0;
  int Caret = 0;
  int Limit = EDIT_DEFAULT_LIMIT;
  bool Modified = false;
  // Single-level undo: the last undoable change put UndoInserted characters at UndoPos in
  // place of UndoRemoved.
  bool CanUndo = false;
  int UndoPos = 0;
  int UndoInserted = 0;
  String UndoRemoved;
  bool TypingRun = false;  // the next typed character joins the undo step
  int TypingEnd = -1;
  Char PasswordChar = 0;
  Char PendingHigh = 0;  // first half of a surrogate pair typed as two WM_CHAR
  HFONT Font = nullptr;
  int MarginLeft = 0, MarginRight = 0;
  bool FontMargins = true;
  bool RectSet = false;
  TRect Format;  // the formatting rectangle
  int LineHeight = 13;
  int ScrollX = 0;
  int TopLine = 0;
  std::vector<Line> Lines;
  bool Focused = false;
  bool Tracking = false;
  String Composition;  // the IME composition shown at the caret
};

std::map<HWND, std::unique_ptr<EditState>>& States() {
  static std::map<HWND, std::unique_ptr<EditState>> m;
  return m;
}

EditState* StateOf(HWND h) {
  auto it = States().find(h);
  return it == States().end() ? nullptr : it->second.get();
}

DWORD StyleOf(const EditState& s) { return DWORD(GetWindowLongPtrW(s.Hwnd, GWL_STYLE)); }
bool Multi(const EditState& s) { return (StyleOf(s) & ES_MULTILINE) != 0; }
bool ReadOnly(const EditState& s) { return (StyleOf(s) & ES_READONLY) != 0; }
bool Wraps(const EditState& s) {
  DWORD st = StyleOf(s);
  return (st & ES_MULTILINE) && !(st & (ES_AUTOHSCROLL | WS_HSCROLL));
}
bool Password(const EditState& s) { return s.PasswordChar && !Multi(s); }

HFONT FontOf(const EditState& s) {
  return s.Font ? s.Font : AsFont(GetStockObject(SYSTEM_FONT));
}

// A DC of the window with the edit's font selected, for measuring.
class MeasureDc {
 public:
  explicit MeasureDc(const EditState& s) : FHwnd(s.Hwnd), FDc(GetDC(s.Hwnd)) {
    FOld = SelectObject(FDc, FontOf(s));
  }
  ~MeasureDc() {
    SelectObject(FDc, FOld);
    ReleaseDC(FHwnd, FDc);
  }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
  HDC Dc() const { return FDc; }

 private:
  HWND FHwnd;
  HDC FDc;
  HFONT FOld;
};

// What is drawn for a stretch of the text (password characters hide it).
String Shown(const EditState& s, int from, int to) {
  if (Password(s)) return String(size_t(std::max(0, to - from)), s.PasswordChar);
  return s.Text.substr(size_t(from), size_t(std::max(0, to - from)));
}

int Extent(HDC dc, const EditState& s, int from, int to) {
  if (to <= from) return 0;
  String t = Shown(s, from, to);
  TSize sz;
  GetTextExtentPoint32W(dc, t.data(), int(t.size()), &sz);
  return sz.cx;
}

// A position moved off the second half of a surrogate pair and into the text.
int Clamp(const EditState& s, int pos, bool forward = false) {
  int n = int(s.Text.size());
  pos = std::clamp(pos, 0, n);
  if (pos > 0 && pos < n && IsLow(s.Text[size_t(pos)]) && IsHigh(s.Text[size_t(pos - 1)]))
    pos += forward ? 1 : -1;
  return pos;
}

// ---- layout ---------------------------------------------------------------------------------

int BreakLength(const String& t, int pos) {
  if (pos >= int(t.size())) return 0;
  if (t[size_t(pos)] == u'\r') return pos + 1 < int(t.size()) && t[size_t(pos + 1)] == u'\n' ? 2 : 1;
  return t[size_t(pos)] == u'\n' ? 1 : 0;
}

// The end of the paragraph starting at or containing `pos` (its line break excluded).
int ParagraphEnd(const EditState& s, int pos) {
  int n = int(s.Text.size());
  while (pos < n && s.Text[size_t(pos)] != u'\r' && s.Text[size_t(pos)] != u'\n') ++pos;
  return pos;
}

// Lays out the paragraph [start, end) into lines, wrapping at the formatting width.
void WrapParagraph(const EditState& s, HDC dc, int start, int end, std::vector<Line>& out) {
  int next = end + BreakLength(s.Text, end);
  int width = s.Format.Width();
  if (!Wraps(s) || end - start <= 1 || width <= 0) {
    out.push_back({start, end, next});
    return;
  }
  int q = start;
  while (q < end) {
    int fit = 0;
    TSize sz;
    GetTextExtentExPointW(dc, s.Text.data() + q, end - q, width, &fit, nullptr, &sz);
    if (fit >= end - q) {
      out.push_back({q, end, next});
      return;
    }
    int b = q + std::max(fit, 1);
    int sp = b;
    while (sp > q && !IsSpace(s.Text[size_t(sp - 1)])) --sp;
    if (sp > q) {
      b = sp;
    } else if (b < end && IsLow(s.Text[size_t(b)]) && b - 1 > q) {
      --b;
    } else if (b < end && IsLow(s.Text[size_t(b)])) {
      ++b;
    }
    out.push_back({q, b, b});
    q = b;
  }
}

void LayoutAll(EditState& s) {
  s.Lines.clear();
  if (!Multi(s)) {
    s.Lines.push_back({0, int(s.Text.size()), int(s.Text.size())});
    return;
  }
  MeasureDc m(s);
  int pos = 0;
  int n = int(s.Text.size());
  for (;;) {
    int e = ParagraphEnd(s, pos);
    WrapParagraph(s, m.Dc(), pos, e, s.Lines);
    int br = BreakLength(s.Text, e);
    if (!br) break;
    pos = e + br;
    if (pos >= n) {
      s.Lines.push_back({pos, pos, pos});
      break;
    }
  }
}

int LineOf(const EditState& s, int pos) {
  auto it = std::upper_bound(s.Lines.begin(), s.Lines.end(), pos,
                             [](int p, const Line& l) { return p < l.Start; });
  return std::max(0, int(it - s.Lines.begin()) - 1);
}

// Re-lays out the paragraphs a change touched: [from, oldEnd) of the old text became
// [from, newEnd) of the new one.
void Relayout(EditState& s, int from, int oldEnd, int newEnd) {
  if (!Multi(s) || s.Lines.empty()) {
    LayoutAll(s);
    return;
  }
  int delta = newEnd - oldEnd;
  int first = LineOf(s, from);
  // Back to the start of the paragraph (its first line starts after a break or at 0).
  while (first > 0 && s.Lines[size_t(first - 1)].End == s.Lines[size_t(first - 1)].Next) --first;
  int last = LineOf(s, oldEnd);
  while (last + 1 < int(s.Lines.size()) && s.Lines[size_t(last)].End == s.Lines[size_t(last)].Next)
    ++last;
  std::vector<Line> fresh;
  MeasureDc m(s);
  int pos = s.Lines[size_t(first)].Start;
  int stop = ParagraphEnd(s, std::max(pos, newEnd));
  int n = int(s.Text.size());
  bool atEnd = false;
  for (;;) {
    int e = ParagraphEnd(s, pos);
    WrapParagraph(s, m.Dc(), pos, e, fresh);
    int br = BreakLength(s.Text, e);
    if (!br) {
      atEnd = true;
      break;
    }
    pos = e + br;
    if (e >= stop) break;
    if (pos >= n) {
      fresh.push_back({pos, pos, pos});
      atEnd = true;
      break;
    }
  }
  if (atEnd) {
    s.Lines.resize(size_t(first));
    s.Lines.insert(s.Lines.end(), fresh.begin(), fresh.end());
    return;
  }
  for (size_t i = size_t(last + 1); i < s.Lines.size(); ++i) {
    s.Lines[i].Start += delta;
    s.Lines[i].End += delta;
    s.Lines[i].Next += delta;
  }
  s.Lines.erase(s.Lines.begin() + first, s.Lines.begin() + last + 1);
  s.Lines.insert(s.Lines.begin() + first, fresh.begin(), fresh.end());
}

void DefaultFormatRect(EditState& s) {
  TRect c;
  GetClientRect(s.Hwnd, &c);
  s.Format = TRect(c.Left + s.MarginLeft, c.Top, std::max(c.Left + s.MarginLeft, c.Right - s.MarginRight),
                   c.Bottom);
}

void ApplyFontMetrics(EditState& s) {
  MeasureDc m(s);
  TEXTMETRICW tm;
  GetTextMetricsW(m.Dc(), &tm);
  s.LineHeight = std::max<int>(1, tm.tmHeight);
  if (s.FontMargins) s.MarginLeft = s.MarginRight = std::max<int>(1, tm.tmAveCharWidth / 4);
}

int VisibleLines(const EditState& s) { return std::max(1, s.Format.Height() / s.LineHeight); }

int LineWidth(HDC dc, const EditState& s, int line) {
  const Line& l = s.Lines[size_t(line)];
  return Extent(dc, s, l.Start, l.End);
}

// The x of a line's first character, in client coordinates.
int LineX(HDC dc, const EditState& s, int line) {
  DWORD st = StyleOf(s);
  int x = s.Format.Left - s.ScrollX;
  if (st & (ES_CENTER | ES_RIGHT)) {
    int free = s.Format.Width() - LineWidth(dc, s, line);
    if (free > 0) x += (st & ES_RIGHT) ? free : free / 2;
  }
  return x;
}

int LineY(const EditState& s, int line) {
  return s.Format.Top + (line - (Multi(s) ? s.TopLine : 0)) * s.LineHeight;
}

TPoint PosToPoint(HDC dc, const EditState& s, int pos) {
  int line = LineOf(s, pos);
  const Line& l = s.Lines[size_t(line)];
  return {LineX(dc, s, line) + Extent(dc, s, l.Start, std::min(pos, l.End)), LineY(s, line)};
}

int PrevPos(const EditState& s, int pos);

int PointToPos(HDC dc, const EditState& s, TPoint p) {
  int line = 0;
  if (Multi(s)) {
    int dy = p.Y - s.Format.Top;
    int row = dy < 0 ? -1 - (-dy - 1) / s.LineHeight : dy / s.LineHeight;
    line = std::clamp(s.TopLine + row, 0, int(s.Lines.size()) - 1);
  }
  const Line& l = s.Lines[size_t(line)];
  int x = p.X - LineX(dc, s, line);
  int n = l.End - l.Start;
  if (x <= 0 || n == 0) return l.Start;
  // The end of a wrapped line is the start of the next: stop before its last character.
  int last = (l.End == l.Next && line + 1 < int(s.Lines.size())) ? PrevPos(s, l.End) : l.End;
  String t = Shown(s, l.Start, l.End);
  std::vector<int> dx(static_cast<size_t>(n));
  TSize sz;
  int fit = 0;
  GetTextExtentExPointW(dc, t.data(), n, 0x7FFFFFF, &fit, dx.data(), &sz);
  int prev = 0;
  for (int i = 0; i < n; ++i) {
    if (x < (prev + dx[size_t(i)] + 1) / 2) return std::min(last, Clamp(s, l.Start + i, true));
    prev = dx[size_t(i)];
  }
  return last;
}

// ---- notifications ------------------------------------------------------------------------

// Sends a notification to the parent; false when the handler destroyed the edit.
bool Notify(HWND h, WORD code) {
  HWND parent = GetParent(h);
  if (parent)
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(h)), code),
                 reinterpret_cast<LPARAM>(h));
  return IsWindow(h) && StateOf(h);
}

void UpdateScrollBars(EditState& s) {
  DWORD st = StyleOf(s);
  if (st & WS_VSCROLL) {
    SCROLLINFO si;
    // The bar stays (disabled) while everything fits, as the style asked for it.
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = int(s.Lines.size()) - 1;
    si.nPage = UINT(VisibleLines(s));
    si.nPos = s.TopLine;
    SetScrollInfo(s.Hwnd, SB_VERT, &si, true);
  }
  if ((st & WS_HSCROLL) && Multi(s)) {
    MeasureDc m(s);
    int widest = 0;
    for (int i = 0; i < int(s.Lines.size()); ++i) widest = std::max(widest, LineWidth(m.Dc(), s, i));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = widest;
    si.nPage = UINT(std::max(1, s.Format.Width()));
    si.nPos = s.ScrollX;
    SetScrollInfo(s.Hwnd, SB_HORZ, &si, true);
  }
}

void PlaceCaret(EditState& s) {
  if (!s.Focused) return;
  MeasureDc m(s);
  TPoint p = PosToPoint(m.Dc(), s, s.Caret);
  if (!s.Composition.empty()) {
    TSize sz;
    GetTextExtentPoint32W(m.Dc(), s.Composition.data(), int(s.Composition.size()), &sz);
    p.X += sz.cx;
  }
  SetCaretPos(p.X, p.Y);
}

// Scrolls the caret into view; true when the view moved.
bool ScrollToCaret(EditState& s) {
  MeasureDc m(s);
  bool moved = false;
  int line = LineOf(s, s.Caret);
  if (Multi(s)) {
    int vis = VisibleLines(s);
    int top = s.TopLine;
    if (line < top) top = line;
    if (line >= top + vis) top = line - vis + 1;
    if (top != s.TopLine) {
      s.TopLine = top;
      moved = true;
    }
  }
  if (!Wraps(s)) {
    const Line& l = s.Lines[size_t(line)];
    int x = Extent(m.Dc(), s, l.Start, std::min(s.Caret, l.End));
    int w = std::max(1, s.Format.Width());
    int sx = s.ScrollX;
    if (x < sx) sx = std::max(0, x - w / 4);
    if (x > sx + w - 1) sx = x - w + w / 4;
    if (sx != s.ScrollX) {
      s.ScrollX = sx;
      moved = true;
    }
  }
  if (moved) InvalidateRect(s.Hwnd, nullptr, true);
  return moved;
}

void Refresh(EditState& s) {
  InvalidateRect(s.Hwnd, nullptr, true);
  ScrollToCaret(s);
  UpdateScrollBars(s);
  PlaceCaret(s);
}

// ---- changing the text --------------------------------------------------------------------

enum class TUndoStep { None, New, Typing };

// Records the replacement of [a, b) by `inserted` characters; a typed character that
// continues the typing run joins its step.
void SaveUndo(EditState& s, TUndoStep step, int a, int b, int inserted) {
  if (step == TUndoStep::None) return;
  if (step == TUndoStep::Typing && s.TypingRun && s.CanUndo && s.TypingEnd == a && a == b &&
      s.UndoPos + s.UndoInserted == a) {
    s.UndoInserted += inserted;
    return;
  }
  s.UndoPos = a;
  s.UndoRemoved = s.Text.substr(size_t(a), size_t(b - a));
  s.UndoInserted = inserted;
  s.CanUndo = true;
  s.TypingRun = step == TUndoStep::Typing;
}

// Replaces the selection with `text`; false when the edit was destroyed by a handler.
bool ReplaceSelection(HWND h, String text, TUndoStep step, bool limited = true) {
  EditState* s = StateOf(h);
  if (!s) return false;
  if (!Multi(*s)) std::erase_if(text, [](Char c) { return c == u'\r' || c == u'\n'; });
  int a = std::min(s->Anchor, s->Caret), b = std::max(s->Anchor, s->Caret);
  int room = s->Limit - (int(s->Text.size()) - (b - a));
  bool cut = false;
  if (limited && int(text.size()) > room) {
    int keep = std::max(0, room);
    if (keep > 0 && keep < int(text.size()) && IsLow(text[size_t(keep)])) --keep;
    text.resize(size_t(keep));
    cut = true;
  }
  if (text.empty() && a == b) {
    if (cut) Notify(h, EN_MAXTEXT);
    return IsWindow(h);
  }
  bool typing = step == TUndoStep::Typing;
  SaveUndo(*s, step, a, b, int(text.size()));
  if (!typing) s->TypingRun = false;
  if (step == TUndoStep::None) s->CanUndo = false;  // its positions would no longer hold
  s->Text.replace(size_t(a), size_t(b - a), text);
  s->Anchor = s->Caret = a + int(text.size());
  if (typing) s->TypingEnd = s->Caret;
  s->Modified = true;
  Relayout(*s, a, b, a + int(text.size()));
  Refresh(*s);
  if (!Notify(h, EN_UPDATE)) return false;
  if (!Notify(h, EN_CHANGE)) return false;
  if (cut && !Notify(h, EN_MAXTEXT)) return false;
  return true;
}

void SetSelection(EditState& s, int anchor, int caret) {
  int oa = s.Anchor, oc = s.Caret;
  s.Anchor = Clamp(s, anchor);
  s.Caret = Clamp(s, caret);
  if (s.Caret != s.TypingEnd || s.Anchor != s.Caret) s.TypingRun = false;
  if (oa != s.Anchor || oc != s.Caret) InvalidateRect(s.Hwnd, nullptr, false);
  ScrollToCaret(s);
  UpdateScrollBars(s);
  PlaceCaret(s);
}

void SetText(HWND h, const Char* text) {
  EditState* s = StateOf(h);
  if (!s) return;
  s->Text = text ? String(text) : String();
  s->Anchor = s->Caret = 0;
  s->ScrollX = 0;
  s->TopLine = 0;
  s->CanUndo = false;
  s->TypingRun = false;
  s->Modified = false;
  s->Composition.clear();
  LayoutAll(*s);
  Refresh(*s);
  if (Notify(h, EN_UPDATE)) Notify(h, EN_CHANGE);
}

bool HasSelection(const EditState& s) { return s.Anchor != s.Caret; }

String SelectedText(const EditState& s) {
  int a = std::min(s.Anchor, s.Caret), b = std::max(s.Anchor, s.Caret);
  return s.Text.substr(size_t(a), size_t(b - a));
}

void CopyToClipboard(const EditState& s) {
  if (!HasSelection(s) || Password(s)) return;
  PutClipboardText(s.Hwnd, SelectedText(s));
}

bool Undo(HWND h) {
  EditState* s = StateOf(h);
  if (!s || !s->CanUndo) return false;
  // The change is reversed, and the reversal becomes the step a second undo reverses.
  int pos = std::min(s->UndoPos, int(s->Text.size()));
  int count = std::min(s->UndoInserted, int(s->Text.size()) - pos);
  String removed = s->Text.substr(size_t(pos), size_t(count));
  s->Text.replace(size_t(pos), size_t(count), s->UndoRemoved);
  int restored = int(s->UndoRemoved.size());
  s->UndoRemoved = std::move(removed);
  s->UndoInserted = restored;
  s->Anchor = pos;
  s->Caret = pos + restored;
  s->TypingRun = false;
  s->Modified = true;
  Relayout(*s, pos, pos + count, pos + restored);
  Refresh(*s);
  if (Notify(h, EN_UPDATE)) Notify(h, EN_CHANGE);
  return true;
}

// ---- caret movement -----------------------------------------------------------------------

int NextPos(const EditState& s, int pos) {
  if (pos >= int(s.Text.size())) return pos;
  int br = BreakLength(s.Text, pos);
  if (br) return pos + br;
  return Clamp(s, pos + 1, true);
}

int PrevPos(const EditState& s, int pos) {
  if (pos <= 0) return 0;
  if (pos >= 2 && s.Text[size_t(pos - 1)] == u'\n' && s.Text[size_t(pos - 2)] == u'\r') return pos - 2;
  return Clamp(s, pos - 1);
}

int WordLeft(const EditState& s, int pos) {
  while (pos > 0 && IsSpace(s.Text[size_t(pos - 1)])) --pos;
  if (pos > 0 && IsDelimiter(s.Text[size_t(pos - 1)])) return pos - 1;
  while (pos > 0 && !IsDelimiter(s.Text[size_t(pos - 1)])) --pos;
  return pos;
}

int WordRight(const EditState& s, int pos) {
  int n = int(s.Text.size());
  if (pos < n && IsDelimiter(s.Text[size_t(pos)]) && !IsSpace(s.Text[size_t(pos)])) ++pos;
  else
    while (pos < n && !IsDelimiter(s.Text[size_t(pos)])) ++pos;
  while (pos < n && IsSpace(s.Text[size_t(pos)])) ++pos;
  return pos;
}

void SelectWordAt(EditState& s, int pos) {
  int n = int(s.Text.size());
  int a = pos, b = pos;
  if (pos < n && IsDelimiter(s.Text[size_t(pos)])) {
    b = pos + 1;
  } else {
    while (a > 0 && !IsDelimiter(s.Text[size_t(a - 1)])) --a;
    while (b < n && !IsDelimiter(s.Text[size_t(b)])) ++b;
  }
  while (b < n && s.Text[size_t(b)] == u' ') ++b;
  SetSelection(s, a, b);
}

int VerticalMove(HDC dc, const EditState& s, int pos, int lines) {
  TPoint p = PosToPoint(dc, s, pos);
  int line = std::clamp(LineOf(s, pos) + lines, 0, int(s.Lines.size()) - 1);
  return PointToPos(dc, s, {p.X, LineY(s, line)});
}

void KeyDown(HWND h, WPARAM vk) {
  EditState* s = StateOf(h);
  if (!s) return;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  int pos = s->Caret;
  bool move = true;
  switch (vk) {
    case VK_LEFT:
      if (!shift && HasSelection(*s) && !ctrl) pos = std::min(s->Anchor, s->Caret);
      else pos = ctrl ? WordLeft(*s, pos) : PrevPos(*s, pos);
      break;
    case VK_RIGHT:
      if (!shift && HasSelection(*s) && !ctrl) pos = std::max(s->Anchor, s->Caret);
      else pos = ctrl ? WordRight(*s, pos) : NextPos(*s, pos);
      break;
    case VK_HOME: pos = ctrl ? 0 : s->Lines[size_t(LineOf(*s, pos))].Start; break;
    case VK_END: pos = ctrl ? int(s->Text.size()) : s->Lines[size_t(LineOf(*s, pos))].End; break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      // A single-line edit leaves Up and Down to its owner.
      if (!Multi(*s)) return;
      int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : VisibleLines(*s);
      if (vk == VK_UP || vk == VK_PRIOR) step = -step;
      MeasureDc m(*s);
      pos = VerticalMove(m.Dc(), *s, pos, step);
      break;
    }
    case VK_DELETE:
      move = false;
      if (ReadOnly(*s)) return;
      if (shift) {
        SendMessageW(h, WM_CUT, 0, 0);
      } else {
        if (!HasSelection(*s)) s->Anchor = ctrl ? WordRight(*s, s->Caret) : NextPos(*s, s->Caret);
        ReplaceSelection(h, String(), TUndoStep::New);
      }
      return;
    case VK_INSERT:
      if (ctrl) SendMessageW(h, WM_COPY, 0, 0);
      else if (shift) SendMessageW(h, WM_PASTE, 0, 0);
      return;
    default: return;
  }
  if (move) SetSelection(*s, shift ? s->Anchor : pos, pos);
}

void CharTyped(HWND h, Char c) {
  EditState* s = StateOf(h);
  if (!s) return;
  switch (c) {
    case 0x01: SetSelection(*s, 0, int(s->Text.size())); return;
    case 0x03: SendMessageW(h, WM_COPY, 0, 0); return;
    case 0x16: SendMessageW(h, WM_PASTE, 0, 0); return;
    case 0x18: SendMessageW(h, WM_CUT, 0, 0); return;
    case 0x1A: SendMessageW(h, WM_UNDO, 0, 0); return;
    default: break;
  }
  if (ReadOnly(*s)) {
    if (c >= 0x20 || c == 0x08) MessageBeep(0);
    return;
  }
  if (c == 0x08 || c == 0x7F) {
    if (!HasSelection(*s))
      s->Anchor = c == 0x7F ? WordLeft(*s, s->Caret) : PrevPos(*s, s->Caret);
    ReplaceSelection(h, String(), TUndoStep::New);
    return;
  }
  String text;
  DWORD st = StyleOf(*s);
  if (c == 0x0D || c == 0x0A) {
    if (!Multi(*s)) return;
    text = u"\r\n";
  } else if (c == 0x09) {
    if (!Multi(*s)) return;
    text = u"\t";
  } else if (c < 0x20 || c == 0x7F) {
    return;
  } else if (IsHigh(c)) {
    s->PendingHigh = c;
    return;
  } else if (IsLow(c)) {
    if (!s->PendingHigh) return;
    text = {s->PendingHigh, c};
  } else {
    if ((st & ES_NUMBER) && !(c >= u'0' && c <= u'9')) {
      MessageBeep(0);
      return;
    }
    if (st & ES_UPPERCASE) c = Char(std::towupper(c));
    else if (st & ES_LOWERCASE) c = Char(std::towlower(c));
    text = String(1, c);
  }
  s->PendingHigh = 0;
  ReplaceSelection(h, text, TUndoStep::Typing);
}

// ---- painting -----------------------------------------------------------------------------

void DrawRun(HDC dc, const EditState& s, int x, int y, int from, int to, bool selected) {
  if (to <= from) return;
  String t = Shown(s, from, to);
  if (selected) {
    COLORREF fg = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    COLORREF bg = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    int mode = SetBkMode(dc, OPAQUE);
    TSize sz;
    GetTextExtentPoint32W(dc, t.data(), int(t.size()), &sz);
    TRect r(x, y, x + sz.cx, y + s.LineHeight);
    ExtTextOutW(dc, x, y, ETO_OPAQUE, &r, t.data(), UINT(t.size()), nullptr);
    SetBkMode(dc, mode);
    SetBkColor(dc, bg);
    SetTextColor(dc, fg);
  } else {
    ExtTextOutW(dc, x, y, 0, nullptr, t.data(), UINT(t.size()), nullptr);
  }
}

// Asks the parent for the colours; the answer's brush, or nullptr for "keep the background".
HBRUSH ControlColors(const EditState& s, HDC dc) {
  DWORD st = StyleOf(s);
  bool statik = (st & ES_READONLY) || (st & WS_DISABLED);
  UINT msg = statik ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HWND parent = GetParent(s.Hwnd);
  auto brush = reinterpret_cast<HBRUSH>(
      parent ? SendMessageW(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(s.Hwnd))
             : DefWindowProcW(s.Hwnd, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(s.Hwnd)));
  if (!brush) brush = GetSysColorBrush(statik ? COLOR_BTNFACE : COLOR_WINDOW);
  if (static_cast<HGDIOBJ>(brush) == GetStockObject(NULL_BRUSH)) return nullptr;
  return brush;
}

void Paint(EditState& s, HDC dc) {
  int saved = SaveDC(dc);
  SelectObject(dc, FontOf(s));
  ControlColors(s, dc);
  if (!IsWindowEnabled(s.Hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  IntersectClipRect(dc, s.Format.Left, s.Format.Top, s.Format.Right, s.Format.Bottom);
  bool showSel = s.Focused || (StyleOf(s) & ES_NOHIDESEL);
  int a = std::min(s.Anchor, s.Caret), b = std::max(s.Anchor, s.Caret);
  if (!showSel) a = b = 0;
  int first = Multi(s) ? s.TopLine : 0;
  int last = Multi(s) ? std::min(int(s.Lines.size()), first + VisibleLines(s) + 1) : 1;
  for (int i = first; i < last; ++i) {
    const Line& l = s.Lines[size_t(i)];
    int x = LineX(dc, s, i);
    int y = LineY(s, i);
    if (a >= b || b <= l.Start || a >= l.End) {
      DrawRun(dc, s, x, y, l.Start, l.End, false);
      continue;
    }
    int sa = std::max(a, l.Start), sb = std::min(b, l.End);
    DrawRun(dc, s, x, y, l.Start, sa, false);
    int xs = x + Extent(dc, s, l.Start, sa);
    DrawRun(dc, s, xs, y, sa, sb, true);
    DrawRun(dc, s, xs + Extent(dc, s, sa, sb), y, sb, l.End, false);
  }
  if (!s.Composition.empty()) {
    TPoint p = PosToPoint(dc, s, s.Caret);
    LOGFONTW lf;
    GetObject(FontOf(s), &lf);
    lf.lfUnderline = 1;
    HFONT under = CreateFontIndirectW(lf);
    HFONT old = SelectObject(dc, under);
    SetBkMode(dc, OPAQUE);
    ExtTextOutW(dc, p.X, p.Y, 0, nullptr, s.Composition.data(), UINT(s.Composition.size()), nullptr);
    SelectObject(dc, old);
    DeleteObject(under);
  }
  RestoreDC(dc, saved);
}

void ShowContextMenu(HWND h, TPoint screen) {
  EditState* s = StateOf(h);
  if (!s) return;
  if (GetFocus() != h) SetFocus(h);
  if (!(s = StateOf(h))) return;
  if (screen.X == -1 && screen.Y == -1) {
    screen = TPoint(0, 0);
    ClientToScreen(h, &screen);
  }
  bool ro = ReadOnly(*s), sel = HasSelection(*s), pw = Password(*s);
  auto flag = [](bool on) { return on ? MF_STRING : MF_STRING | MF_GRAYED; };
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, flag(s->CanUndo && !ro), EDIT_CMD_UNDO, u"&Undo");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, flag(sel && !ro && !pw), EDIT_CMD_CUT, u"Cu&t");
  AppendMenuW(m, flag(sel && !pw), EDIT_CMD_COPY, u"&Copy");
  AppendMenuW(m, flag(!ro && IsClipboardFormatAvailable(CF_UNICODETEXT)), EDIT_CMD_PASTE, u"&Paste");
  AppendMenuW(m, flag(sel && !ro), EDIT_CMD_DELETE, u"&Delete");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, flag(s->Text.size() > 0 && (std::min(s->Anchor, s->Caret) > 0 ||
                                             std::max(s->Anchor, s->Caret) < int(s->Text.size()))),
              EDIT_CMD_SELECTALL, u"Select &All");
  int cmd = TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.X, screen.Y, 0, h, nullptr);
  DestroyMenu(m);
  if (!cmd || !IsWindow(h)) return;
  if (UINT(cmd) == EDIT_CMD_SELECTALL) SendMessageW(h, EM_SETSEL, 0, -1);
  else SendMessageW(h, UINT(cmd), 0, 0);
}

void ScrollBy(HWND h, int lines, int pixels, WORD notify) {
  EditState* s = StateOf(h);
  if (!s) return;
  int top = std::clamp(s->TopLine + lines, 0, std::max(0, int(s->Lines.size()) - VisibleLines(*s)));
  int sx = std::max(0, s->ScrollX + pixels);
  if (Wraps(*s)) sx = 0;
  if (top == s->TopLine && sx == s->ScrollX) return;
  s->TopLine = top;
  s->ScrollX = sx;
  InvalidateRect(h, nullptr, true);
  UpdateScrollBars(*s);
  PlaceCaret(*s);
  Notify(h, notify);
}

void OnScrollMessage(HWND h, UINT msg, WPARAM wp) {
  EditState* s = StateOf(h);
  if (!s) return;
  bool vert = msg == WM_VSCROLL;
  int pos = vert ? s->TopLine : s->ScrollX;
  int page = vert ? VisibleLines(*s) : std::max(1, s->Format.Width());
  int line = vert ? 1 : std::max(1, s->LineHeight / 2);
  int maxPos = vert ? int(s->Lines.size()) - 1 : 0x7FFF;
  int target = pos;
  switch (LOWORD(wp)) {
    case SB_LINEUP: target = pos - line; break;
    case SB_LINEDOWN: target = pos + line; break;
    case SB_PAGEUP: target = pos - page; break;
    case SB_PAGEDOWN: target = pos + page; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = maxPos; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // Others send these with their own position (the word in wParam); the bar's track
      // position when it is ours that is dragged.
      target = HIWORD(wp);
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(h, vert ? SB_VERT : SB_HORZ, &si) && si.nTrackPos > 0xFFFF) target = si.nTrackPos;
      break;
    }
    default: return;
  }
  if (vert) ScrollBy(h, target - pos, 0, EN_VSCROLL);
  else ScrollBy(h, 0, target - pos, EN_HSCROLL);
}

void OnMouse(HWND h, UINT msg, LPARAM lp) {
  EditState* s = StateOf(h);
  if (!s) return;
  TPoint p = LParamToPoint(lp);
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    if (GetFocus() != h) {
      SetFocus(h);
      if (!(s = StateOf(h))) return;
    }
    MeasureDc m(*s);
    int pos = PointToPos(m.Dc(), *s, p);
    if (msg == WM_LBUTTONDBLCLK) {
      SelectWordAt(*s, pos);
      return;
    }
    bool shift = GetKeyState(VK_SHIFT) < 0;
    SetSelection(*s, shift ? s->Anchor : pos, pos);
    s->Tracking = true;
    SetCapture(h);
    SetTimer(h, kScrollTimer, 100, nullptr);
    return;
  }
  if (!s->Tracking) return;
  if (msg == WM_MOUSEMOVE || msg == WM_TIMER) {
    if (msg == WM_TIMER) {
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      // Outside the text: scroll one step toward the pointer.
      if (Multi(*s) && p.Y < s->Format.Top) ScrollBy(h, -1, 0, EN_VSCROLL);
      else if (Multi(*s) && p.Y >= s->Format.Bottom) ScrollBy(h, 1, 0, EN_VSCROLL);
      if (!(s = StateOf(h))) return;
      if (!Wraps(*s) && p.X < s->Format.Left) ScrollBy(h, 0, -s->LineHeight, EN_HSCROLL);
      else if (!Wraps(*s) && p.X >= s->Format.Right) ScrollBy(h, 0, s->LineHeight, EN_HSCROLL);
      if (!(s = StateOf(h))) return;
    }
    MeasureDc m(*s);
    SetSelection(*s, s->Anchor, PointToPos(m.Dc(), *s, p));
    return;
  }
  if (msg == WM_LBUTTONUP) {
    s->Tracking = false;
    KillTimer(h, kScrollTimer);
    if (GetCapture() == h) ReleaseCapture();
  }
}

void SetFocusState(HWND h, bool focused) {
  EditState* s = StateOf(h);
  if (!s) return;
  s->Focused = focused;
  if (focused) {
    UINT dpi = GetDpiForWindow(h);
    CreateCaret(h, nullptr, std::max(1, MulDiv(1, int(dpi), 96)), s->LineHeight);
    PlaceCaret(*s);
    ShowCaret(h);
  } else {
    s->Tracking = false;
    KillTimer(h, kScrollTimer);
    DestroyCaret();
  }
  if (HasSelection(*s) && !(StyleOf(*s) & ES_NOHIDESEL)) InvalidateRect(h, nullptr, true);
  Notify(h, focused ? EN_SETFOCUS : EN_KILLFOCUS);
}

}  // namespace

String ReadClipboardText(HWND owner) {
  String t;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return t;
  if (HANDLE d = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const Char*>(GlobalLock(d))) {
      size_t cap = GlobalSize(d) / sizeof(Char);
      size_t n = 0;
      while (n < cap && p[n]) ++n;
      t.assign(p, n);
      GlobalUnlock(d);
    }
  }
  CloseClipboard();
  return t;
}

void PutClipboardText(HWND owner, StringView text) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(Char));
  if (auto* p = static_cast<Char*>(GlobalLock(mem))) {
    std::copy(text.begin(), text.end(), p);
    p[text.size()] = 0;
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
  }
  CloseClipboard();
}

LRESULT EditWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto st = std::make_unique<EditState>();
    st->Hwnd = h;
    if (auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp); cs && cs->lpszName)
      st->Text = cs->lpszName;
    States()[h] = std::move(st);
    return DefWindowProcW(h, msg, wp, lp);
  }
  EditState* s = StateOf(h);
  if (!s) return DefWindowProcW(h, msg, wp, lp);
  switch (msg) {
    case WM_CREATE:
      if (GetWindowLongPtrW(h, GWL_STYLE) & ES_PASSWORD) s->PasswordChar = u'*';
      ApplyFontMetrics(*s);
      DefaultFormatRect(*s);
      LayoutAll(*s);
      UpdateScrollBars(*s);
      return 0;
    case WM_NCDESTROY: {
      LRESULT r = DefWindowProcW(h, msg, wp, lp);
      States().erase(h);
      return r;
    }
    case WM_SIZE:
      if (!s->RectSet) DefaultFormatRect(*s);
      LayoutAll(*s);
      s->TopLine = std::min(s->TopLine, std::max(0, int(s->Lines.size()) - 1));
      Refresh(*s);
      return 0;
    case WM_SETTEXT: SetText(h, reinterpret_cast<const Char*>(lp)); return 1;
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      auto* buf = reinterpret_cast<Char*>(lp);
      size_t n = std::min<size_t>(s->Text.size(), size_t(wp) - 1);
      std::copy_n(s->Text.data(), n, buf);
      buf[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(s->Text.size());
    case WM_SETFONT:
      s->Font = reinterpret_cast<HFONT>(wp);
      s->FontMargins = true;
      ApplyFontMetrics(*s);
      if (!s->RectSet) DefaultFormatRect(*s);
      LayoutAll(*s);
      if (s->Focused) {
        CreateCaret(h, nullptr, std::max(1, MulDiv(1, int(GetDpiForWindow(h)), 96)), s->LineHeight);
        ShowCaret(h);
      }
      Refresh(*s);
      if (!LOWORD(lp)) ValidateRect(h, nullptr);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->Font);
    case WM_GETDLGCODE: {
      LRESULT r = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multi(*s)) r |= DLGC_WANTALLKEYS;
      return r;
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      if (HBRUSH b = ControlColors(*s, dc)) {
        TRect r;
        GetClientRect(h, &r);
        FillRect(dc, &r, b);
      }
      return 1;
    }
    case WM_PAINT: {
      if (wp) {
        Paint(*s, reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      Paint(*s, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_PRINTCLIENT: Paint(*s, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ENABLE: InvalidateRect(h, nullptr, true); return 0;
    case WM_SETFOCUS: SetFocusState(h, true); return 0;
    case WM_KILLFOCUS: SetFocusState(h, false); return 0;
    case WM_KEYDOWN: KeyDown(h, wp); return 0;
    case WM_CHAR: CharTyped(h, Char(wp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: OnMouse(h, msg, lp); return 0;
    case WM_TIMER:
      if (wp == kScrollTimer) OnMouse(h, msg, 0);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != h) {
        s->Tracking = false;
        KillTimer(h, kScrollTimer);
      }
      return 0;
    case WM_CONTEXTMENU: ShowContextMenu(h, LParamToPoint(lp)); return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: OnScrollMessage(h, msg, wp); return 0;
    case WM_MOUSEWHEEL:
      if (Multi(*s)) ScrollBy(h, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -3 : 3, 0, EN_VSCROLL);
      return 0;
    case WM_IME_STARTCOMPOSITION: s->Composition.clear(); return 0;
    case WM_IME_COMPOSITION:
      // The composition string travels in lParam (a zero-terminated UTF-16 string).
      s->Composition = lp ? String(reinterpret_cast<const Char*>(lp)) : String();
      InvalidateRect(h, nullptr, true);
      PlaceCaret(*s);
      return 0;
    case WM_IME_ENDCOMPOSITION:
      s->Composition.clear();
      InvalidateRect(h, nullptr, true);
      PlaceCaret(*s);
      return 0;
    case WM_CUT:
      if (ReadOnly(*s) || Password(*s) || !HasSelection(*s)) return 0;
      CopyToClipboard(*s);
      ReplaceSelection(h, String(), TUndoStep::New);
      return 0;
    case WM_COPY: CopyToClipboard(*s); return 0;
    case WM_PASTE:
      if (ReadOnly(*s)) return 0;
      ReplaceSelection(h, ReadClipboardText(h), TUndoStep::New);
      return 0;
    case WM_CLEAR:
      if (ReadOnly(*s) || !HasSelection(*s)) return 0;
      ReplaceSelection(h, String(), TUndoStep::New);
      return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo(h);
    case EM_CANUNDO: return s->CanUndo;
    case EM_EMPTYUNDOBUFFER:
      s->CanUndo = false;
      s->TypingRun = false;
      return 0;
    case EM_GETSEL: {
      DWORD a = DWORD(std::min(s->Anchor, s->Caret)), b = DWORD(std::max(s->Anchor, s->Caret));
      if (wp) *reinterpret_cast<DWORD*>(wp) = a;
      if (lp) *reinterpret_cast<DWORD*>(lp) = b;
      if (a > 0xFFFF || b > 0xFFFF) return -1;
      return LRESULT(MAKELONG(WORD(a), WORD(b)));
    }
    case EM_SETSEL: {
      int n = int(s->Text.size());
      auto fix = [n](WPARAM v) {
        auto i = static_cast<std::intptr_t>(v);
        return (i < 0 || i > n) ? n : int(i);
      };
      if (static_cast<std::intptr_t>(wp) == -1) {
        SetSelection(*s, s->Caret, s->Caret);
        return 0;
      }
      SetSelection(*s, fix(wp), fix(WPARAM(lp)));
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(h, lp ? String(reinterpret_cast<const Char*>(lp)) : String(),
                       wp ? TUndoStep::New : TUndoStep::None);
      return 0;
    case EM_GETMODIFY: return s->Modified;
    case EM_SETMODIFY: s->Modified = wp != 0; return 0;
    case EM_LIMITTEXT: s->Limit = wp == 0 ? EDIT_MAX_LIMIT : int(std::min<WPARAM>(wp, EDIT_MAX_LIMIT)); return 0;
    case EM_GETLIMITTEXT: return s->Limit;
    case EM_SETPASSWORDCHAR:
      if (Multi(*s)) return 0;
      s->PasswordChar = Char(wp);
      SetWindowLongPtrW(h, GWL_STYLE, wp ? (StyleOf(*s) | ES_PASSWORD) : (StyleOf(*s) & ~ES_PASSWORD));
      if ((s = StateOf(h))) Refresh(*s);
      return 0;
    case EM_GETPASSWORDCHAR: return s->PasswordChar;
    case EM_SETREADONLY:
      SetWindowLongPtrW(h, GWL_STYLE, wp ? (StyleOf(*s) | ES_READONLY) : (StyleOf(*s) & ~ES_READONLY));
      InvalidateRect(h, nullptr, true);
      return 1;
    case EM_SETMARGINS: {
      bool font = LOWORD(lp) == EC_USEFONTINFO || HIWORD(lp) == EC_USEFONTINFO;
      if (font) {
        s->FontMargins = true;
        ApplyFontMetrics(*s);
      } else {
        s->FontMargins = false;
        if (wp & EC_LEFTMARGIN) s->MarginLeft = LOWORD(lp);
        if (wp & EC_RIGHTMARGIN) s->MarginRight = HIWORD(lp);
      }
      if (!s->RectSet) DefaultFormatRect(*s);
      LayoutAll(*s);
      Refresh(*s);
      return 0;
    }
    case EM_GETMARGINS: return LRESULT(MAKELONG(WORD(s->MarginLeft), WORD(s->MarginRight)));
    case EM_SETRECT:
    case EM_SETRECTNP: {
      if (auto* r = reinterpret_cast<const TRect*>(lp)) {
        s->Format = *r;
        s->Format.Right = std::max(s->Format.Left, s->Format.Right);
        s->Format.Bottom = std::max(s->Format.Top, s->Format.Bottom);
        s->RectSet = true;
      } else {
        s->RectSet = false;
        DefaultFormatRect(*s);
      }
      LayoutAll(*s);
      ScrollToCaret(*s);
      UpdateScrollBars(*s);
      PlaceCaret(*s);
      if (msg == EM_SETRECT) InvalidateRect(h, nullptr, true);
      return 0;
    }
    case EM_GETRECT:
      if (lp) *reinterpret_cast<TRect*>(lp) = s->Format;
      return 0;
    case EM_GETFIRSTVISIBLELINE: {
      if (Multi(*s)) return s->TopLine;
      MeasureDc m(*s);
      return PointToPos(m.Dc(), *s, {s->Format.Left, s->Format.Top});
    }
    case EM_GETLINECOUNT: return LRESULT(s->Lines.size());
    case EM_LINEINDEX: {
      auto line = static_cast<std::intptr_t>(wp);
      if (line == -1) line = LineOf(*s, s->Caret);
      if (line < 0 || line >= std::intptr_t(s->Lines.size())) return -1;
      return s->Lines[size_t(line)].Start;
    }
    case EM_LINELENGTH: {
      auto pos = static_cast<std::intptr_t>(wp);
      if (pos == -1) {
        if (!HasSelection(*s)) {
          const Line& l = s->Lines[size_t(LineOf(*s, s->Caret))];
          return l.End - l.Start;
        }
        int a = std::min(s->Anchor, s->Caret), b = std::max(s->Anchor, s->Caret);
        const Line& la = s->Lines[size_t(LineOf(*s, a))];
        const Line& lb = s->Lines[size_t(LineOf(*s, b))];
        return (a - la.Start) + (lb.End - b);
      }
      if (pos < 0 || pos > std::intptr_t(s->Text.size())) return 0;
      const Line& l = s->Lines[size_t(LineOf(*s, int(pos)))];
      return l.End - l.Start;
    }
    case EM_LINEFROMCHAR: {
      auto pos = static_cast<std::intptr_t>(wp);
      if (pos == -1) return LineOf(*s, s->Caret);
      if (pos < 0 || pos > std::intptr_t(s->Text.size())) pos = std::intptr_t(s->Text.size());
      return LineOf(*s, int(pos));
    }
    case EM_GETLINE: {
      auto line = static_cast<std::intptr_t>(wp);
      auto* buf = reinterpret_cast<Char*>(lp);
      if (!buf || line < 0 || line >= std::intptr_t(s->Lines.size())) return 0;
      size_t cap = buf[0];
      const Line& l = s->Lines[size_t(line)];
      size_t n = std::min<size_t>(cap, size_t(l.End - l.Start));
      std::copy_n(s->Text.data() + l.Start, n, buf);
      return LRESULT(n);
    }
    case EM_POSFROMCHAR: {
      auto pos = static_cast<std::intptr_t>(wp);
      if (pos < 0 || pos >= std::intptr_t(s->Text.size())) return -1;
      MeasureDc m(*s);
      TPoint p = PosToPoint(m.Dc(), *s, int(pos));
      return LRESULT(MAKELONG(WORD(p.X), WORD(p.Y)));
    }
    case EM_CHARFROMPOS: {
      MeasureDc m(*s);
      int pos = PointToPos(m.Dc(), *s, LParamToPoint(lp));
      return LRESULT(MAKELONG(WORD(pos), WORD(LineOf(*s, pos))));
    }
    case EM_SCROLLCARET: ScrollToCaret(*s); UpdateScrollBars(*s); PlaceCaret(*s); return 1;
    case EM_LINESCROLL:
      if (!Multi(*s)) return 0;
      ScrollBy(h, int(static_cast<std::intptr_t>(lp)), int(static_cast<std::intptr_t>(wp)) * s->LineHeight / 2,
               lp ? EN_VSCROLL : EN_HSCROLL);
      return 1;
    case EM_SCROLL: {
      if (!Multi(*s)) return 0;
      int before = s->TopLine;
      OnScrollMessage(h, WM_VSCROLL, wp);
      if (!(s = StateOf(h))) return 0;
      return LRESULT(MAKELONG(WORD(s->TopLine - before), 1));
    }
    case EM_FMTLINES: return wp != 0;
    default: return DefWindowProcW(h, msg, wp, lp);
  }
}

}  // namespace vcl
