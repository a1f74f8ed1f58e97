#pragma once
// What the end-to-end tests of tavlink-cli against tavlink-sim share: a
// fresh folder of the test's own (removed afterwards), a simulator started
// with its frame log, and that log in the failure message of a test that
// failed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/sim_process.h"

namespace tavlink::testing {

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tavlink-e2e-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (HasFailure() && sim_) ADD_FAILURE() << "simulator log:\n" << sim_->Stderr();
    std::filesystem::remove_all(dir_);
  }

  // Starts the simulator with `args` and its frame log.
  void StartSim(std::vector<std::string> args = {}) {
    args.push_back("--log");
    sim_ = std::make_unique<SimProcess>(args);
    ASSERT_FALSE(sim_->DevicePath().empty());
  }

  std::filesystem::path dir_;
  std::unique_ptr<SimProcess> sim_;
};

}  // namespace tavlink::testing
