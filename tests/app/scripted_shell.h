#pragma once
// A LinkShell without widgets for the command tests: every box, file
// dialog, port dialog and transfer is answered from a script and recorded.
// Unscripted boxes answer OK, unscripted dialogs are cancelled, and an
// unscripted transfer fails.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/link_shell.h"

namespace tavlink::testing {

// The answer OK on `port`, leaving both devices as they are.
inline PortChoice OkOn(int port) {
  return PortChoice{port, {}};
}

// Settings kept in memory; `writable` false makes every write fail. The
// user's device mappings come before the machine's, and an empty one of the
// user's is no mapping, as in the stores of both platforms.
class MemoryStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return port; }
  bool WritePort(int32_t value) override {
    ++writes;
    if (writable) port = value;
    return writable;
  }
  std::optional<std::string> ReadDevice(int portNumber) override {
    for (const std::map<int, std::string>* scope : {&devices, &machineDevices}) {
      auto it = scope->find(portNumber);
      if (it == scope->end()) continue;
      if (it->second.empty()) return std::nullopt;
      return it->second;
    }
    return std::nullopt;
  }
  bool WriteDevice(int portNumber, const std::string& path) override {
    ++deviceWrites;
    if (!writable) return false;
    devices[portNumber] = path;  // an empty path too: the user's own choice
    return true;
  }

  std::optional<int32_t> port;
  std::map<int, std::string> devices;         // the user's
  std::map<int, std::string> machineDevices;  // preset for the whole machine, never written
  bool writable = true;
  int writes = 0;        // of the port
  int deviceWrites = 0;  // of a device mapping
};

// What a transfer was handed, as the worker would see it.
struct SeenTransfer {
  int portNumber = 0;
  int operation = 0;
  size_t answerSize = 0;
  bool hadFile = false;
  ReceiverDataBlock* block = nullptr;
  ComDevice device;  // where the port led
};

class ScriptedShell final : public LinkShell {
 public:
  BoxAnswer ShowAppMessage(std::string_view text, BoxButtons) override {
    messages.emplace_back(text);
    return Next(boxAnswers, BoxAnswer::kOk);
  }
  void ShowFileError(std::string_view text) override { fileErrors.emplace_back(text); }
  std::optional<std::string> ChooseFile(const FileChoice& choice) override {
    fileDialogs.push_back(choice);
    return Next(files, std::optional<std::string>{});
  }
  std::optional<PortChoice> RunPortDialog(const PortDialogOffer& offer) override {
    portDialogs.push_back(offer.currentPort);
    portOffers.push_back(offer);
    return Next(portAnswers, std::optional<PortChoice>{});
  }
  std::vector<SerialDeviceInfo> SerialDevices() override { return devices; }
  TransferOutcome RunTransfer(const TransferRequest& request, const ComDevice& device) override {
    transfers.push_back({request.portNumber, request.operation, request.answer.size(),
                         request.file != nullptr, request.block, device});
    if (!transfer) return TransferOutcome::kFailed;
    return transfer(request);
  }
  void ShowAbout() override { ++aboutShown; }
  SettingStore& Settings() override { return store; }

  // Script.
  std::deque<BoxAnswer> boxAnswers;
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<PortChoice>> portAnswers;
  std::vector<SerialDeviceInfo> devices;  // this machine's serial devices
  std::function<TransferOutcome(const TransferRequest&)> transfer;
  MemoryStore store;

  // Record.
  std::vector<std::string> messages;
  std::vector<std::string> fileErrors;
  std::vector<FileChoice> fileDialogs;
  std::vector<int> portDialogs;  // the port each showed
  std::vector<PortDialogOffer> portOffers;
  std::vector<SeenTransfer> transfers;
  int aboutShown = 0;

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

}  // namespace tavlink::testing
