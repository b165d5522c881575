// Fonts and text drawing of the Win32-level API.
#pragma once
#include "host/gdi/Gdi.h"
#include "host/rtl/System.h"

namespace vcl {

constexpr int LF_FACESIZE = 32;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE OEM_CHARSET = 255;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE CLEARTYPE_NATURAL_QUALITY = 6;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// lfHeight < 0: the em height in pixels; > 0: the cell height (ascent + descent) in pixels;
// 0: the default size.
struct LOGFONTW {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
  BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
  BYTE lfQuality = DEFAULT_QUALITY;
  BYTE lfPitchAndFamily = DEFAULT_PITCH;
  Char lfFaceName[LF_FACESIZE] = {};
};

HFONT CreateFontIndirectW(const LOGFONTW& lf);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  const Char* faceName);
int GetObject(HFONT font, LOGFONTW* out);

// Face names are matched through fontconfig after these substitutions (case-insensitive):
// "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif", "Segoe UI",
// "System", "Small Fonts" and an empty name give "Tahoma" (Segoe UI is not installed; Tahoma
// is the closest installed UI face in width and character); "Courier", "Courier New",
// "Fixedsys", "Terminal", "Consolas" and "Lucida Console" give the system monospace face.
// lfWidth is ignored. lfEscapement (tenths of a degree, counter-clockwise) rotates the text of
// TextOutW/ExtTextOutW about the reference point; DrawTextW and TabbedTextOutW draw unrotated.
// Glyph advances have no kerning and no ligatures, as GDI's: extents are additive.
//
// Stock fonts follow the DC's pixel density: their LOGFONTW heights are the 96-dpi values
// and are scaled by dpi / 96 when used on a DC of another density.

// ---- Text metrics ------------------------------------------------------------------------------
constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set for a VARIABLE pitch font, as in Win32
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

struct TEXTMETRICW {
  LONG tmHeight = 0;            // ascent + descent: the line height
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;   // tmHeight - the em height
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  Char tmFirstChar = 0;
  Char tmLastChar = 0;
  Char tmDefaultChar = 0;
  Char tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

struct ABC {
  int abcA = 0;   // left side bearing
  UINT abcB = 0;  // ink width
  int abcC = 0;   // right side bearing
};

bool GetTextMetricsW(HDC dc, TEXTMETRICW* tm);
// The face actually used (after substitution), e.g. "Tahoma" for "MS Shell Dlg 2". Copies at
// most count - 1 characters plus a terminating zero; returns the number copied including the
// zero, or, with name == nullptr, the length needed including the zero.
int GetTextFaceW(HDC dc, int count, Char* name);

// Extents include the DC's character extra. count < 0: the text is zero-terminated.
bool GetTextExtentPoint32W(HDC dc, const Char* text, int count, TSize* size);
// fit (optional) receives how many characters fit into maxExtent; dx (optional, count entries)
// the extent of the first i + 1 characters for every i.
bool GetTextExtentExPointW(HDC dc, const Char* text, int count, int maxExtent, int* fit,
                           int* dx, TSize* size);
bool GetCharWidth32W(HDC dc, UINT first, UINT last, int* widths);
bool GetCharABCWidthsW(HDC dc, UINT first, UINT last, ABC* widths);

// ---- Text output -------------------------------------------------------------------------------
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

UINT SetTextAlign(HDC dc, UINT align);  // returns the previous alignment, GDI_ERROR on failure
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);  // returns the previous value
int GetTextCharacterExtra(HDC dc);

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_NUMERICSLOCAL = 0x0400;
constexpr UINT ETO_NUMERICSLATIN = 0x0800;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;
constexpr UINT ETO_PDY = 0x2000;

// Text in the DC's font and text colour at (x, y) placed by the text alignment; in OPAQUE
// background mode the text cell is filled with the background colour first. Control characters
// are drawn as spaces.
bool TextOutW(HDC dc, int x, int y, const Char* text, int count);
// ETO_OPAQUE fills rect with the background colour (also with no text); ETO_CLIPPED clips to
// rect; dx (optional) gives each character's advance (pairs of x and y advances with ETO_PDY,
// of which the y advances are ignored).
bool ExtTextOutW(HDC dc, int x, int y, UINT options, const TRect* rect, const Char* text,
                 UINT count, const int* dx);

// Tab stops: none given -> every 8 average character widths; one -> every tabs[0] pixels;
// several -> at those positions (beyond the last, every 8 average character widths).
// Positions are relative to tabOrigin. Returns the extent: width in the low word, height in
// the high word.
LONG TabbedTextOutW(HDC dc, int x, int y, const Char* text, int count, int tabCount,
                    const int* tabs, int tabOrigin);
DWORD GetTabbedTextExtentW(HDC dc, const Char* text, int count, int tabCount, const int* tabs);

// ---- DrawText ----------------------------------------------------------------------------------
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;     // tab stop interval in average character widths (0: 8)
  int iLeftMargin = 0;    // margins in logical units (pixels)
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0; // out: characters processed
};

// Formatted text in rect with Win32 DrawText semantics (see TextLayout.cpp for the rules).
// Alignment is physical: DT_RTLREADING sets the paragraph direction only, so right-to-left
// text is right-aligned with DT_RIGHT. In OPAQUE background mode each line's cell is filled.
// DT_INTERNAL is ignored (the selected font measures); every other flag is honoured.
// Returns the text height (with DT_VCENTER or DT_BOTTOM: the offset from rect->Top to the
// bottom of the drawn text), 0 on failure. With DT_CALCRECT nothing is drawn and rect's
// Right/Bottom receive the extent. count < 0: the text is zero-terminated.
int DrawTextW(HDC dc, const Char* text, int count, TRect* rect, UINT format);
int DrawTextW(HDC dc, StringView text, TRect* rect, UINT format);
int DrawTextExW(HDC dc, const Char* text, int count, TRect* rect, UINT format,
                DRAWTEXTPARAMS* params);
// As above; with DT_MODIFYSTRING and an ellipsis flag, a truncated first line is written back
// into text (which must have room for count + 4 characters), zero-terminated.
int DrawTextExW(HDC dc, Char* text, int count, TRect* rect, UINT format, DRAWTEXTPARAMS* params);

}  // namespace vcl
