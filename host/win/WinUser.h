// The window manager: windows, classes, messages, timers, painting, non-client areas, scroll
// bars, input, focus and activation, hooks, carets, monitors, clipboard and shell services,
// with Win32 names and semantics. Everything runs on the one user-interface thread.
#pragma once
#include <functional>

#include "host/win/Messages.h"
#include "host/platform/VirtualKeys.h"
#include "host/win/WinTypes.h"

namespace vcl {

struct BLENDFUNCTION;

// ---- Classes ---------------------------------------------------------------------------------------
// Class names compare case-insensitively. System classes ("SCROLLBAR", ...) are always present.
ATOM RegisterClassExW(const WNDCLASSEXW* wc);
ATOM RegisterClassW(const WNDCLASSW* wc);
BOOL UnregisterClassW(const Char* className, HINSTANCE instance);
BOOL GetClassInfoExW(HINSTANCE instance, const Char* className, WNDCLASSEXW* out);
BOOL GetClassInfoW(HINSTANCE instance, const Char* className, WNDCLASSW* out);
int GetClassNameW(HWND hwnd, Char* buffer, int maxCount);
String GetClassName(HWND hwnd);
ULONG_PTR GetClassLongPtrW(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value);

// ---- Windows ---------------------------------------------------------------------------------------
HWND CreateWindowExW(DWORD exStyle, const Char* className, const Char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param);
inline HWND CreateWindowW(const Char* className, const Char* windowName, DWORD style, int x,
                          int y, int width, int height, HWND parent, HMENU menu,
                          HINSTANCE instance, void* param) {
  return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu,
                         instance, param);
}
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns true when it was disabled
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// A child id in the hMenu parameter of CreateWindowExW.
inline HMENU ChildId(int id) { return reinterpret_cast<HMENU>(std::intptr_t(id)); }

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
inline LONG GetWindowLongW(HWND hwnd, int index) { return LONG(GetWindowLongPtrW(hwnd, index)); }
inline LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  return LONG(SetWindowLongPtrW(hwnd, index, value));
}
// A window procedure as the value of GWLP_WNDPROC.
inline LONG_PTR ProcToLong(WNDPROC proc) { return reinterpret_cast<LONG_PTR>(proc); }
inline WNDPROC LongToProc(LONG_PTR value) { return reinterpret_cast<WNDPROC>(value); }

HWND GetParent(HWND hwnd);  // the parent of a child window, the owner of a pop-up
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetTopWindow(HWND hwnd);
inline HWND GetNextWindow(HWND hwnd, UINT cmd) { return GetWindow(hwnd, cmd); }
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND hwnd);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
HWND FindWindowW(const Char* className, const Char* windowName);
HWND FindWindowExW(HWND parent, HWND childAfter, const Char* className, const Char* windowName);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);

int GetWindowTextW(HWND hwnd, Char* buffer, int maxCount);
int GetWindowTextLengthW(HWND hwnd);
BOOL SetWindowTextW(HWND hwnd, const Char* text);
String GetWindowText(HWND hwnd);
BOOL SetWindowText(HWND hwnd, const String& text);

BOOL SetPropW(HWND hwnd, const Char* name, HANDLE data);
HANDLE GetPropW(HWND hwnd, const Char* name);
HANDLE RemovePropW(HWND hwnd, const Char* name);

// Window procedures bound to objects. The returned value is a procedure handle: install it with
// SetWindowLongPtrW(GWLP_WNDPROC) or a class, and call it only through CallWindowProcW (as with
// any value read from GWLP_WNDPROC). Free it when no window uses it any more.
using TWndProcFunction = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
WNDPROC MakeWndProcInstance(TWndProcFunction function);
void FreeWndProcInstance(WNDPROC instance);

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Messages and the queue --------------------------------------------------------------------
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SendNotifyMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// hwnd: nullptr = every window and thread messages; a window = it and its descendants;
// (HWND)-1 = thread messages only. min == max == 0 means every message.
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
void PostQuitMessage(int exitCode);
// Blocks until a message is available. With the headless backend nothing can arrive while
// waiting, so it returns at once when nothing is pending.
BOOL WaitMessage();
DWORD GetQueueStatus(UINT flags);
LONG GetMessageTime();
DWORD GetMessagePos();
BOOL InSendMessage();
UINT RegisterWindowMessageW(const Char* name);

