// A build without a settings store: nothing is stored, nothing is found.
#include "settings/setting_store.h"

namespace tavlink {
namespace {

class NoSettingStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return std::nullopt; }
  bool WritePort(int32_t) override { return false; }
  std::optional<std::string> ReadDevice(int) override { return std::nullopt; }
  bool WriteDevice(int, const std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<SettingStore> MakeSettingStore() {
  return std::make_unique<NoSettingStore>();
}

std::string SettingStoreLocation() {
  return "(no settings in this build)";
}

}  // namespace tavlink
