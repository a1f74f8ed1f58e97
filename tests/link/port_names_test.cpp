// Where COM<n> leads, and the hint a front end adds to "no such device".

#include "link/port_names.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "link/error_reporter.h"
#include "support/recording_reporter.h"

namespace tavlink {
namespace {

// A port number no one maps in the environment of a test run.
constexpr int kPort = 97;

#ifdef _WIN32
void SetVariable(const char* name, const char* value) {
  _putenv_s(name, value);  // an empty value removes it
}
#else
void SetVariable(const char* name, const char* value) {
  ::setenv(name, value, 1);
}
#endif

class PortNamesTest : public ::testing::Test {
 protected:
  void TearDown() override { SetVariable("TAVLINK_COM97", ""); }
};

TEST_F(PortNamesTest, EnvironmentWinsOverTheSettingWhichWinsOverTheDefault) {
  const ComDevice byDefault = ResolveComDevice(kPort, std::nullopt);
  EXPECT_EQ(byDefault.path, DefaultComDevicePath(kPort));
  EXPECT_EQ(byDefault.source, ComDevice::Source::kDefault);
  EXPECT_EQ(ResolveComDevice(kPort, std::string()).source, ComDevice::Source::kDefault);

  const ComDevice bySetting = ResolveComDevice(kPort, std::string("/dev/ttyUSB3"));
  EXPECT_EQ(bySetting.path, "/dev/ttyUSB3");
  EXPECT_EQ(bySetting.source, ComDevice::Source::kSetting);

  SetVariable("TAVLINK_COM97", "/dev/pts/42");
  const ComDevice byEnvironment = ResolveComDevice(kPort, std::string("/dev/ttyUSB3"));
  EXPECT_EQ(byEnvironment.path, "/dev/pts/42");
  EXPECT_EQ(DescribeSource(kPort, byEnvironment.source), "environment TAVLINK_COM97");

  SetVariable("TAVLINK_COM97", "");  // empty counts as unset
  EXPECT_EQ(ResolveComDevice(kPort, std::nullopt).source, ComDevice::Source::kDefault);
}

TEST_F(PortNamesTest, NamesOfThePort) {
  EXPECT_EQ(ComPortName(2), "COM2");
  EXPECT_EQ(ComEnvironmentName(12), "TAVLINK_COM12");
#ifndef _WIN32
  EXPECT_EQ(DefaultComDevicePath(1), "/dev/ttyS0");
#endif
}

TEST(DeviceHintReporter, AddsItsHintOnlyUnderAMissingDevice) {
  testing::RecordingReporter inner;
  DeviceHintReporter hinted(inner, "COM1 opens /dev/ttyS0 (default).");
  hinted.ShowDeviceError({2, "No such file or directory", DeviceError::Kind::kNotFound});
  hinted.ShowDeviceError({13, "Permission denied", DeviceError::Kind::kAccessDenied});
  hinted.ShowError("ERROR", "Open error");
  ASSERT_EQ(inner.Boxes().size(), 3u);
  EXPECT_EQ(inner.Boxes()[0].caption, "Serial Communication Device Error");
  EXPECT_EQ(inner.Boxes()[0].text, "No such file or directory\nCOM1 opens /dev/ttyS0 (default).");
  EXPECT_EQ(inner.Boxes()[1].text, "Permission denied");
  EXPECT_EQ(inner.Boxes()[2].caption, "ERROR");
  EXPECT_EQ(inner.Boxes()[2].text, "Open error");
}

}  // namespace
}  // namespace tavlink
