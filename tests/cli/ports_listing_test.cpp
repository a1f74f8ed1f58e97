// `tavlink-cli ports`: the listing as text and as JSON, the JSON strings
// it is built of, and the command as a user runs it.
#include "cli/ports_listing.h"

#include <gtest/gtest.h>

#include <map>

#include "cli/json_text.h"
#include "support/cli_process.h"
#include "support/temp_folder.h"

namespace tavlink::cli {
namespace {

const std::string kById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

class FixedStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return port; }
  bool WritePort(int32_t) override { return false; }
  std::optional<std::string> ReadDevice(int portNumber) override {
    const auto it = devices.find(portNumber);
    if (it == devices.end()) return std::nullopt;
    return it->second;
  }
  bool WriteDevice(int, const std::string&) override { return false; }

  std::optional<int32_t> port;
  std::map<int, std::string> devices;
};

std::vector<SerialDeviceInfo> Machine() {
  SerialDeviceInfo board;
  board.path = board.kernelName = "/dev/ttyS0";
  board.description = "16550A UART";
  return {board,
          {kById, "/dev/ttyUSB0", "FTDI FT232R USB UART", "FTDI", "FT232R USB UART", "0403", "6001",
           "A50285BI"}};
}

// COM1 by default, COM2 on the adapter and stored.
PortsListing Listing() {
  return {
      Machine(),
      {{1, {"/dev/ttyS0", ComDevice::Source::kDefault}}, {2, {kById, ComDevice::Source::kSetting}}},
      2};
}

