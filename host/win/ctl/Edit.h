// The "EDIT" control class: its styles, messages and notifications, and the window procedure
// (ctl/EditWindow.cpp). Positions are UTF-16 units; a surrogate pair is never split.
#pragma once
#include "host/win/WinUser.h"

namespace vcl {

// ---- styles ----
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// ---- messages ----
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_FMTLINES = 0x00C8;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;

// EM_SETMARGINS
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WORD EC_USEFONTINFO = 0xFFFF;

// ---- notifications (WM_COMMAND, high word of wParam) ----
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

// The default text limit of a new edit, and the limit EM_LIMITTEXT 0 sets.
constexpr int EDIT_DEFAULT_LIMIT = 30000;
constexpr int EDIT_MAX_LIMIT = 0x7FFFFFFE;

// Context-menu command ids (the items of the edit's "#32768" menu).
constexpr UINT EDIT_CMD_UNDO = 0x0304;    // = WM_UNDO
constexpr UINT EDIT_CMD_CUT = 0x0300;     // = WM_CUT
constexpr UINT EDIT_CMD_COPY = 0x0301;    // = WM_COPY
constexpr UINT EDIT_CMD_PASTE = 0x0302;   // = WM_PASTE
constexpr UINT EDIT_CMD_DELETE = 0x0303;  // = WM_CLEAR
constexpr UINT EDIT_CMD_SELECTALL = 0x00B1;  // = EM_SETSEL 0, -1

LRESULT EditWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// The clipboard's text (CF_UNICODETEXT; empty when it has none), and replacing it.
String ReadClipboardText(HWND owner);
void PutClipboardText(HWND owner, StringView text);

}  // namespace vcl
