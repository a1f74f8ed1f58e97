// Start-up, the port choice and Connect.
#include "app/main_logic.h"


#include "link/clock.h"
#include "link/error_reporter.h"
#include "link/port_names.h"
#include "operations/receiver_operations.h"

namespace tavlink {

FileChoice RomImageChoice() {
  return {"rom.bin", {{"ROM image files (*.bin)", "*.bin"}, {"All files (*.*)", "*.*"}}};
}

FileChoice DataTextChoice() {
  return {"factory_data.txt",
          {{"Factory data files (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}}};
}

MainLogic::MainLogic(LinkShell& shell, ReceiverDataBlock& block) : shell_(shell), block_(block) {}

ComDevice DeviceOfPort(SettingStore& settings, int portNumber) {
  return ResolveComDevice(portNumber, settings.ReadDevice(portNumber));
}

ReceiverLine DesktopLine(int portNumber, const ComDevice& device) {
  return ReceiverLine::OfPort(
      portNumber, device,
      "choose the port and its device in Setup Comm, or name the device in " +
          ComEnvironmentName(portNumber) + ".");
}

TransferOutcome RunTransferOn(TransferView& view, ErrorReporter& errors,
                              const TransferRequest& request, const ComDevice& device) {
  return RunSession(view, DesktopLine(request.portNumber, device), {SystemClock(), errors},
                    request);
}

void MainLogic::Initialize() {
  ReadPortSetting();
}

bool MainLogic::Ask(Question question, std::string_view text) {
  // A data text without a record is written as any other: the desktop tool
  // has always sent what the reader accepts.
  if (question == Question::kWriteEmptyData) return true;
  return shell_.ShowAppMessage(text, BoxButtons::kOkCancel) == BoxAnswer::kOk;
}

void MainLogic::Tell(const Notice& notice) {
  shell_.ShowAppMessage(notice.text, BoxButtons::kOk);
}

void MainLogic::FileFailed(FileAction action, const std::string& path, int error) {
  // A chosen file that cannot be opened ends the command silently.
  if (action == FileAction::kOpen) return;
  shell_.ShowFileError(
      FileErrorText(action == FileAction::kRead ? "reading" : "writing", path, error));
}

TransferOutcome MainLogic::RunSession(const TransferRequest& request) {
  TransferRequest onPort = request;
  onPort.portNumber = selectedPort;
  return shell_.RunTransfer(onPort, DeviceOf(selectedPort));
}

bool MainLogic::PortChosen() {
  if (selectedPort > 0) return true;
  shell_.ShowAppMessage(kNoPortChosen, BoxButtons::kOk);
  return false;
}

ComDevice MainLogic::DeviceOf(int portNumber) {
  if (portNumber >= 1 && portNumber <= 2) {
    if (const auto& unstored = unstoredDevices_[portNumber - 1])
      return ResolveComDevice(portNumber, *unstored);
  }
  return DeviceOfPort(shell_.Settings(), portNumber);
}

void MainLogic::StoreDevices(const PortChoice& choice) {
  for (int port : {1, 2}) {
    const std::optional<std::string>& chosen = choice.devices[port - 1];
    if (!chosen) continue;
    // The platform's own device needs no mapping.
    const std::string setting = *chosen == DefaultComDevicePath(port) ? "" : *chosen;
    std::optional<std::string>& unstored = unstoredDevices_[port - 1];
    const std::string now = unstored ? *unstored : shell_.Settings().ReadDevice(port).value_or("");
    if (setting == now) continue;
    if (shell_.Settings().WriteDevice(port, setting)) {
      unstored.reset();
    } else {
      unstored = setting;
    }
  }
}

void MainLogic::ReadPortSetting() {
  // 0 is what a cancelled first choice stores: no port chosen, so ask again
  // rather than open COM0 on every run.
  if (auto stored = shell_.Settings().ReadPort(); stored && *stored != 0) {
    selectedPort = *stored;  // used unchanged, even outside 1..2
    return;
  }
  selectedPort = 0;
  ChoosePort();
}

bool MainLogic::ChoosePort() {
  PortDialogOffer offer;
  offer.currentPort = selectedPort;
  const std::vector<SerialDeviceInfo> devices = shell_.SerialDevices();
  for (int port : {1, 2}) offer.devices[port - 1] = OfferDevices(port, DeviceOf(port), devices);
  const std::optional<PortChoice> chosen = shell_.RunPortDialog(offer);
  if (chosen) {
    selectedPort = (chosen->port == 1) ? 1 : 2;
    StoreDevices(*chosen);
  }
  // Stored after Cancel too; a failed write keeps the choice for this run.
  shell_.Settings().WritePort(selectedPort);
  return chosen.has_value();
}

void MainLogic::SetupComm() {
  if (ChoosePort()) Connect();
}

void MainLogic::Connect() {
  const ConnectResult result = ConnectToReceiver(*this);
  if (result.connected) {
    info_.hardwareVersion = result.hardwareVersion;
    info_.softwareVersion = result.softwareVersion;
    info_.status = kConnectionEstablished;
  } else {
    info_ = ReceiverInfo{};
  }
}

bool MainLogic::SystemCommand(int command) {
  if ((command & ~0xF) != kAboutSystemCommand) return false;
  shell_.ShowAbout();
  return true;
}

}  // namespace tavlink
