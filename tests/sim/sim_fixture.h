#pragma once
// Runs the simulator in-process on its own thread over a real pty, with its
// log collected for the test to inspect. The receiver's state may be read
// only after StopSimulator() (the join orders it after the simulator's
// writes).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/simulator.h"
#include "test_pc.h"

namespace tavlink::sim::testing {

class SimFixture : public ::testing::Test {
 protected:
  SimFixture() {
    // A recognisable block: the magic, then a byte pattern.
    uint8_t* bytes = state_.userData->bytes();
    for (size_t i = 0; i < ReceiverDataBlock::kSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    std::copy_n("evileyes", 8, bytes);
    state_.model = options_.model;
    state_.hardware = "HW-TEST";
    state_.software = "SW-TEST 9.9";
  }

  ~SimFixture() override { StopSimulator(); }

  void StartSimulator() {
    ASSERT_TRUE(pty_.ok()) << pty_.error();
    line_ = std::make_unique<FrameChannel>(pty_, log_, options_.faults, stop_);
    simulator_ = std::make_unique<Simulator>(*line_, state_, options_);
    thread_ = std::thread([this] { simulator_->Run(); });
  }

  void StopSimulator() {
    stop_.Request();
    if (thread_.joinable()) thread_.join();
  }

  TestPc OpenPc(speed_t speed = B115200) { return TestPc(pty_.DevicePath(), speed); }

  bool LogHas(const std::string& text) {
    std::lock_guard<std::mutex> lock(linesMutex_);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const std::string& line) { return line.find(text) != line.npos; });
  }

  std::string LogText() {
    std::lock_guard<std::mutex> lock(linesMutex_);
    std::string all;
    for (const auto& line : lines_) all += line + "\n";
    return all;
  }

  SimOptions options_;
  ReceiverState state_;
  Pty pty_;

 private:
  std::mutex linesMutex_;
  std::vector<std::string> lines_;
  SimLog log_{[this](const std::string& line) {
                std::lock_guard<std::mutex> lock(linesMutex_);
                lines_.push_back(line);
              },
              true};
  StopSignal stop_;
  std::unique_ptr<FrameChannel> line_;
  std::unique_ptr<Simulator> simulator_;
  std::thread thread_;
};

}  // namespace tavlink::sim::testing
