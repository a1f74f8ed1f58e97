#pragma once
// TransferDialog: one operation against the receiver, run modally.
//
// The class and its calls keep the names of the Windows dialog the tool
// was first built as (DoModal, OnInitDialog, OnCancel, EndDialog,
// TransferDone), in every front end: "modal" means the caller's thread runs
// the session's events until it ends, "dialog" the session's window (a
// window, a console line, a test's record) reached only through its
// TransferView, and a "posted" message an event queued for that thread.
//
// The caller constructs it, calls Setup (and SetDataFile or SetDataBlock),
// runs DoModal, reads its buffer, file or block, and destroys the dialog,
// which joins the worker and closes the port (RunTransfer does all of it).
// OnInitDialog opens the port ("96,n,8,1", 20,000 ms, driver time-outs,
// 115200 baud) and starts the worker of the operation on its own thread at
// the lowest priority; the worker reports through the view and ends by
// posting TransferDone (where it reports) and a close.
//
// Threading: the On* handlers run on the user-interface thread; the worker
// reaches the dialog only through the state (atomic), the view's blocking
// calls and its posted events, and the port, answer, file and block, which
// the user-interface thread leaves alone while it waits.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "data/receiver_data_block.h"
#include "link/clock.h"
#include "link/error_reporter.h"
#include "link/serial_device.h"
#include "link/serial_port.h"
#include "transfer/operations.h"
#include "transfer/transfer_file.h"
#include "transfer/transfer_view.h"

namespace tavlink {

// Dialog states, shared with the worker.
inline constexpr int32_t TS_RUNNING = 0;
inline constexpr int32_t TS_CANCEL_REQUESTED = 1;
inline constexpr int32_t TS_FINISHED = 2;

// TransferDone's lParam values.
inline constexpr int kDoneFailure = 0;
inline constexpr int kDoneSuccess = 1;
inline constexpr int kDoneBadFile = 2;

// The status a session shows while it reaches the receiver (every worker's
// first), and the one of a stop under way.
inline constexpr std::string_view kConnectingStatus = "Connecting...";
inline constexpr std::string_view kClosingStatus = "Closing Connection...";

// The factory data block goes to the receiver in pieces of this many bytes.
inline constexpr size_t kFactoryPiece = 2048;

// How the session ended, for callers that need more than the result boxes
// (the command line's exit status, Read User Data's scratch block).
enum class TransferOutcome {
  kNotRun,      // still running, or never started
  kPortFailed,  // "Setup error" / "Open error"; no worker ran
  kSucceeded,   // success report, or a silent successful finish
  kFailed,      // failure report, or a silent failed finish
  kStopped,     // stopped at the user's request
  kFileFailed,  // the caller's file could not be read: no result box; the caller tells
  kNoAnswer,    // read user data: the receiver left the request unanswered (no box)
};

// What a session needs from outside: the clock of its pauses and polls, the
// device error box, and its serial device. Clock and reporter must outlive
// the session.
struct TransferEnvironment {
  Clock& clock;
  ErrorReporter& errors;
  // Makes the unopened device of the session's port: the front end has
  // resolved COM<n> to a device before the session starts.
  std::function<std::unique_ptr<SerialDevice>()> makeDevice;
  // Optional frame observer attached to the port (--trace).
  FrameTrace* trace = nullptr;
};

class TransferDialog {
 public:
  static constexpr uint32_t kQueueSize = 8192;
  static constexpr uint32_t kTimeoutMs = 20000;
  static constexpr const char* kModeString = "96,n,8,1";

  // `view` and the environment's clock and reporter must outlive the dialog.
  TransferDialog(TransferView& view, const TransferEnvironment& environment);
  // Joins the worker if one was started, then the port closes.
  virtual ~TransferDialog();

  TransferDialog(const TransferDialog&) = delete;
  TransferDialog& operator=(const TransferDialog&) = delete;

  // Stores the port number, operation and the answer buffer (operation 16
  // only; the connect worker never writes past its end).
  void Setup(int portNumber, int operationCode, std::span<uint8_t> answerBuffer = {});
  // The caller's open file (operations 18, 20, 22) and data block (30, 32).
  void SetDataFile(TransferFile* file) { dataFile_ = file; }
  void SetDataBlock(ReceiverDataBlock* block) { dataBlock_ = block; }

  // Runs the window modally through the view; always returns 2 (Cancel).
  int DoModal();

  // --- user-interface thread handlers, called by the view -----------------
  bool OnInitDialog();
  // Cancel, Esc and a close. May also be called from the worker's thread
  // (a test standing in for the user at a precise moment).
  void OnCancel();
  // Asks the worker to stop at its next check point, without the upgrade's
  // question (what Cancel does once it is answered Yes): a front end's own
  // limit on the session's time. Nothing happens once the session finished.
  void RequestStop();
  void OnTransferDone(int lParam);

  TransferOutcome Outcome() const { return outcome_.load(); }
  int32_t State() const { return state_.load(); }

  // --- used by the workers (worker thread) --------------------------------
  SerialPort& Port() { return port_; }
  std::span<uint8_t> Answer() const { return answer_; }
  TransferFile* DataFile() const { return dataFile_; }
  ReceiverDataBlock* DataBlock() const { return dataBlock_; }

  void SetStatus(std::string_view text) { view_.SetStatusText(text); }
  void SetProgressRange(int upper) { view_.SetProgressRange(upper); }
  void SetProgressPos(int position) { view_.SetProgressPos(position); }
  BoxAnswer ShowMessage(std::string_view text, std::string_view caption, BoxButtons buttons) {
    return view_.ShowMessage(text, caption, buttons);
  }
  void Pause(uint32_t milliseconds) { clock_.SleepFor(Clock::Duration(milliseconds)); }
  bool CancelRequested() const { return state_.load() == TS_CANCEL_REQUESTED; }

  // The endings every worker closes with.
  void Finish();         // state finished, post close
  void StopEnding();     // FC_ABORT, Finish; no report
  void FailureEnding();  // FC_ABORT; on a cancel one more and Finish; else report 0
  void SuccessEnding();  // report 1, Finish
  // The caller's file could not be read: FC_ABORT, then Finish without a
  // report, so that the caller's own file error box names the file (on a
  // cancel, as FailureEnding does).
  void FileFailureEnding();
  void ReportAndFinish(int lParam, TransferOutcome outcome);
  void SilentFinish(TransferOutcome outcome);

 private:
  void StartWorker();
  // The end of a stop: the session is over without a report.
  void Stopped();

  TransferView& view_;
  Clock& clock_;
  SerialPort port_;
  ReceiverDataBlock* dataBlock_ = nullptr;
  std::atomic<int32_t> state_{TS_RUNNING};
  std::span<uint8_t> answer_;
  TransferFile* dataFile_ = nullptr;
  int portNumber_ = 0;
  const Operation* operation_ = nullptr;  // null for a code outside the table
  std::atomic<TransferOutcome> outcome_{TransferOutcome::kNotRun};
  std::thread worker_;  // last: joined first
};

// The six worker procedures; each takes the dialog and ends with Finish.
void ConnectWorker(TransferDialog& dialog);
void ReadUserDataWorker(TransferDialog& dialog);
void BackupWorker(TransferDialog& dialog);
void UpgradeWorker(TransferDialog& dialog);
void WriteFactoryWorker(TransferDialog& dialog);
void RestoreWorker(TransferDialog& dialog);

}  // namespace tavlink