// ---- Timers -------------------------------------------------------------------------------------------
// Timers read the backend clock (virtual in the headless backend).
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
UInt64 GetTickCount64();

// ---- Hooks --------------------------------------------------------------------------------------------
HHOOK SetWindowsHookExW(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- Geometry ------------------------------------------------------------------------------------------
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmdShow);  // returns whether it was visible before
BOOL BringWindowToTop(HWND hwnd);
BOOL CloseWindow(HWND hwnd);  // minimises
BOOL OpenIcon(HWND hwnd);     // restores
BOOL GetWindowRect(HWND hwnd, TRect* rect);    // screen coordinates
BOOL GetClientRect(HWND hwnd, TRect* rect);    // (0, 0, width, height)
BOOL ClientToScreen(HWND hwnd, TPoint* pt);
BOOL ScreenToClient(HWND hwnd, TPoint* pt);
int MapWindowPoints(HWND from, HWND to, TPoint* points, UINT count);
int MapWindowPoints(HWND from, HWND to, TRect* rect);  // one rectangle
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* wp);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* wp);
BOOL AdjustWindowRectEx(TRect* rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL AdjustWindowRectExForDpi(TRect* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

struct DeferPosObject;
using HDWP = DeferPosObject*;
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags);
BOOL EndDeferWindowPos(HDWP info);

// Hit testing. WindowFromPoint skips hidden and disabled windows and windows answering
// HTTRANSPARENT.
HWND WindowFromPoint(TPoint pt);
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;
HWND ChildWindowFromPoint(HWND parent, TPoint pt);  // pt in the parent's client coordinates
HWND ChildWindowFromPointEx(HWND parent, TPoint pt, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, TPoint pt);

// The window takes ownership of the region (nullptr removes it). Window coordinates.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);  // copies into rgn; returns the region type

struct WINDOWINFO {
  DWORD cbSize = sizeof(WINDOWINFO);
  TRect rcWindow;
  TRect rcClient;
  DWORD dwStyle = 0;
  DWORD dwExStyle = 0;
  DWORD dwWindowStatus = 0;
  UINT cxWindowBorders = 0;
  UINT cyWindowBorders = 0;
  ATOM atomWindowType = 0;
  WORD wCreatorVersion = 0;
};
constexpr DWORD WS_ACTIVECAPTION = 0x0001;
BOOL GetWindowInfo(HWND hwnd, WINDOWINFO* info);

// ---- Painting --------------------------------------------------------------------------------------------
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL InvalidateRect(HWND hwnd, const TRect* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const TRect* rect);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const TRect* rect, HRGN rgn, UINT flags);
BOOL GetUpdateRect(HWND hwnd, TRect* rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
int ExcludeUpdateRgn(HDC dc, HWND hwnd);
BOOL LockWindowUpdate(HWND hwnd);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const TRect* scrollRect, const TRect* clipRect);
int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* scrollRect, const TRect* clipRect,
                   HRGN update, TRect* updateRect, UINT flags);
constexpr UINT PW_CLIENTONLY = 0x00000001;
BOOL PrintWindow(HWND hwnd, HDC dc, UINT flags);

// ---- Scroll bars ----------------------------------------------------------------------------------------
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND hwnd, LONG objectId, SCROLLBARINFO* info);

// ---- Input, focus, activation, capture, cursors -------------------------------------------------------
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
SHORT GetKeyState(int vk);       // as of the last message retrieved from the queue
SHORT GetAsyncKeyState(int vk);  // as of now
BOOL GetKeyboardState(BYTE* state256);
BOOL GetCursorPos(TPoint* pt);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
HCURSOR LoadCursorW(HINSTANCE instance, int id);
HICON LoadIconW(HINSTANCE instance, int id);
HCURSOR CopyCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);
BOOL DestroyIcon(HICON icon);
// Draws an icon into (x, y, cx, cy), scaled (cx or cy 0: the icon's own size, or the system
// icon size with DI_DEFAULTSIZE). A standard icon without an image of its own is drawn as the
// generic application icon. step and flickerFree are ignored; the result is false for no icon.
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;
constexpr UINT DI_DEFAULTSIZE = 0x0008;
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree,
                UINT flags);
