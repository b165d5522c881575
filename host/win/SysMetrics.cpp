// System metrics and parameters: Windows 10 values at 96 DPI, scaled for other densities.
#include <algorithm>
#include <cstring>

#include "host/win/WinInternal.h"

namespace vcl {

namespace {

int Scale(int v, UINT dpi) { return MulDiv(v, int(dpi), 96); }

// Lines (borders, focus rectangles) grow only in whole steps of 100 %.
int ScaleLine(int v, UINT dpi) { return std::max(1, v * int(dpi) / 96); }

TRect VirtualScreen() {
  WinState& s = Wm();
  return s.Desktop ? s.Desktop->WindowRect : TRect(0, 0, 1920, 1080);
}

void SetFace(LOGFONTW& lf, const char16_t* face, int height, LONG weight = FW_NORMAL) {
  lf = LOGFONTW{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
}

}  // namespace

int GetSystemMetricsForDpi(int index, UINT dpi) {
  if (dpi == 0) dpi = 96;
  switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      MonitorObject* m = MonitorForRect(TRect(0, 0, 1, 1), MONITOR_DEFAULTTOPRIMARY);
      TRect b = m ? m->Info.Bounds : TRect(0, 0, 1920, 1080);
      return index == SM_CXSCREEN ? b.Width() : b.Height();
    }
    case SM_CXFULLSCREEN: return PrimaryWorkArea().Width();
    case SM_CYFULLSCREEN: return PrimaryWorkArea().Height() - Scale(23, dpi);
    case SM_CXMAXIMIZED: return PrimaryWorkArea().Width() + 2 * Scale(8, dpi);
    case SM_CYMAXIMIZED: return PrimaryWorkArea().Height() + 2 * Scale(8, dpi);
    case SM_XVIRTUALSCREEN: return VirtualScreen().Left;
    case SM_YVIRTUALSCREEN: return VirtualScreen().Top;
    case SM_CXVIRTUALSCREEN: return VirtualScreen().Width();
    case SM_CYVIRTUALSCREEN: return VirtualScreen().Height();
    case SM_CXMAXTRACK: return VirtualScreen().Width() + Scale(26, dpi);
    case SM_CYMAXTRACK: return VirtualScreen().Height() + Scale(26, dpi);
    case SM_CMONITORS: return int(Wm().Monitors.size());
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return Scale(17, dpi);
    case SM_CYCAPTION: return Scale(23, dpi);
    case SM_CYSMCAPTION: return Scale(23, dpi);
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return ScaleLine(1, dpi);
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return Scale(3, dpi);
    case SM_CXFRAME:
    case SM_CYFRAME: return Scale(4, dpi);
    case SM_CXPADDEDBORDER: return Scale(4, dpi);
    case SM_CXEDGE:
    case SM_CYEDGE: return ScaleLine(2, dpi);
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return Scale(32, dpi);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scale(16, dpi);
    case SM_CYMENU: return Scale(20, dpi);
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return Scale(19, dpi);
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return Scale(15, dpi);
    case SM_CXSIZE: return Scale(36, dpi);
    case SM_CYSIZE: return Scale(22, dpi);
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return Scale(22, dpi);
    case SM_CXMIN:
    case SM_CXMINTRACK: return Scale(136, dpi);
    case SM_CYMIN:
    case SM_CYMINTRACK: return Scale(39, dpi);
    case SM_CXMINIMIZED:
    case SM_CXMINSPACING: return Scale(160, dpi);
    case SM_CYMINIMIZED:
    case SM_CYMINSPACING: return Scale(28, dpi);
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return Scale(75, dpi);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return Scale(4, dpi);
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_ARRANGE: return 8;  // ARW_HIDE
    default: return 0;
  }
}

int GetSystemMetrics(int index) { return GetSystemMetricsForDpi(index, GetDpiForSystem()); }

UINT GetDpiForSystem() {
  MonitorObject* m = MonitorForRect(TRect(0, 0, 1, 1), MONITOR_DEFAULTTOPRIMARY);
  return m ? UINT(m->Info.Dpi) : 96;
}

