// Start-up, the port choice and Connect.
#include "app/main_logic.h"

#include <algorithm>
#include <array>

#include "link/clock.h"
#include "link/error_reporter.h"
#include "link/port_names.h"
#include "link/serial_device.h"

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

std::string PortDeviceHint(int portNumber, const ComDevice& device) {
  return ComPortName(portNumber) + " opens " + device.path + " (" +
         DescribeSource(portNumber, device.source) +
         "): choose the port and its device in Setup Comm, or name the device in " +
         ComEnvironmentName(portNumber) + ".";
}

TransferOutcome RunTransferOn(TransferView& view, ErrorReporter& errors,
                              const TransferRequest& request, const ComDevice& device) {
  DeviceHintReporter hinted(errors, PortDeviceHint(request.portNumber, device));
  const TransferEnvironment environment{SystemClock(), hinted,
                                        [path = device.path] { return MakeSerialDeviceAt(path); }};
  return tavlink::RunTransfer(view, environment, request);
}

void MainLogic::Initialize() {
  ReadPortSetting();
}

TransferOutcome MainLogic::RunTransfer(const TransferRequest& request) {
  return shell_.RunTransfer(request, DeviceOf(request.portNumber));
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
  std::array<uint8_t, kAnswerSize> answer{};
  TransferRequest request;
  request.portNumber = selectedPort;
  request.operation = OP_CONNECT;
  request.answer = answer;
  RunTransfer(request);

  if (answer[0] != 0) {
    const std::span<const uint8_t> area(answer);
    info_.hardwareVersion = VersionText(area, kHardwareVersionAt);
    info_.softwareVersion = VersionText(area, kSoftwareVersionAt);
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