int ShowCursor(BOOL show);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);
UINT MapVirtualKeyW(UINT code, UINT mapType);
constexpr UINT MAPVK_VK_TO_VSC = 0;
constexpr UINT MAPVK_VSC_TO_VK = 1;
constexpr UINT MAPVK_VK_TO_CHAR = 2;
SHORT VkKeyScanW(Char ch);

// ---- Carets ----------------------------------------------------------------------------------------------
// bitmap: nullptr = solid caret, (HBITMAP)1 = grey caret.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(TPoint* pt);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// ---- System metrics and parameters -----------------------------------------------------------------------
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYKANJIWINDOW = 18;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_DEBUG = 22;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXICONSPACING = 38;
constexpr int SM_CYICONSPACING = 39;
constexpr int SM_MENUDROPALIGNMENT = 40;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXMINSPACING = 47;
constexpr int SM_CYMINSPACING = 48;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_ARRANGE = 56;
constexpr int SM_CXMINIMIZED = 57;
constexpr int SM_CYMINIMIZED = 58;
constexpr int SM_CXMAXTRACK = 59;
constexpr int SM_CYMAXTRACK = 60;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;
constexpr int SM_NETWORK = 63;
constexpr int SM_CLEANBOOT = 67;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_SHOWSOUNDS = 70;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_SLOWMACHINE = 73;
constexpr int SM_MIDEASTENABLED = 74;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_CMONITORS = 80;
constexpr int SM_SAMEDISPLAYFORMAT = 81;
constexpr int SM_CXFOCUSBORDER = 83;
constexpr int SM_CYFOCUSBORDER = 84;
constexpr int SM_TABLETPC = 86;
constexpr int SM_MEDIACENTER = 87;
constexpr int SM_CXPADDEDBORDER = 92;
constexpr int SM_REMOTESESSION = 0x1000;

int GetSystemMetrics(int index);                     // at the system (primary monitor) DPI
int GetSystemMetricsForDpi(int index, UINT dpi);
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni);
BOOL SystemParametersInfoForDpi(UINT action, UINT uiParam, void* pvParam, UINT winIni, UINT dpi);
void MessageBeep(UINT type);
// How many MessageBeep calls were made (the headless backend has no sound; tests read this).
UINT MessageBeepCount();

// ---- Monitors and DPI --------------------------------------------------------------------------------------
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromPoint(TPoint pt, DWORD flags);
HMONITOR MonitorFromRect(const TRect* rect, DWORD flags);
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info);
BOOL EnumDisplayMonitors(HDC dc, const TRect* clip, MONITORENUMPROC proc, LPARAM data);
UINT GetDpiForWindow(HWND hwnd);
UINT GetDpiForSystem();
HRESULT GetDpiForMonitor(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* dpiX, UINT* dpiY);

// ---- Layered windows ----------------------------------------------------------------------------------------
// On a top-level window LWA_ALPHA sets the surface opacity; on a child it is recorded only.
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
// A top-level layered window shows the source pixels (window-sized, from pptSrc) instead of
// what it paints, at pptDst with psize (nullptr: unchanged). ULW_ALPHA with AC_SRC_ALPHA and
// ULW_COLORKEY cut fully transparent and key-coloured pixels out of the window (they show
// what is beneath and let the pointer through); SourceConstantAlpha becomes the window's
// opacity. Surfaces are otherwise opaque: partly transparent pixels show their premultiplied
// colour. Fails on child windows, windows without WS_EX_LAYERED and windows whose layering
// was set by SetLayeredWindowAttributes. hdcDst is not used.
BOOL UpdateLayeredWindow(HWND hwnd, HDC hdcDst, const TPoint* pptDst, const SIZE* psize, HDC hdcSrc,
                         const TPoint* pptSrc, COLORREF crKey, const BLENDFUNCTION* pblend,
                         DWORD dwFlags);

// ---- Clipboard and global memory ------------------------------------------------------------------------------
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);  // nullptr on success
std::size_t GlobalSize(HGLOBAL mem);
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes ownership of data (an HGLOBAL holding NUL-terminated UTF-16 for
// CF_UNICODETEXT, or 8-bit text for CF_TEXT).
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);  // owned by the clipboard
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

