#pragma once
// Pictures of the screen for the screenshot tours under Wine and Xvfb: an
// area of the screen as it stands, saved as a 24-bit BMP (which
// scripts/screenshots turns into PNG).

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace tavlink::testing {

// Saves the screen's `area` as a 24-bit BMP.
inline bool SaveArea(const RECT& area, const std::filesystem::path& file) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP picture = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = ::SelectObject(memory, picture);
  const bool copied =
      ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != FALSE;
  ::GdiFlush();
  const size_t size = static_cast<size_t>((width * 3 + 3) & ~3) * height;
  BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(14 + 40 + size), 0, 0, 14 + 40};
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), 14);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), 40);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(size));
  ::SelectObject(memory, previous);
  ::DeleteObject(picture);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return copied && out.good();
}

}  // namespace tavlink::testing
