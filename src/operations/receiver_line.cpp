#include "operations/receiver_line.h"

#include "link/serial_device.h"

namespace tavlink {

ReceiverLine ReceiverLine::OfPort(int portNumber, const ComDevice& device,
                                  std::string_view advice) {
  ReceiverLine line;
  line.portNumber = portNumber;
  line.devicePath = device.path;
  line.description = ComPortName(portNumber) + " (" + device.path + ")";
  line.shortName = ComPortName(portNumber);
  line.notFoundHint = PortLeadText(portNumber, device) + ": " + std::string(advice);
  line.byPort = true;
  return line;
}

ReceiverLine ReceiverLine::OfDevice(const std::string& path) {
  ReceiverLine line;
  line.devicePath = path;
  line.description = path;
  line.shortName = path;
  return line;
}

TransferOutcome RunSession(TransferView& view, const ReceiverLine& line, const SessionSetup& setup,
                           TransferRequest request) {
  DeviceHintReporter hinted(setup.errors, line.notFoundHint);
  const TransferEnvironment environment{setup.clock, hinted,
                                        [path = line.devicePath, make = setup.makeDevice] {
                                          return make ? make(path) : MakeSerialDeviceAt(path);
                                        },
                                        setup.trace};
  request.portNumber = line.portNumber;
  return RunTransfer(view, environment, request);
}

}  // namespace tavlink
