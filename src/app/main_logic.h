#pragma once
// The main window's behaviour without a toolkit: start-up (the device
// mappings and the stored port), the port choice, Connect and the three
// file commands. The window layer calls one operation per command and then
// shows Info(); everything the commands need of the user or the system goes
// through the LinkShell.
//
// Threading: user-interface thread only. While a command runs a transfer,
// the worker uses the request's buffer, file or block; the command touches
// them again only after LinkShell::RunTransfer has returned.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/link_shell.h"
#include "data/receiver_data_block.h"
#include "operations/operation_host.h"

namespace tavlink {

// The texts of the main window's receiver information.
inline constexpr std::string_view kUnavailable = "Unavailable.";
inline constexpr std::string_view kConnectionFailed = "Connection failed.";
inline constexpr std::string_view kConnectionEstablished = "Connection established.";

// The system command that opens the About box ("&About TAVLINK...").
inline constexpr int kAboutSystemCommand = 16;

// Said, before anything else, by a command that needs a port while none is
// chosen (port 0, which opens nothing).
inline constexpr std::string_view kNoPortChosen =
    "\n  No serial port is chosen.  \n\n  Choose COM1 or COM2 with Setup Comm.  ";

// The file-error box's text after reading or writing `path` failed with
// `error` (0 when unknown).
std::string FileErrorText(std::string_view verb, const std::string& path, int error);

// The file dialogs' initial names and type lists.
FileChoice RomImageChoice();
FileChoice DataTextChoice();

struct ReceiverInfo {
  std::string softwareVersion{kUnavailable};
  std::string hardwareVersion{kUnavailable};
  std::string status{kConnectionFailed};
};

// The desktop tool's operations run through the shell: its boxes are the
// questions and messages, its transfer window the session; a file that
// cannot be opened ends the command silently.
class MainLogic final : private OperationHost {
 public:
  // `shell` and `block` (the application's one data block) must outlive
  // this object.
  MainLogic(LinkShell& shell, ReceiverDataBlock& block);

  MainLogic(const MainLogic&) = delete;
  MainLogic& operator=(const MainLogic&) = delete;

  // The main window's initialisation, before it is first shown:
  // ReadPortSetting. Never connects.
  void Initialize();

  // Loads "Port" into selectedPort; when it cannot be read or is 0 (no
  // port chosen), sets 0 and asks with ChoosePort (result ignored).
  void ReadPortSetting();

  // Runs the port dialog, with each port's devices listed afresh; after OK
  // selectedPort becomes 1 or 2 and each port's chosen device is stored
  // ("Devices/COM<n>"; the platform's own device removes the mapping).
  // Stores selectedPort whatever the answer. True after OK.
  bool ChoosePort();

  // Command 1001: ChoosePort, then Connect after OK.
  void SetupComm();

  // Runs the connect operation on selectedPort and updates Info().
  void Connect();

  // Commands 1000, 1002 and 1003.
  void UpgradeSoftware();
  void ReadUserData();
  void WriteFactoryData();

  // A system command: the About entry (16, any of the four low bits set)
  // opens the About box and returns true; anything else returns false for
  // the default processing.
  bool SystemCommand(int command);

  const ReceiverInfo& Info() const { return info_; }

  // 1 for COM1, 2 for COM2, 0 while none is chosen; any stored number is
  // used unchanged.
  int32_t selectedPort = 0;

 private:
  // OperationHost.
  bool Ask(Question question, std::string_view text) override;
  void Tell(const Notice& notice) override;
  void FileFailed(FileAction action, const std::string& path, int error) override;
  TransferOutcome RunSession(const TransferRequest& request) override;

  // True when a port is chosen; otherwise says so (kNoPortChosen).
  bool PortChosen();

  // Where port n leads: as DeviceOfPort, with a choice that could not be
  // stored in force for this run.
  ComDevice DeviceOf(int portNumber);

  // Stores the devices chosen in the port dialog.
  void StoreDevices(const PortChoice& choice);

  LinkShell& shell_;
  ReceiverDataBlock& block_;
  ReceiverInfo info_;
  // Per port (COM1, COM2) a device chosen this run whose setting could not
  // be written ("" for the platform's own).
  std::array<std::optional<std::string>, 2> unstoredDevices_;
};

}  // namespace tavlink
