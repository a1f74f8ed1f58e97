// The POSIX backend's mapping of errno to the device box's words and to
// the kind of failure, which decides whether a port gives up its device.

#include "link/serial_error_posix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tavlink {
namespace {

using Kind = DeviceError::Kind;

struct Row {
  int err;
  DeviceStage stage;
  Kind kind;
  const char* hint;  // the line under the system's words; "" for none
};

class PosixDeviceErrorTest : public ::testing::TestWithParam<Row> {};

TEST_P(PosixDeviceErrorTest, KindAndWordsFollowTheCodeAndWhenItCame) {
  const Row row = GetParam();
  const DeviceError e = PosixDeviceError(row.err, row.stage, 2, "/dev/ttyUSB0");
  EXPECT_EQ(e.code, row.err);
  EXPECT_EQ(e.kind, row.kind);
  const std::string words = std::strerror(row.err);
  EXPECT_EQ(e.text, *row.hint ? words + "\n" + row.hint : words);
}

constexpr auto kOpening = DeviceStage::kOpening;
constexpr auto kInUse = DeviceStage::kInUse;
constexpr const char* kGoneHint =
    "/dev/ttyUSB0 (COM2) has gone: is its cable or adapter still plugged in?";
constexpr const char* kNoDevice = "There is no device /dev/ttyUSB0.";

INSTANTIATE_TEST_SUITE_P(
    Rows, PosixDeviceErrorTest,
    ::testing::Values(
        // Opening: a missing device, one in use, one the user may not open.
        Row{ENOENT, kOpening, Kind::kNotFound, kNoDevice},
        Row{ENODEV, kOpening, Kind::kNotFound, kNoDevice},
        Row{ENXIO, kOpening, Kind::kNotFound, kNoDevice},
        Row{EBUSY, kOpening, Kind::kBusy, "Another program is using /dev/ttyUSB0 (COM2)."},
        Row{EACCES, kOpening, Kind::kAccessDenied,
            "You may not use /dev/ttyUSB0 (COM2): add your user to the group that owns it (on "
            "Debian, 'dialout') and log in again."},
        Row{EIO, kOpening, Kind::kOther, ""},
        // The open device: these three say it has gone; others say nothing
        // about its future.
        Row{EIO, kInUse, Kind::kGone, kGoneHint}, Row{ENXIO, kInUse, Kind::kGone, kGoneHint},
        Row{ENODEV, kInUse, Kind::kGone, kGoneHint}, Row{EBADF, kInUse, Kind::kOther, ""},
        Row{EINVAL, kInUse, Kind::kOther, ""}));

// A device named directly, not through a port: its messages name no port
// (the factory line names many devices, none of them COM1).
TEST(PosixDeviceErrorTest, DeviceNamedDirectlyIsNamedByItsPathAlone) {
  EXPECT_EQ(PosixDeviceError(EIO, kInUse, 0, "/dev/ttyUSB3").text,
            std::string(std::strerror(EIO)) +
                "\n/dev/ttyUSB3 has gone: is its cable or adapter still plugged in?");
  EXPECT_EQ(PosixDeviceError(EBUSY, kOpening, 0, "/dev/ttyUSB3").text,
            std::string(std::strerror(EBUSY)) + "\nAnother program is using /dev/ttyUSB3.");
}

}  // namespace
}  // namespace tavlink
