#pragma once
// The six operations on a receiver, each written once for every front end:
// the request, the file checks, the session, the save and the outcome. A
// front end only presents: it asks its questions, shows its messages and
// runs its transfer window through its OperationHost, and shows the results
// these calls return.
//
// The operations that serve several receivers at once (the command line's
// factory line) are split where the front ends differ: the checks made once
// for all (CheckRomImageFile, LoadDataText, ConfirmFactoryData,
// ConfirmReceiverOff) and the part each receiver runs on its own.
//
// Threading: the caller's user-interface thread; one host per receiver.

#include <cstdint>
#include <optional>
#include <string>

#include "operations/operation_host.h"

namespace tavlink {

class ReceiverDataBlock;
class SaveTarget;

// How many records a block holds, each count within its table's capacity
// (as the writer counts them), and its antenna configuration.
struct BlockCounts {
  int satellites = 0;
  int transponders = 0;
  int services = 0;
  int antennaConfig = -1;

  bool Empty() const { return satellites + transponders + services == 0; }
};
BlockCounts CountsOf(const ReceiverDataBlock& block);

// --- connect ---------------------------------------------------------------

struct ConnectResult {
  TransferOutcome outcome = TransferOutcome::kNotRun;
  bool connected = false;  // the answer's first byte was not 0
  std::string softwareVersion;
  std::string hardwareVersion;
};
ConnectResult ConnectToReceiver(OperationHost& host);

// --- upgrade software ------------------------------------------------------

// Opens the ROM image `path` and checks its header: the image's length, or
// nothing after telling the host why (a file it cannot open or read, or
// the wrong-image notice for a wrong header or an image too long to send).
std::optional<uint64_t> CheckRomImageFile(OperationHost& host, const std::string& path);

struct UpgradeResult {
  TransferOutcome outcome = TransferOutcome::kNotRun;  // kNotRun: refused, nothing sent
  uint64_t bodyBytes = 0;                              // what was to be sent: the image body
};
// Checks the ROM image `path` on a stream of its own and sends its body. A
// read error of the image during the session is told as a file error, in
// place of the session's own failure box.
UpgradeResult UpgradeSoftware(OperationHost& host, const std::string& path);

// --- read user data --------------------------------------------------------

// Asks the technician to turn the receiver off first; true to go on.
bool ConfirmReceiverOff(OperationHost& host);

// Reads the receiver's user data into `block`, which changes only when the
// read succeeded (a failed or stopped read leaves it as it was; the bytes a
// shorter answer does not reach keep what `block` held).
TransferOutcome ReceiveUserData(OperationHost& host, ReceiverDataBlock& block);

struct SavedText {
  bool saved = false;
  std::string text;  // the bytes saved
};
// Saves the data text of `block` into `target` (prepared for `path`):
// nothing, after the not-valid notice, for a block without its magic, or
// after a file error when it cannot be written; once saved, the notice that
// the reader would refuse it, when it would.
SavedText SaveUserDataText(OperationHost& host, SaveTarget& target, const std::string& path,
                           const ReceiverDataBlock& block);

struct UserDataRead {
  TransferOutcome outcome = TransferOutcome::kNotRun;
  SavedText saved;
};
// ReceiveUserData, then SaveUserDataText after a read that succeeded; after
// one that did not, the notice that the read did not finish and `path` is
// unchanged (or was not created).
UserDataRead ReadUserDataToFile(OperationHost& host, SaveTarget& target, const std::string& path,
                                ReceiverDataBlock& block);

// --- write factory data ----------------------------------------------------

enum class LoadResult {
  kLoaded,      // the block holds the text
  kFileFailed,  // the file could not be opened or read (told)
  kRefused,     // the reader refused it (its message told); the block holds what it stored
};
// Reads the data text `path` into `block` with the reader.
LoadResult LoadDataText(OperationHost& host, const std::string& path, ReceiverDataBlock& block);

// Before `block` (read from `path`) is written: a block without a single
// record empties the receiver's data, so that is asked. True to go on.
bool ConfirmFactoryData(OperationHost& host, const std::string& path,
                        const ReceiverDataBlock& block);

// Writes `block` into the receiver as factory data.
TransferOutcome WriteFactoryData(OperationHost& host, ReceiverDataBlock& block);

// --- backup and restore ----------------------------------------------------

struct BackupResult {
  TransferOutcome outcome = TransferOutcome::kNotRun;
  bool saved = false;  // the backup is in its file
  uint64_t bytes = 0;  // its length
};
// Backs the user data up into `target` (prepared for `path`), which is
// committed only after a backup that succeeded.
BackupResult BackupUserData(OperationHost& host, SaveTarget& target, const std::string& path);

struct RestoreResult {
  TransferOutcome outcome = TransferOutcome::kNotRun;  // kNotRun: the file could not be opened
  uint64_t bytes = 0;                                  // the restore file's length
};
// Opens the restore file `path` and sends it.
RestoreResult RestoreUserData(OperationHost& host, const std::string& path);

}  // namespace tavlink