TEST(JsonStringTest, EscapesQuotesBackslashesAndControlCharacters) {
  EXPECT_EQ(JsonString(""), "\"\"");
  EXPECT_EQ(JsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonString("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
  EXPECT_EQ(JsonString(std::string("\x01\x1f\x00\x7f", 4)), "\"\\u0001\\u001f\\u0000\x7f\"");
  EXPECT_EQ(JsonString("\x1b[31m"), "\"\\u001b[31m\"");
}

TEST(JsonStringTest, KeepsUtf8AndReplacesBytesThatAreNotUtf8) {
  EXPECT_EQ(JsonString("Gr\xc3\xbc\xc3\x9f \xe2\x86\x92 \xf0\x9f\x93\xa1"),
            "\"Gr\xc3\xbc\xc3\x9f \xe2\x86\x92 \xf0\x9f\x93\xa1\"");
  EXPECT_EQ(JsonString("a\xffz"), "\"a\\ufffdz\"");                    // never in UTF-8
  EXPECT_EQ(JsonString("\xc3"), "\"\\ufffd\"");                        // cut short at the end
  EXPECT_EQ(JsonString("\xe2\x86z"), "\"\\ufffd\\ufffdz\"");           // cut short inside
  EXPECT_EQ(JsonString("\xc0\xaf"), "\"\\ufffd\\ufffd\"");             // overlong '/'
  EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");  // a surrogate
  EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");  // > U+10FFFF
}

TEST(PortsListingTest, TextShowsEachDevicesDetailsByIdPathAndTheStoredPort) {
  EXPECT_EQ(PortsText(Listing()),
            "Serial devices of this machine:\n"
            "  /dev/ttyS0    16550A UART\n"
            "  /dev/ttyUSB0  FTDI FT232R USB UART, 0403:6001, serial A50285BI\n"
            "                " +
                kById +
                "\n"
                "COM1 opens /dev/ttyS0 (default)\n"
                "COM2 opens " +
                kById + " (setting); the stored port, used without --port or --device\n");
}

TEST(PortsListingTest, TextSaysWhenNothingIsFoundAndNoPortIsStored) {
  const PortsListing listing{{}, {{1, {"/dev/pts/3", ComDevice::Source::kEnvironment}}}, {}};
  EXPECT_EQ(PortsText(listing),
            "Serial devices of this machine:\n"
            "  (none found)\n"
            "COM1 opens /dev/pts/3 (environment TAVLINK_COM1)\n"
            "No port is stored: give --port N or --device PATH, or choose a port in the desktop "
            "tool's Setup Comm.\n");
}

TEST(PortsListingTest, JsonHoldsThePortsAndEveryDeviceField) {
  PortsListing listing = Listing();
  listing.ports[0].device = {"/dev/pts/3", ComDevice::Source::kEnvironment};
  EXPECT_EQ(PortsJson(listing),
            "{\n"
            "  \"storedPort\": 2,\n"
            "  \"ports\": [\n"
            "    {\"port\": 1, \"name\": \"COM1\", \"device\": \"/dev/pts/3\", \"source\": "
            "\"environment\", \"variable\": \"TAVLINK_COM1\", \"stored\": false},\n"
            "    {\"port\": 2, \"name\": \"COM2\", \"device\": \"" +
                kById +
                "\", \"source\": \"setting\", \"variable\": null, \"stored\": true}\n"
                "  ],\n"
                "  \"devices\": [\n"
                "    {\"path\": \"/dev/ttyS0\", \"kernelName\": \"/dev/ttyS0\", \"description\": "
                "\"16550A UART\", \"manufacturer\": null, \"product\": null, \"vendorId\": null, "
                "\"productId\": null, \"serialNumber\": null},\n"
                "    {\"path\": \"" +
                kById +
                "\", \"kernelName\": \"/dev/ttyUSB0\", \"description\": \"FTDI FT232R USB UART\", "
                "\"manufacturer\": \"FTDI\", \"product\": \"FT232R USB UART\", \"vendorId\": "
                "\"0403\", \"productId\": \"6001\", \"serialNumber\": \"A50285BI\"}\n"
                "  ]\n"
                "}\n");
}

TEST(PortsListingTest, JsonOfNothingIsStillOneObject) {
  EXPECT_EQ(PortsJson({}), "{\n  \"storedPort\": null,\n  \"ports\": [],\n  \"devices\": []\n}\n");
}

TEST(PortsListingTest, StoredPortBeyondTwoIsListedAndZeroMeansNone) {
  if (std::getenv("TAVLINK_COM2") != nullptr || std::getenv("TAVLINK_COM3") != nullptr)
    GTEST_SKIP() << "TAVLINK_COM2 or TAVLINK_COM3 is set";
  FixedStore store;
  store.port = 3;
  store.devices[2] = kById;
  const PortsListing listing = GatherPorts(Machine(), store);
  EXPECT_EQ(listing.storedPort, 3);
  EXPECT_EQ(listing.devices.size(), 2u);
  ASSERT_EQ(listing.ports.size(), 3u);
  EXPECT_EQ(listing.ports[1].device.path, kById);
  EXPECT_EQ(listing.ports[1].device.source, ComDevice::Source::kSetting);
  EXPECT_EQ(listing.ports[2].portNumber, 3);
  EXPECT_EQ(listing.ports[2].device.path, "/dev/ttyS2");

  store.port = 0;  // a cancelled first choice
  EXPECT_FALSE(GatherPorts({}, store).storedPort.has_value());
  EXPECT_EQ(GatherPorts({}, store).ports.size(), 2u);
}

TEST(PortsCommandTest, ListGoesToStandardOutputAsTextOrJson) {
  testing::TempFolder home;
  const testing::Environment environment{{"XDG_CONFIG_HOME", home.path().string()},
                                         {"TAVLINK_COM1", "/dev/pts/77"}};
  const testing::CliResult text = testing::RunCli({"ports"}, home.path(), environment);
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.err, "");
  EXPECT_EQ(text.out.rfind("Serial devices of this machine:\n", 0), 0u) << text.out;
  EXPECT_NE(text.out.find("COM1 opens /dev/pts/77 (environment TAVLINK_COM1)\n"),
            std::string::npos);

  const testing::CliResult json = testing::RunCli({"ports", "--json"}, home.path(), environment);
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.err, "");
  EXPECT_EQ(json.out.rfind("{\n  \"storedPort\": null,\n", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("\"device\": \"/dev/pts/77\", \"source\": \"environment\""),
            std::string::npos);
  EXPECT_EQ(json.out.substr(json.out.size() - 2), "}\n");
}

}  // namespace
}  // namespace tavlink::cli
