#pragma once
// The persistent settings of ZOR Link: the chosen port ("Port"), the
// user's device mappings for COM1 and COM2 ("Devices/COM1",
// "Devices/COM2"), and the channel editor's recent files and its choice of
// reading a written list back ("Editor/RecentFiles", "Editor/VerifyAfterWrite"). A value may also
// be preset for the whole machine (by an administrator); the user's own value, once there is one,
// wins over it. Every failure is silent: a value that cannot be read comes back empty, a write that
// fails returns false and changes nothing else.
//
// Threading: user-interface thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlink {

class SettingStore {
 public:
  virtual ~SettingStore() = default;

  // The stored port number, or nothing when there is none or it is not a
  // number.
  virtual std::optional<int32_t> ReadPort() = 0;

  // Stores the port number; false when it could not be stored.
  virtual bool WritePort(int32_t port) = 0;

  // The device mapped to "COM<portNumber>": the user's, else the machine's;
  // nothing when there is none, or when the user's value is empty.
  virtual std::optional<std::string> ReadDevice(int portNumber) = 0;

  // Maps "COM<portNumber>" to `path` for this user. An empty path is stored
  // as an empty value, the user's own choice of no mapping: the port leads
  // to the platform's own device again, even where the machine has a
  // mapping for it. False when it could not be stored.
  virtual bool WriteDevice(int portNumber, const std::string& path) = 0;

  // The channel editor's settings. A store that does not keep them (a
  // command line's test store) finds none and refuses every write.
  //
  // The files the channel editor opened last, newest first; empty when
  // there are none.
  virtual std::vector<std::string> ReadRecentFiles() { return {}; }
  // Replaces the list; false when it could not be stored.
  virtual bool WriteRecentFiles(const std::vector<std::string>& paths) {
    (void)paths;
    return false;
  }
  // Whether the editor reads a written list back; nothing when never chosen.
  virtual std::optional<bool> ReadVerifyAfterWrite() { return std::nullopt; }
  virtual bool WriteVerifyAfterWrite(bool verify) {
    (void)verify;
    return false;
  }
};

// The user's settings on this platform, shared by the desktop tool and the
// command line. A build without a store gives one that holds nothing and
// refuses every write.
std::unique_ptr<SettingStore> MakeSettingStore();

// Where MakeSettingStore keeps them, for messages and help texts
// ("~/.config/ZOR/ZORLINK.conf").
std::string SettingStoreLocation();

}  // namespace tavlink
