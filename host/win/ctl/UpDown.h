// The up-down window class "msctls_updown32": styles, messages and the UDN_DELTAPOS record.
#pragma once
#include "host/win/Messages.h"

namespace vcl {

constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_HORZ = 0x0040;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
constexpr DWORD UDS_HOTTRACK = 0x0100;

constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETACCEL = WM_USER + 107;
constexpr UINT UDM_GETACCEL = WM_USER + 108;
constexpr UINT UDM_SETBASE = WM_USER + 109;
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;

// WM_NOTIFY code sent before every step; a non-zero answer refuses the step, and the handler
// may change iDelta.
constexpr UINT UDN_DELTAPOS = UINT(-722);

// Acceleration: after nSec seconds of holding a button, steps of nInc.
struct UDACCEL {
  UINT nSec = 0;
  UINT nInc = 1;
};

// The UDN_DELTAPOS record: the notification header (hwndFrom, idFrom, code, laid out as the
// framework's NMHDR) followed by the position and the step.
struct NMUPDOWN {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
  int iPos = 0;
  int iDelta = 0;
};

// Auto-repeat of a held button: the first repeat after this delay, then one per interval.
constexpr UINT kUpDownFirstRepeatMs = 400;
constexpr UINT kUpDownRepeatMs = 100;

LRESULT UpDownWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace vcl
