#include "link/port_names.h"

#include <cstdlib>
#include <map>
#include <mutex>

namespace tavlink {
namespace {

std::mutex& OverrideMutex() {
  static std::mutex m;
  return m;
}

std::map<int, std::string>& Overrides() {
  static std::map<int, std::string> overrides;
  return overrides;
}

std::string EnvironmentName(int portNumber) {
  return "TAVLINK_COM" + std::to_string(portNumber);
}

std::optional<std::string> FromEnvironment(int portNumber) {
  const char* value = std::getenv(EnvironmentName(portNumber).c_str());
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::optional<std::string> FromOverride(int portNumber) {
  std::lock_guard lock(OverrideMutex());
  auto it = Overrides().find(portNumber);
  if (it == Overrides().end()) return std::nullopt;
  return it->second;
}

}  // namespace

std::string ComPortName(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

std::string ComDevicePath(int portNumber) {
  if (auto env = FromEnvironment(portNumber)) return *env;
  if (auto mapped = FromOverride(portNumber)) return *mapped;
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string ComDeviceSource(int portNumber) {
  if (FromEnvironment(portNumber)) return "environment " + EnvironmentName(portNumber);
  if (FromOverride(portNumber)) return "setting";
  return "default";
}

void SetComDeviceOverride(int portNumber, const std::string& path) {
  std::lock_guard lock(OverrideMutex());
  if (path.empty())
    Overrides().erase(portNumber);
  else
    Overrides()[portNumber] = path;
}

}  // namespace tavlink
