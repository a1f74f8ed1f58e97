#pragma once
// The station's display: one row per receiver. On a terminal a live
// table on standard error, redrawn in place and never wider than the
// terminal:
//
//   COM1  /dev/ttyUSB0  Write Factory Data  block 12/32  err 0  0:15
//   COM2  /dev/ttyUSB1  Write Factory Data  Connecting...       0:15
//   COM3  /dev/ttyUSB2  Write Factory Data  failed: no answer   0:21
//
// Elsewhere one line per status change, prefixed with the receiver:
// "[COM1] Uploading...   block 3/32   error 0". Each receiver's session and
// command write through its own RowOutput; results go to standard output
// with the same prefix. Messages and results appear above a live table.
//
// Threading: every call may come from any thread.

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "cli/session_display.h"
#include "cli/terminal.h"

namespace tavlink::cli {

class StationBoard {
 public:
  struct Receiver {
    std::string name;    // "COM1", or the device path for --device
    std::string device;  // "/dev/ttyUSB0"
  };

  // `live`: a table on `terminal`'s standard error; otherwise prefixed
  // lines. `terminal` must outlive the board.
  StationBoard(Terminal& terminal, std::vector<Receiver> receivers, std::string operation,
               bool live);
  ~StationBoard();
  StationBoard(const StationBoard&) = delete;
  StationBoard& operator=(const StationBoard&) = delete;

  // The output of receiver `index`, valid as long as the board.
  RunOutput& Output(size_t index);
  // A quiet output of receiver `index`, for the looks at its line between
  // receivers: what they say is dropped, and their progress is kept in the
  // row without being shown, which keeps the last receiver's outcome.
  RunOutput& QuietOutput(size_t index);

  // Receiver `index` starts its operation (again): its row runs afresh.
  void Start(size_t index);

  // Marks receiver `index` done with `outcome` ("succeeded", "failed: ...").
  void Finish(size_t index, std::string_view outcome);

  // Redraws the table (a live board), for its clocks; call about once a second.
  void Paint();

  // Ends the table, so that what follows starts below it.
  void Close();

  // One row of the table for `width` columns (at most width - 1 characters).
  struct Row {
    std::string name, device, operation, status;
    int errors = 0;
    std::chrono::seconds elapsed{0};
    std::string outcome;  // empty while running
  };
  static std::string FormatRow(const Row& row, int width);

 private:
  class RowOutput;
  friend class RowOutput;

  void UpdateRow(size_t index, std::string_view status, int errors, std::chrono::seconds elapsed);
  void NoteStatus(size_t index, std::string_view status);
  void PrintAbove(size_t index, std::string_view text, bool result);
  // With the lock held: erase the table, and draw it again.
  void Erase();
  void Draw();

  Terminal& terminal_;
  const std::string operation_;
  const bool live_;
  std::mutex mutex_;
  std::vector<Row> rows_;
  std::vector<std::unique_ptr<RowOutput>> outputs_;
  std::vector<std::unique_ptr<RowOutput>> quietOutputs_;
  int drawn_ = 0;  // rows of the table on the screen now
  bool closed_ = false;
};

}  // namespace tavlink::cli