BOOL SystemParametersInfoForDpi(UINT action, UINT uiParam, void* pv, UINT winIni, UINT dpi) {
  auto setBool = [pv](bool v) {
    if (!pv) return false;
    *static_cast<BOOL*>(pv) = v;
    return true;
  };
  auto setInt = [pv](int v) {
    if (!pv) return false;
    *static_cast<int*>(pv) = v;
    return true;
  };
  auto setUint = [pv](UINT v) {
    if (!pv) return false;
    *static_cast<UINT*>(pv) = v;
    return true;
  };
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pv) return false;
      *static_cast<TRect*>(pv) = PrimaryWorkArea();
      return true;
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICSW*>(pv);
      if (!m || m->cbSize < sizeof(NONCLIENTMETRICSW)) return false;
      m->iBorderWidth = 1;
      m->iScrollWidth = GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
      m->iScrollHeight = GetSystemMetricsForDpi(SM_CYHSCROLL, dpi);
      m->iCaptionWidth = GetSystemMetricsForDpi(SM_CXSIZE, dpi);
      m->iCaptionHeight = GetSystemMetricsForDpi(SM_CYSIZE, dpi);
      m->iSmCaptionWidth = GetSystemMetricsForDpi(SM_CXSMSIZE, dpi);
      m->iSmCaptionHeight = GetSystemMetricsForDpi(SM_CYSMSIZE, dpi);
      m->iMenuWidth = GetSystemMetricsForDpi(SM_CXMENUSIZE, dpi);
      m->iMenuHeight = GetSystemMetricsForDpi(SM_CYMENUSIZE, dpi);
      m->iPaddedBorderWidth = GetSystemMetricsForDpi(SM_CXPADDEDBORDER, dpi);
      int h = -MulDiv(9, int(dpi), 72);
      SetFace(m->lfCaptionFont, u"Segoe UI", h);
      SetFace(m->lfSmCaptionFont, u"Segoe UI", h);
      SetFace(m->lfMenuFont, u"Segoe UI", h);
      SetFace(m->lfStatusFont, u"Segoe UI", h);
      SetFace(m->lfMessageFont, u"Segoe UI", h);
      return true;
    }
    case SPI_GETICONTITLELOGFONT: {
      if (!pv) return false;
      SetFace(*static_cast<LOGFONTW*>(pv), u"Segoe UI", -MulDiv(9, int(dpi), 72));
      return true;
    }
    case SPI_GETICONMETRICS: {
      auto* m = static_cast<ICONMETRICSW*>(pv);
      if (!m) return false;
      m->iHorzSpacing = GetSystemMetricsForDpi(SM_CXICONSPACING, dpi);
      m->iVertSpacing = GetSystemMetricsForDpi(SM_CYICONSPACING, dpi);
      m->iTitleWrap = 1;
      SetFace(m->lfFont, u"Segoe UI", -MulDiv(9, int(dpi), 72));
      return true;
    }
    case SPI_GETHIGHCONTRAST: {
      auto* h = static_cast<HIGHCONTRASTW*>(pv);
      if (!h) return false;
      h->dwFlags = 0;
      h->lpszDefaultScheme = nullptr;
      return true;
    }
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return setUint(4);
    case SPI_GETMOUSEHOVERTIME: return setUint(400);
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS: return setUint(3);
    case SPI_GETMENUSHOWDELAY: return setInt(400);
    case SPI_GETKEYBOARDDELAY: return setInt(1);
    case SPI_GETKEYBOARDSPEED: return setInt(31);
    case SPI_GETCARETWIDTH:
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT: return setUint(1);
    case SPI_GETFOREGROUNDLOCKTIMEOUT: return setUint(200000);
    case SPI_GETFONTSMOOTHINGTYPE: return setUint(2);  // FE_FONTSMOOTHINGCLEARTYPE
    case SPI_GETBORDER: return setInt(1);
    case SPI_GETMENUDROPALIGNMENT:
    case SPI_GETKEYBOARDCUES:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSCREENREADER:
    case SPI_GETACTIVEWINDOWTRACKING:
    case SPI_GETCURSORSHADOW: return setBool(action == SPI_GETCURSORSHADOW);
    case SPI_GETBEEP:
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETFONTSMOOTHING:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETHOTTRACKING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
    case SPI_GETCLIENTAREAANIMATION:
    case SPI_GETSHOWIMEUI:
    case SPI_GETICONTITLEWRAP: return setBool(action != SPI_GETFLATMENU);
    default:
      (void)uiParam;
      (void)winIni;
      return false;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni) {
  return SystemParametersInfoForDpi(action, uiParam, pvParam, winIni, GetDpiForSystem());
}

}  // namespace vcl
