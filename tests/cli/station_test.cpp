// The station's pieces without a receiver: the record itself and the
// report file.

#include "cli/station.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "support/temp_folder.h"
#include "support/test_cli_env.h"

namespace tavlink::cli {
namespace {

TEST(StationRecord, NamesThePortDeviceOutcomeAndFile) {
  ReceiverRecord record;
  record.outcome = "succeeded";
  record.software = "SW \"1\"";
  record.hardware = "HW 2";
  record.errorCount = 2;
  record.dataFile = "factory.txt";
  record.dataSha256 = "ab";
  record.start = std::chrono::system_clock::from_time_t(1796745600);  // 2026-12-08 16:00:00 UTC
  record.end = record.start + std::chrono::seconds(37);
  ReceiverLine port = ReceiverLine::OfPort(3, {"/dev/ttyUSB0", ComDevice::Source::kSetting}, "");
  EXPECT_EQ(
      RecordJson(port, "write-factory-data", record),
      "{\"port\":\"COM3\",\"device\":\"/dev/ttyUSB0\",\"operation\":\"write-factory-data\","
      "\"software\":\"SW \\\"1\\\"\",\"hardware\":\"HW 2\",\"start\":\"2026-12-08T16:00:00Z\","
      "\"end\":\"2026-12-08T16:00:37Z\",\"outcome\":\"succeeded\",\"failure\":null,"
      "\"errors\":2,\"file\":\"factory.txt\",\"sha256\":\"ab\"}");
  ReceiverLine device = ReceiverLine::OfDevice("/dev/pts/4");
  record = ReceiverRecord{};
  record.outcome = "failed";
  record.failure = "no answer";
  const std::string json = RecordJson(device, "connect", record);
  EXPECT_EQ(json.rfind("{\"port\":null,\"device\":\"/dev/pts/4\",\"operation\":\"connect\",", 0),
            0u)
      << json;
  EXPECT_NE(json.find("\"outcome\":\"failed\",\"failure\":\"no answer\""), std::string::npos);
  EXPECT_NE(json.find("\"file\":null,\"sha256\":null}"), std::string::npos);
}

// The --report file is opened before any receiver is served: one that
// cannot be written refuses the run as bad usage; one that can gets each
// record appended after what it held.
TEST(StationReport, UnwritableReportRefusesTheRunBeforeAnyReceiver) {
  const tavlink::testing::TempFolder folder;
  tavlink::testing::TestCliEnv cli;
  DeviceOptions options;
  options.report = folder.File("missing/report.jsonl");
  const std::vector<ReceiverLine> lines{ReceiverLine::OfDevice("/dev/pts/9")};
  int runs = 0;
  const ReceiverJob job = [&runs](size_t, const DeviceOptions&, RunOutput&) {
    ++runs;
    return ReceiverRecord{};
  };
  EXPECT_EQ(RunStation(cli.env, options, lines, "connect", job), kExitUsage);
  EXPECT_EQ(runs, 0);

  options.report = folder.File("report.jsonl");
  std::ofstream(options.report) << "earlier\n";
  EXPECT_EQ(RunStation(cli.env, options, lines, "connect", job), kExitOk);
  EXPECT_EQ(runs, 1);
  std::ifstream in(options.report);
  const std::string report{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
  EXPECT_EQ(report.rfind("earlier\n{\"port\":null,\"device\":\"/dev/pts/9\",\"operation\":"
                         "\"connect\",",
                         0),
            0u)
      << report;
}

}  // namespace
}  // namespace tavlink::cli
