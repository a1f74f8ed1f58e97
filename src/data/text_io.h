#pragma once
// Byte-wise text input and string-wise text output for the data text. Both
// behave as a DOS text file opened in text mode on every platform: reading
// takes CR LF as one LF (a lone LF stays LF, a lone CR stays CR), writing
// stores each LF as CR LF. The file objects neither open nor close their
// FILE*: the caller owns it and must keep it open while the object is used.

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace tavlink {

// A text file opened in "text mode": reading takes CR LF as one LF (and a lone LF too).
class TextInput {
 public:
  virtual ~TextInput() = default;
  // The next byte, 0..255, or -1 at the end of the file (and after a read error).
  virtual int ReadByte() = 0;
};

// Writing stores each LF as CR LF (DOS text file on every platform).
class TextOutput {
 public:
  virtual ~TextOutput() = default;
  virtual void WriteString(std::string_view text) = 0;
};

// Folds CR LF into LF over a raw byte sequence; used by the inputs below.
class CrLfFolder {
 public:
  // `raw` yields the next raw byte or -1 at the end.
  template <typename RawRead>
  int Next(RawRead&& raw) {
    int b;
    if (pending_ != kNone) {
      b = pending_;
      pending_ = kNone;
    } else {
      b = raw();
    }
    if (b != '\r') return b;
    const int next = raw();
    if (next == '\n') return '\n';
    pending_ = next;  // may be -1: the end is then reported on the next call
    return '\r';
  }

 private:
  static constexpr int kNone = -2;
  int pending_ = kNone;
};

class FileTextInput final : public TextInput {
 public:
  // The file should be opened in binary mode; the folding is done here.
  explicit FileTextInput(std::FILE* f) : file_(f) {}
  int ReadByte() override;
  // True when a read error (not the end of the file) was seen.
  bool failed() const { return error_ != 0; }
  // The system's error number of that read, taken when it failed.
  int error() const { return error_; }

 private:
  std::FILE* file_;
  CrLfFolder folder_;
  int error_ = 0;
};

class FileTextOutput final : public TextOutput {
 public:
  // The file should be opened in binary mode; LF becomes CR LF here.
  explicit FileTextOutput(std::FILE* f) : file_(f) {}
  void WriteString(std::string_view text) override;
  // True when any write error was seen; later writes are still attempted.
  bool failed() const { return failed_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

// Reads from an in-memory copy of the file's raw bytes.
class StringTextInput final : public TextInput {
 public:
  explicit StringTextInput(std::string raw) : raw_(std::move(raw)) {}
  int ReadByte() override;

 private:
  std::string raw_;
  size_t pos_ = 0;
  CrLfFolder folder_;
};

// Collects the raw bytes that a file would hold (LF stored as CR LF).
class StringTextOutput final : public TextOutput {
 public:
  void WriteString(std::string_view text) override;
  const std::string& str() const { return raw_; }

 private:
  std::string raw_;
};

// Appends `text` to `out` with each LF stored as CR LF.
void AppendDosText(std::string_view text, std::string& out);

}  // namespace tavlink
