#include "transfer/operations.h"

#include <algorithm>
#include <array>

#include "link/frame.h"
#include "transfer/transfer_dialog.h"

namespace tavlink {
namespace {

// The upgrade never reports success (it ends silently after "Transfer
// Complete..."), and its success box is kept for a receiver-side report
// that would. A failed factory write is reported: the technician must not
// take a receiver off the line believing it was written.
constexpr std::array<Operation, 6> kOperations = {{
    {OP_CONNECT, "Connect to the receiver", ConnectWorker, "Connect", "", "Connection error."},
    {OP_UPGRADE, "Upgrade software", UpgradeWorker, "Upgrade",
     "The software upgraded successfully.   ", "Software upgrade error!"},
    {OP_BACKUP, "Backup User Data", BackupWorker, "Backup User Data",
     "User data backuped successfully.", "User data backup error!"},
    {OP_RESTORE, "Restore User Data", RestoreWorker, "Restore user data",
     "User data restored successfully.   ", "User data file has errors!"},
    {OP_WRITE_FACTORY, "Write Factory Data", WriteFactoryWorker, "Write Factory Data", "",
     "Factory data write error!"},
    {OP_READ_USER_DATA, "Read User Data", ReadUserDataWorker, "", "", ""},
}};

}  // namespace

std::span<const Operation> Operations() {
  return kOperations;
}

const Operation* FindOperation(int code) {
  for (const Operation& operation : kOperations)
    if (operation.code == code) return &operation;
  return nullptr;
}

}  // namespace tavlink
