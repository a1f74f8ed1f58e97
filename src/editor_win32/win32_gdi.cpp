// Fonts at a window's DPI.
#include "editor_win32/win32_gdi.h"

namespace tavlink::editor {
namespace {

LOGFONTW FontData(HFONT font) {
  LOGFONTW data{};
  if (font == nullptr || ::GetObjectW(font, sizeof data, &data) == 0) {
    data.lfHeight = -12;
    wcscpy_s(data.lfFaceName, L"MS Shell Dlg 2");
  }
  return data;
}

int SystemDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

OwnedFont MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font = FontData(nullptr);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
  }
  // The system gives the font at its own DPI.
  font.lfHeight = ::MulDiv(font.lfHeight, dpi, SystemDpi());
  return OwnedFont(::CreateFontIndirectW(&font));
}

OwnedFont BoldFont(HFONT font) {
  LOGFONTW data = FontData(font);
  data.lfWeight = FW_BOLD;
  return OwnedFont(::CreateFontIndirectW(&data));
}

OwnedFont FixedFont(HFONT font) {
  LOGFONTW data = FontData(font);
  data.lfWeight = FW_NORMAL;
  data.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy_s(data.lfFaceName, L"Courier New");
  return OwnedFont(::CreateFontIndirectW(&data));
}

int WindowDpi(HWND window) {
  // GetDpiForWindow is Windows 10's; Windows 7 and 8 have the system's DPI.
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi != nullptr && window != nullptr) {
    const UINT dpi = getDpi(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace tavlink::editor
