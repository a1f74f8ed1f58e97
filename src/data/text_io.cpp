#include "data/text_io.h"

#include <cerrno>

namespace tavlink {

int FileTextInput::ReadByte() {
  return folder_.Next([this] {
    const int c = std::fgetc(file_);
    if (c == EOF) {
      if (std::ferror(file_) && error_ == 0) error_ = errno != 0 ? errno : EIO;
      return -1;
    }
    return c;
  });
}

void FileTextOutput::WriteString(std::string_view text) {
  std::string raw;
  AppendDosText(text, raw);
  if (std::fwrite(raw.data(), 1, raw.size(), file_) != raw.size()) failed_ = true;
}

int StringTextInput::ReadByte() {
  return folder_.Next(
      [this] { return pos_ < raw_.size() ? static_cast<unsigned char>(raw_[pos_++]) : -1; });
}

void StringTextOutput::WriteString(std::string_view text) {
  AppendDosText(text, raw_);
}

void AppendDosText(std::string_view text, std::string& out) {
  out.reserve(out.size() + text.size() + 64);
  for (const char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
}

}  // namespace tavlink
