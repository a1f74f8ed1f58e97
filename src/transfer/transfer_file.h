#pragma once
// The caller's open file as a transfer sees it: the ROM image an upgrade
// sends, the file a backup fills, the file a restore sends. The caller opens,
// positions and closes it; the worker only reads or writes at the current
// position. Used by the worker thread while the caller waits.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace tavlink {

class TransferFile {
 public:
  virtual ~TransferFile() = default;

  // The file's length in bytes, or nothing when it cannot be told.
  virtual std::optional<uint64_t> Length() = 0;

  // Reads up to `n` bytes at the current position: the count read (0 at the
  // end), or nothing on a read error.
  virtual std::optional<size_t> Read(uint8_t* buffer, size_t n) = 0;

  // Writes all `n` bytes at the current position and pushes them to the
  // system; false on any error (a full disk included).
  virtual bool Write(const uint8_t* buffer, size_t n) = 0;
};

// A TransferFile over a C stream that the caller owns.
class StdioTransferFile final : public TransferFile {
 public:
  explicit StdioTransferFile(std::FILE* file) : file_(file) {}
  std::optional<uint64_t> Length() override;
  std::optional<size_t> Read(uint8_t* buffer, size_t n) override;
  bool Write(const uint8_t* buffer, size_t n) override;

  // The errno of the last call that failed, 0 while none did; for the
  // caller's file error box once the session is over.
  int error() const { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

}  // namespace tavlink
