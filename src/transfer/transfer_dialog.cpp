#include "transfer/transfer_dialog.h"

#include <utility>

#include "link/frame.h"
#include "transfer/thread_priority.h"

namespace tavlink {
namespace {

using WorkerProcedure = void (*)(TransferDialog&);

WorkerProcedure WorkerOf(int operationCode) {
  switch (operationCode) {
    case OP_CONNECT:
      return ConnectWorker;
    case OP_UPGRADE:
      return UpgradeWorker;
    case OP_BACKUP:
      return BackupWorker;
    case OP_RESTORE:
      return RestoreWorker;
    case OP_WRITE_FACTORY:
      return WriteFactoryWorker;
    case OP_READ_USER_DATA:
      return ReadUserDataWorker;
    default:
      return nullptr;
  }
}

constexpr std::string_view kStopUpgradeQuestion =
    " It is very important time!  \n\n You want to stop the upgrade procedure?  ";

}  // namespace

TransferDialog::TransferDialog(TransferView& view, const TransferEnvironment& env)
    : port(env.makeDevice ? env.makeDevice() : nullptr, *env.clock, *env.errors),
      view_(view),
      clock_(*env.clock) {
  port.SetFrameTrace(env.trace);
}

TransferDialog::~TransferDialog() {
  if (worker_.joinable()) {
    // Normally the worker has already finished. If the window went away
    // early, ask the worker to stop at its next check point before waiting.
    int32_t running = TS_RUNNING;
    state.compare_exchange_strong(running, TS_CANCEL_REQUESTED);
    worker_.join();
  }
}

std::string_view TransferDialog::TitleOf(int operationCode) {
  switch (operationCode) {
    case OP_CONNECT:
      return "Connect to the receiver";
    case OP_UPGRADE:
      return "Upgrade software";
    case OP_BACKUP:
      return "Backup User Data";
    case OP_RESTORE:
      return "Restore User Data";
    case OP_WRITE_FACTORY:
      return "Write Factory Data";
    case OP_READ_USER_DATA:
      return "Read User Data";
    default:
      return "";
  }
}

void TransferDialog::Setup(int portNumberIn, int operationCode, std::span<uint8_t> answerBuffer) {
  portNumber = portNumberIn;
  operation = operationCode;
  answer = answerBuffer;
}

int TransferDialog::DoModal() {
  view_.RunModal(*this);
  return 2;  // the Cancel result, whatever happened
}

bool TransferDialog::OnInitDialog() {
  state = TS_RUNNING;
  port.Initialize(portNumber, kQueueSize, kQueueSize);
  std::string_view errorText;
  if (!port.SetMode(kModeString)) errorText = "Setup error";
  port.SetTimeout(kTimeoutMs);
  port.SetDriverTimeouts(0xFFFFFFFF, 0, 0, 0, 0);
  if (!port.Open()) errorText = "Open error";

  if (!errorText.empty()) {
    view_.ShowMessage(errorText, "ERROR", BoxButtons::kOk);
    outcome_ = TransferOutcome::kPortFailed;
    state = TS_FINISHED;
    view_.PostClose();
    return true;
  }

  state = TS_RUNNING;
  view_.SetTitle(TitleOf(operation));
  StartWorker();
  if (operation == OP_CONNECT) view_.SetProgressPos(50);
  return true;
}

void TransferDialog::StartWorker() {
  const WorkerProcedure procedure = WorkerOf(operation);
  if (procedure == nullptr) {
    // No procedure for this code: end at once rather than wait for a
    // worker that will never post its close.
    outcome_ = TransferOutcome::kFailed;
    state = TS_FINISHED;
    view_.PostClose();
    return;
  }
  worker_ = std::thread([this, procedure] {
    LowerCurrentThreadPriority();
    procedure(*this);
  });
}

void TransferDialog::OnCancel() {
  if (state.load() == TS_FINISHED) {
    view_.EndDialog();
    return;
  }
  if (operation == OP_UPGRADE &&
      view_.ShowMessage(kStopUpgradeQuestion, "", BoxButtons::kYesNo) != BoxAnswer::kYes) {
    return;  // the upgrade goes on
  }
  // The worker may have finished while the question was open; a finished
  // session must stay finished so that its close still ends the dialog.
  int32_t expected = state.load();
  while (expected != TS_FINISHED && !state.compare_exchange_weak(expected, TS_CANCEL_REQUESTED)) {
  }
  if (expected != TS_FINISHED) view_.SetStatusText("Closing Connection...");
}

void TransferDialog::OnTransferDone(int lParam) {
  const bool success = lParam == kDoneSuccess;
  auto box = [this](std::string_view text, std::string_view caption) {
    view_.ShowMessage(text, caption, BoxButtons::kOk);
  };
  switch (operation) {
    case OP_CONNECT:
      if (success) {
        view_.SetProgressPos(100);
        clock_.SleepFor(Clock::Duration(500));
      } else {
        if (!answer.empty()) answer[0] = 0;
        box("Connection error.", "Connect");
      }
      break;
    case OP_UPGRADE:
      if (success)
        box("The software upgraded successfully.   ", "Upgrade");
      else
        box("Software upgrade error!", "Upgrade");
      break;
    case OP_BACKUP:
      box(success ? "User data backuped successfully." : "User data backup error!",
          "Backup User Data");
      break;
    case OP_RESTORE:
      box(success ? "User data restored successfully.   " : "User data file has errors!",
          "Restore user data");
      break;
    case OP_WRITE_FACTORY:
      // A successful write stays silent; a failed one must not.
      if (!success) box("Factory data write error!", "Write Factory Data");
      break;
    default:
      break;
  }
}

void TransferDialog::Finish() {
  if (outcome_.load() == TransferOutcome::kNotRun) outcome_ = TransferOutcome::kSucceeded;
  state = TS_FINISHED;
  view_.PostClose();
}

void TransferDialog::StopEnding() {
  SendCode(port, FC_ABORT);
  Stopped();
}

void TransferDialog::FailureEnding() {
  SendCode(port, FC_ABORT);
  if (state.load() == TS_CANCEL_REQUESTED) {
    SendCode(port, FC_ABORT);
    Stopped();
    return;
  }
  ReportAndFinish(kDoneFailure, TransferOutcome::kFailed);
}

void TransferDialog::Stopped() {
  // A stopped connect is no connection, even when part of the answer had
  // arrived: no failure report will clear its first byte, so do it here
  // (the worker still owns the answer).
  if (operation == OP_CONNECT && !answer.empty()) answer[0] = 0;
  outcome_ = TransferOutcome::kStopped;
  Finish();
}

void TransferDialog::SuccessEnding() {
  ReportAndFinish(kDoneSuccess, TransferOutcome::kSucceeded);
}

void TransferDialog::ReportAndFinish(int lParam, TransferOutcome outcome) {
  outcome_ = outcome;
  view_.PostTransferDone(lParam);
  Finish();
}

void TransferDialog::SilentFinish(TransferOutcome outcome) {
  outcome_ = outcome;
  Finish();
}

}  // namespace tavlink
