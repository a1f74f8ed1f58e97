#pragma once
// The toolkit seam of the main window's commands. The command logic
// (MainLogic) reaches the user, the file system's chooser, the port dialog,
// the transfer window and the setting store only through this interface;
// the Qt front end, a native front end and the tests each implement it.
//
// Threading: every call is made on the user-interface thread and returns
// when the modal window it shows has been dismissed.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/port_choice.h"
#include "link/error_reporter.h"
#include "link/port_names.h"
#include "link/serial_ports.h"
#include "operations/receiver_line.h"
#include "settings/setting_store.h"
#include "transfer/transfer_runner.h"

namespace tavlink {

class ReceiverDataBlock;
class TransferFile;

// One entry of a file dialog's type list: "ROM image files (*.bin)".
struct FileFilter {
  std::string label;    // shown as given, pattern included
  std::string pattern;  // "*.bin"
};

// What a file dialog offers: its initial name and its type list.
struct FileChoice {
  std::string initialName;
  std::vector<FileFilter> filters;
};

class LinkShell {
 public:
  virtual ~LinkShell() = default;

  // An application message box: the executable's name as caption and the
  // exclamation icon. Esc and the close box answer Cancel (OK/Cancel) or No.
  virtual BoxAnswer ShowAppMessage(std::string_view text, BoxButtons buttons) = 0;

  // The file-error box (stop icon, OK) after a read or write error; `text`
  // names the file.
  virtual void ShowFileError(std::string_view text) = 0;

  // The open form of the file dialog: accepts names of files that do not
  // exist, asks nothing before a file is replaced, adds no extension.
  // Returns the chosen full path, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileChoice& choice) = 0;

  // The port setup dialog showing `offer` (offer.currentPort 1 shows COM1,
  // any other value COM2; each port's device list). Returns the port (1 or
  // 2) and the devices chosen after OK, nothing after Cancel.
  virtual std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) = 0;

  // The serial devices of this machine, as they are now.
  virtual std::vector<SerialDeviceInfo> SerialDevices() = 0;

  // Runs one transfer session modally on `device` (where the request's
  // port leads) and returns how it ended. The buffers, file and block of
  // `request` are the worker's until it returns.
  virtual TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) = 0;

  // The About box, run modally.
  virtual void ShowAbout() = 0;

  // The persistent settings.
  virtual SettingStore& Settings() = 0;
};

// The device port n opens for the desktop tool: TAVLINK_COM<n>, else the
// stored "Devices/COM<n>", else the platform's own.
ComDevice DeviceOfPort(SettingStore& settings, int portNumber);

// Where the desktop tool's sessions on port n talk when it leads to `device`,
// with the desktop's advice under "no such device".
ReceiverLine DesktopLine(int portNumber, const ComDevice& device);

// Runs `request` on `device` with the system clock: the session shows in
// `view`, device errors go to `errors` with the port's device hint. What a
// shell's RunTransfer does once it has made its transfer window.
TransferOutcome RunTransferOn(TransferView& view, ErrorReporter& errors,
                              const TransferRequest& request, const ComDevice& device);

}  // namespace tavlink

namespace tavlink::app {

// Lists the machine's serial devices (ListSerialDevices): what a front
// end's shell asks each time the port dialog opens.
using DeviceLister = std::function<std::vector<SerialDeviceInfo>()>;

}  // namespace tavlink::app