// ---- Shell ----------------------------------------------------------------------------------------------------
// "open" (or no verb) hands a URL or path to the desktop; the result is > 32 on success.
HINSTANCE ShellExecuteW(HWND hwnd, const Char* verb, const Char* file, const Char* parameters,
                        const Char* directory, int showCmd);

// ---- Desktop composition ----------------------------------------------------------------------------------------
// Whether composition runs is a platform fact (PlatformFacts.h), off by default: then
// DwmIsCompositionEnabled reports FALSE and the other functions fail with
// DWM_E_COMPOSITIONDISABLED. With it on they check their arguments, succeed and record what
// they were given (read back with DwmGetWindowAttribute and GetWindowFrameExtension); nothing
// is drawn differently. DwmDefWindowProc never handles a message (no system caption buttons).
struct MARGINS {
  int cxLeftWidth = 0;
  int cxRightWidth = 0;
  int cyTopHeight = 0;
  int cyBottomHeight = 0;
};
HRESULT DwmIsCompositionEnabled(BOOL* enabled);
HRESULT DwmExtendFrameIntoClientArea(HWND hwnd, const MARGINS* margins);
BOOL DwmDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
HRESULT DwmSetWindowAttribute(HWND hwnd, DWORD attribute, const void* value, DWORD size);
HRESULT DwmGetWindowAttribute(HWND hwnd, DWORD attribute, void* value, DWORD size);
// The margins last given to DwmExtendFrameIntoClientArea for the window (all 0 when none).
BOOL GetWindowFrameExtension(HWND hwnd, MARGINS* margins);

constexpr DWORD DWMWA_NCRENDERING_ENABLED = 1;      // get: composition on
constexpr DWORD DWMWA_NCRENDERING_POLICY = 2;
constexpr DWORD DWMWA_TRANSITIONS_FORCEDISABLED = 3;
constexpr DWORD DWMWA_EXTENDED_FRAME_BOUNDS = 9;    // get: the window rectangle (TRect)
constexpr DWORD DWMWA_CLOAKED = 14;                 // get: 0
constexpr DWORD DWMWA_USE_IMMERSIVE_DARK_MODE = 20;
constexpr DWORD DWMWA_WINDOW_CORNER_PREFERENCE = 33;  // from Windows 11 (build 22000)
constexpr DWORD DWMWA_BORDER_COLOR = 34;              // from Windows 11
constexpr DWORD DWMWA_CAPTION_COLOR = 35;             // from Windows 11
constexpr DWORD DWMWA_TEXT_COLOR = 36;                // from Windows 11
constexpr DWORD DWMWA_SYSTEMBACKDROP_TYPE = 38;       // from Windows 11 build 22621
constexpr DWORD DWMWCP_DEFAULT = 0;
constexpr DWORD DWMWCP_DONOTROUND = 1;
constexpr DWORD DWMWCP_ROUND = 2;
constexpr DWORD DWMWCP_ROUNDSMALL = 3;

// Window composition attributes (user32, Windows 7 and later): the accent policy of a window
// (blur or acrylic behind it). Recorded per window; the backend does not blur.
constexpr DWORD WCA_ACCENT_POLICY = 19;
constexpr DWORD ACCENT_DISABLED = 0;
constexpr DWORD ACCENT_ENABLE_GRADIENT = 1;
constexpr DWORD ACCENT_ENABLE_TRANSPARENTGRADIENT = 2;
constexpr DWORD ACCENT_ENABLE_BLURBEHIND = 3;
constexpr DWORD ACCENT_ENABLE_ACRYLICBLURBEHIND = 4;
struct ACCENT_POLICY {
  DWORD AccentState = ACCENT_DISABLED;
  DWORD AccentFlags = 0;
  DWORD GradientColor = 0;  // 0xAABBGGRR
  DWORD AnimationId = 0;
};
static_assert(sizeof(ACCENT_POLICY) == 16);
struct WINDOWCOMPOSITIONATTRIBDATA {
  DWORD Attrib = 0;
  void* pvData = nullptr;
  std::size_t cbData = 0;
};
// True for a live window and WCA_ACCENT_POLICY with a record of at least 16 bytes.
BOOL SetWindowCompositionAttribute(HWND hwnd, const WINDOWCOMPOSITIONATTRIBDATA* data);
BOOL GetWindowCompositionAttribute(HWND hwnd, WINDOWCOMPOSITIONATTRIBDATA* data);

}  // namespace vcl
