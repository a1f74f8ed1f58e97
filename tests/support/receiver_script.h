#pragma once
// A receiver's side of the connect and of the paced uploads (upgrade,
// factory write), for a ScriptedReceiver, written out from the frames the
// PC sends: enough of a receiver for the command line's own tests, which
// are about what the command line shows and when, not about the protocol.
//
//   ReceiverScript script;
//   script.software = "SW 1.0";
//   receiver.SetScript(script.Bind());
//
// While `present` is false the receiver is off: it answers nothing. Every
// switch may be changed from the test while a session runs.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/frame.h"
#include "support/frame_bytes.h"
#include "support/scripted_receiver.h"

namespace tavlink::testing {

class ReceiverScript {
 public:
  std::atomic<bool> present{true};
  // Whether an upload's request makes it ready: without, the request is
  // acknowledged and FC_READY never comes.
  std::atomic<bool> getsReady{true};
  // Called on the worker's thread with each frame the receiver takes in,
  // before it answers (also while it is off).
  std::function<void(const SeenFrame&)> onFrame;

  void SetVersions(const std::string& software, const std::string& hardware) {
    std::lock_guard lock(mutex_);
    software_ = software;
    hardware_ = hardware;
  }

  std::atomic<int> connects{0};    // FC_CONNECT frames seen
  std::atomic<int> dataFrames{0};  // FC_DATA frames acknowledged
  std::atomic<int> aborts{0};      // FC_ABORT frames seen
  std::atomic<int> closings{0};    // the uploads' closing codes acknowledged

  // The script for a ScriptedReceiver; `this` must outlive its sessions.
  ScriptedReceiver::Script Bind() {
    return [this](const SeenFrame& frame, ScriptedReceiver& rx) { Take(frame, rx); };
  }

 private:
  // The connect's answer: 100 bytes, connected, the versions at 32 and 64.
  Bytes Answer() {
    std::lock_guard lock(mutex_);
    Bytes answer(100, 0);
    answer[0] = 1;
    std::copy(hardware_.begin(), hardware_.end(), answer.begin() + 32);
    std::copy(software_.begin(), software_.end(), answer.begin() + 64);
    return answer;
  }

  void Take(const SeenFrame& frame, ScriptedReceiver& rx) {
    if (onFrame) onFrame(frame);
    if (frame.code == FC_CONNECT) ++connects;
    if (frame.code == FC_ABORT) {
      ++aborts;
      ready_ = false;
    }
    if (!present.load()) return;
    switch (frame.code) {
      case FC_CONNECT:
        rx.ReplyCode(FC_ACK);
        rx.ReplyData(Answer());
        answered_ = false;
        return;
      case FC_ACK:  // after the answer, then after the end code
        if (!answered_) rx.ReplyCode(FC_CONNECT_END);
        answered_ = true;
        return;
      case FC_UPGRADE:
      case FC_FACTORY:
        if (!getsReady.load()) return rx.ReplyCode(FC_ACK);
        if (!ready_) rx.ReplyCode(FC_READY);
        ready_ = !ready_;  // the second request starts the upload
        return;
      case FC_DATA:
        ++dataFrames;
        rx.ReplyCode(FC_ACK);
        return;
      case FC_UPGRADE_END:
      case FC_FACTORY_END:
        ++closings;
        ready_ = false;
        rx.ReplyCode(FC_ACK);
        return;
      default:
        return;
    }
  }

  std::mutex mutex_;
  std::string software_ = "SW 1.00";
  std::string hardware_ = "HW A";
  bool answered_ = true;  // worker thread only
  bool ready_ = false;    // worker thread only
};

}  // namespace tavlink::testing
