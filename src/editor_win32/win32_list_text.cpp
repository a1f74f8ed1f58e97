// The list's texts as wide characters.
#include "editor_win32/win32_list_text.h"

namespace tavlink::editor {

std::wstring ListWide(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char byte : text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
  return wide;
}

std::string ListBytes(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t character : text)
    bytes.push_back(character < 256 ? static_cast<char>(character) : '?');
  return bytes;
}

std::wstring WithCrLf(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size() + text.size() / 16);
  char previous = '\0';
  for (char byte : text) {
    if (byte == '\n' && previous != '\r') wide.push_back(L'\r');
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    previous = byte;
  }
  return wide;
}

std::wstring WideText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace tavlink::editor
