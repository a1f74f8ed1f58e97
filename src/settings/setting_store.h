#pragma once
// The persistent settings of ZOR Link: the chosen port ("Port") and
// the user's device mappings for COM1 and COM2 ("Devices/COM1",
// "Devices/COM2"). Every failure is silent: a value that cannot be read
// comes back empty, a write that fails returns false and changes nothing
// else.
//
// Threading: user-interface thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tavlink {

class SettingStore {
 public:
  virtual ~SettingStore() = default;

  // The stored port number, or nothing when there is none or it is not a
  // number.
  virtual std::optional<int32_t> ReadPort() = 0;

  // Stores the port number; false when it could not be stored.
  virtual bool WritePort(int32_t port) = 0;

  // The device the user mapped to "COM<portNumber>", or nothing.
  virtual std::optional<std::string> ReadDevice(int portNumber) = 0;

  // Maps "COM<portNumber>" to `path`; an empty path removes the mapping, so
  // that the port leads to the platform's own device again. False when it
  // could not be stored.
  virtual bool WriteDevice(int portNumber, const std::string& path) = 0;
};

// The user's settings on this platform, shared by the desktop tool and the
// command line. A build without a store gives one that holds nothing and
// refuses every write.
std::unique_ptr<SettingStore> MakeSettingStore();

// Where MakeSettingStore keeps them, for messages and help texts
// ("~/.config/ZOR/ZORLINK.conf").
std::string SettingStoreLocation();

}  // namespace tavlink
