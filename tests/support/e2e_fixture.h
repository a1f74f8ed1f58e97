#pragma once
// What the end-to-end tests of tavlink-cli against tavlink-sim share: a
// fresh folder of the test's own (removed afterwards), a simulator started
// with its frame log, waits on what that log says, and the log in the
// failure message of a test that failed.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/sim_process.h"
#include "support/temp_folder.h"
#include "support/wait_until.h"

namespace tavlink::testing {

class EndToEndTest : public ::testing::Test {
 protected:
  // How long the simulator is given to report something after the program
  // it answers has ended: generous, for sanitizer builds on busy machines.
  static constexpr auto kSimReportTime = std::chrono::seconds(20);

  void SetUp() override { ASSERT_FALSE(dir_.empty()) << "no temporary folder"; }
  void TearDown() override {
    if (HasFailure() && sim_) ADD_FAILURE() << "simulator log:\n" << sim_->Stderr();
  }

  // Starts the simulator with `args` and its frame log.
  void StartSim(std::vector<std::string> args = {}) {
    args.push_back("--log");
    sim_ = std::make_unique<SimProcess>(args);
    ASSERT_FALSE(sim_->DevicePath().empty());
  }

  // Waits until the simulator's log holds `text`; false after kSimReportTime.
  bool SimSaid(const std::string& text) const {
    return WaitUntil([&] { return sim_->Stderr().find(text) != std::string::npos; },
                     kSimReportTime);
  }

  TempFolder folder_;
  const std::filesystem::path dir_ = folder_.path();
  std::unique_ptr<SimProcess> sim_;
};

}  // namespace tavlink::testing
