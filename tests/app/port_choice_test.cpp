// The device list the port dialog offers for a port.
#include "app/port_choice.h"

#include <gtest/gtest.h>

namespace tavlink {
namespace {

using Source = ComDevice::Source;

const std::string kById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

std::vector<SerialDeviceInfo> Machine() {
  SerialDeviceInfo board;
  board.path = board.kernelName = "/dev/ttyS0";
  board.description = "16550A UART";
  SerialDeviceInfo ftdi{kById,  "/dev/ttyUSB0",    "FTDI FT232R USB UART",
                        "FTDI", "FT232R USB UART", "0403",
                        "6001", "A50285BI"};
  SerialDeviceInfo ch340{"/dev/ttyUSB1", "/dev/ttyUSB1", "USB Serial", "",
                         "USB Serial",   "1a86",         "7523",       ""};
  return {board, ftdi, ch340};
}

std::vector<std::string> Texts(const PortDevices& offer) {
  std::vector<std::string> texts;
  for (const DeviceOption& option : offer.options) texts.push_back(option.text);
  return texts;
}

TEST(PortChoiceTest, OwnDeviceComesFirstThenEveryOtherDeviceWithItsDetails) {
  const PortDevices offer = OfferDevices(2, {"/dev/ttyS1", Source::kDefault}, Machine());
  EXPECT_EQ(Texts(offer), (std::vector<std::string>{
                              "/dev/ttyS1 (default)",
                              "/dev/ttyS0: 16550A UART",
                              "/dev/ttyUSB0: FTDI FT232R USB UART, 0403:6001, serial A50285BI",
                              "/dev/ttyUSB1: USB Serial, 1a86:7523",
                          }));
  ASSERT_EQ(offer.options.size(), 4u);
  EXPECT_EQ(offer.current, 0u);
  EXPECT_FALSE(offer.fixed);
  EXPECT_EQ(offer.options[0].device.source, Source::kDefault);
  // The adapter is opened by its stable name.
  EXPECT_EQ(offer.options[2].device.path, kById);
  EXPECT_EQ(offer.options[2].device.source, Source::kSetting);
}

TEST(PortChoiceTest, OwnDeviceThatIsListedAppearsOnceWithItsDetails) {
  const PortDevices offer = OfferDevices(1, {"/dev/ttyS0", Source::kDefault}, Machine());
  ASSERT_EQ(offer.options.size(), 3u);
  EXPECT_EQ(offer.options[0].text, "/dev/ttyS0: 16550A UART (default)");
  EXPECT_EQ(offer.options[0].device.path, "/dev/ttyS0");
}

TEST(PortChoiceTest, StoredDeviceIsTheCurrentEntry) {
  const PortDevices offer = OfferDevices(2, {kById, Source::kSetting}, Machine());
  ASSERT_EQ(offer.options.size(), 4u);
  EXPECT_EQ(offer.current, 2u);
  // Stored as the platform's own device: the default entry.
  EXPECT_EQ(OfferDevices(2, {"/dev/ttyS1", Source::kSetting}, Machine()).current, 0u);
}

TEST(PortChoiceTest, StoredDeviceThatIsMissingStaysOnOffer) {
  const PortDevices offer =
      OfferDevices(2, {"/dev/serial/by-id/usb-gone-if00-port0", Source::kSetting}, Machine());
  ASSERT_EQ(offer.options.size(), 5u);
  EXPECT_EQ(offer.current, 4u);
  EXPECT_EQ(offer.options[4].text, "/dev/serial/by-id/usb-gone-if00-port0 (not found)");
  EXPECT_EQ(offer.options[4].device.source, Source::kSetting);
}

TEST(PortChoiceTest, StoredKernelNameOfAnAdapterIsKeptAsStored) {
  // Stored by hand as /dev/ttyUSB0: offered as it stands, not silently
  // turned into the by-id name.
  const PortDevices offer = OfferDevices(2, {"/dev/ttyUSB0", Source::kSetting}, Machine());
  ASSERT_EQ(offer.options.size(), 5u);
  EXPECT_EQ(offer.current, 4u);
  EXPECT_EQ(offer.options[4].device.path, "/dev/ttyUSB0");
  EXPECT_EQ(offer.options[4].text,
            "/dev/ttyUSB0: FTDI FT232R USB UART, 0403:6001, serial A50285BI");
}

TEST(PortChoiceTest, EnvironmentDeviceIsTheOneFixedEntry) {
  const PortDevices offer = OfferDevices(1, {kById, Source::kEnvironment}, Machine());
  ASSERT_EQ(offer.options.size(), 1u);
  EXPECT_TRUE(offer.fixed);
  EXPECT_EQ(offer.options[0].device.path, kById);
  EXPECT_EQ(offer.options[0].text, kById +
                                       ": FTDI FT232R USB UART, 0403:6001, serial A50285BI "
                                       "(environment TAVLINK_COM1)");
  EXPECT_EQ(OfferDevices(1, {"/dev/pts/4", Source::kEnvironment}, {}).options[0].text,
            "/dev/pts/4 (environment TAVLINK_COM1)");
}

TEST(PortChoiceTest, NoDevicesStillOffersTheOwnDevice) {
  const PortDevices offer = OfferDevices(1, {"/dev/ttyS0", Source::kDefault}, {});
  ASSERT_EQ(offer.options.size(), 1u);
  EXPECT_EQ(offer.options[0].text, "/dev/ttyS0 (default)");
}

// COM1: its own device, then an adapter; COM2: fixed by the environment.
PortDialogOffer TwoPortOffer() {
  PortDialogOffer offer;
  offer.devices[0].options = {{{"/dev/ttyS0", Source::kDefault}, "/dev/ttyS0 (default)"},
                              {{kById, Source::kSetting}, "/dev/ttyUSB0"}};
  offer.devices[1].options = {
      {{"/dev/pts/4", Source::kEnvironment}, "/dev/pts/4 (environment TAVLINK_COM2)"}};
  offer.devices[1].fixed = true;
  return offer;
}

TEST(PortChoiceTest, OptionAtAnswersOnlyForAnEntryOfTheList) {
  const PortDialogOffer offer = TwoPortOffer();
  const PortDevices& com1 = offer.devices[0];
  ASSERT_EQ(com1.options.size(), 2u);
  EXPECT_EQ(OptionAt(com1, 0), &com1.options[0]);
  EXPECT_EQ(OptionAt(com1, 1), &com1.options[1]);
  EXPECT_EQ(OptionAt(com1, -1), nullptr);  // a drop-down with nothing selected
  EXPECT_EQ(OptionAt(com1, 2), nullptr);
  EXPECT_EQ(OptionAt(PortDevices{}, 0), nullptr);
}

// The field of port n's drop-down showing entry `index`, as it is.
DeviceField Shown(const PortDialogOffer& offer, int port, std::ptrdiff_t index) {
  const DeviceOption* option = OptionAt(offer.devices[port - 1], index);
  return {index, option != nullptr ? option->text : ""};
}

TEST(PortChoiceTest, ChoiceTakesThePortAndThePathOfEachChangeableEntry) {
  const PortDialogOffer offer = TwoPortOffer();
  const PortChoice com1 = ChoiceFrom(offer, 1, {Shown(offer, 1, 1), Shown(offer, 2, 0)});
  EXPECT_EQ(com1.port, 1);
  EXPECT_EQ(com1.devices[0], kById);  // the by-id path, not the text shown
  EXPECT_EQ(com1.devices[1], std::nullopt) << "the environment's device is not chosen here";

  const PortChoice com2 = ChoiceFrom(offer, 2, {Shown(offer, 1, 0), Shown(offer, 2, 0)});
  EXPECT_EQ(com2.port, 2);
  EXPECT_EQ(com2.devices[0], "/dev/ttyS0");
  // Any port other than 1 hands back COM2.
  EXPECT_EQ(ChoiceFrom(offer, 0, {Shown(offer, 1, 0), Shown(offer, 2, 0)}).port, 2);
}

TEST(PortChoiceTest, ChoiceLeavesOutAPortWithNoEntrySelected) {
  const PortDialogOffer offer = TwoPortOffer();
  EXPECT_EQ(ChoiceFrom(offer, 1, {DeviceField{}, Shown(offer, 2, 0)}).devices[0], std::nullopt);
  EXPECT_EQ(ChoiceFrom(offer, 1, {DeviceField{2, ""}, Shown(offer, 2, 0)}).devices[0],
            std::nullopt);
}

// A device the list does not show is typed into the field; it is checked
// when OK is pressed, and what the field holds is the choice.
TEST(PortChoiceTest, TypedDeviceIsTheChoiceOnceItNamesADevice) {
  const PortDialogOffer offer = TwoPortOffer();
  const PortDevices& com1 = offer.devices[0];
  EXPECT_EQ(TypedDevice(com1, Shown(offer, 1, 1)), std::nullopt);
  EXPECT_EQ(TypedDevice(com1, DeviceField{1, "  "}), std::nullopt);
  EXPECT_EQ(TypedDevice(com1, DeviceField{1, " /dev/pts/7 "}), "/dev/pts/7");
  EXPECT_EQ(TypedDevice(com1, DeviceField{-1, "/dev/pts/7"}), "/dev/pts/7");
  EXPECT_EQ(TypedDevice(offer.devices[1], DeviceField{0, "/dev/pts/7"}), std::nullopt)
      << "a port the environment fixes takes nothing typed";

  const std::array<DeviceField, 2> typed{DeviceField{1, "/dev/null"}, Shown(offer, 2, 0)};
  EXPECT_EQ(TypedDeviceProblem(offer, typed), "");
  EXPECT_EQ(ChoiceFrom(offer, 1, typed).devices[0], "/dev/null");

  EXPECT_EQ(TypedDeviceProblem(offer, {DeviceField{1, "/dev/no-such-tty"}, Shown(offer, 2, 0)}),
            "COM1: /dev/no-such-tty: No such file or directory");
  EXPECT_EQ(TypedDeviceProblem(offer, {DeviceField{1, "/tmp"}, Shown(offer, 2, 0)}),
            "COM1: /tmp: not a serial device");
  EXPECT_EQ(TypedDeviceProblem(offer, {DeviceField{1, "ttyUSB0"}, Shown(offer, 2, 0)}),
            "COM1: ttyUSB0: not a full path (it begins with /dev/)");
}

TEST(PortChoiceTest, DeviceAndSourceNamesThePathAndWhyThePortOpensIt) {
  EXPECT_EQ(DeviceAndSource(1, {"/dev/ttyS0", Source::kDefault}), "/dev/ttyS0 (default)");
  EXPECT_EQ(DeviceAndSource(2, {kById, Source::kSetting}), kById + " (setting)");
  EXPECT_EQ(DeviceAndSource(2, {"/dev/pts/4", Source::kEnvironment}),
            "/dev/pts/4 (environment TAVLINK_COM2)");
}

}  // namespace
}  // namespace tavlink
