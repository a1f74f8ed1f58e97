// The three file commands: Upgrade Software, Read User Data and Write
// Factory Data. Each chooses its file, then runs its operation (written once
// for every front end, in src/operations) with this logic as its host.
#include <memory>
#include <string>

#include "app/main_logic.h"
#include "files/file_error.h"
#include "files/save_target.h"
#include "operations/receiver_operations.h"

namespace tavlink {

std::string FileErrorText(std::string_view verb, const std::string& path, int error) {
  std::string text = "An error occurred while " + std::string(verb) + " " + path + ".";
  if (error != 0) text += "\n" + DescribeFileError(error);
  return text;
}

void MainLogic::UpgradeSoftware() {
  if (!PortChosen()) return;
  const std::optional<std::string> path = shell_.ChooseFile(RomImageChoice());
  if (!path) return;
  tavlink::UpgradeSoftware(*this, *path);
}

void MainLogic::ReadUserData() {
  if (!PortChosen() || !ConfirmReceiverOff(*this)) return;
  const std::optional<std::string> path = shell_.ChooseFile(DataTextChoice());
  if (!path) return;
  // Held for the whole command; it changes only when a valid block has
  // arrived, and a failed read never destroys an existing file.
  int error = 0;
  const std::unique_ptr<SaveTarget> target = SaveTarget::Prepare(*path, {}, {}, &error);
  if (!target) return;  // a file that cannot be written ends the command silently
  ReadUserDataToFile(*this, *target, *path, block_);
}

void MainLogic::WriteFactoryData() {
  if (!PortChosen()) return;
  const std::optional<std::string> path = shell_.ChooseFile(DataTextChoice());
  if (!path) return;
  if (LoadDataText(*this, *path, block_) != LoadResult::kLoaded) return;
  if (!ConfirmFactoryData(*this, *path, block_)) return;
  tavlink::WriteFactoryData(*this, block_);
}

}  // namespace tavlink
