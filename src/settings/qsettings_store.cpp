// SettingStore kept with QSettings.
#include "settings/qsettings_store.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace tavlink {
namespace {

constexpr const char* kOrganization = "ZOR";
constexpr const char* kApplication = "ZORLINK";

class QSettingsStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override {
    QSettings settings(kOrganization, kApplication);
    const QVariant value = settings.value("Port");
    if (!value.isValid()) return std::nullopt;
    // The file stores text; a number written by us reads back as "2".
    bool ok = false;
    const int port = value.toString().trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return port;
  }

  bool WritePort(int32_t port) override {
    QSettings settings(kOrganization, kApplication);
    settings.setValue("Port", port);
    settings.sync();
    return settings.status() == QSettings::NoError;
  }

  std::optional<std::string> ReadDevice(int portNumber) override {
    // The user's value is found before the machine's, an empty one too.
    QSettings settings(kOrganization, kApplication);
    const QVariant value = settings.value(DeviceKey(portNumber));
    if (!value.isValid()) return std::nullopt;
    const QString path = value.toString().trimmed();
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
  }

  bool WriteDevice(int portNumber, const std::string& path) override {
    // Written even when empty: a removed value would let the machine's
    // mapping (the system scope, /etc/xdg) apply again.
    QSettings settings(kOrganization, kApplication);
    settings.setValue(DeviceKey(portNumber), QString::fromStdString(path));
    settings.sync();
    return settings.status() == QSettings::NoError;
  }

  std::vector<std::string> ReadRecentFiles() override {
    QSettings settings(kOrganization, kApplication);
    std::vector<std::string> paths;
    for (const QString& path : settings.value("Editor/RecentFiles").toStringList()) {
      if (!path.isEmpty()) paths.push_back(path.toStdString());
    }
    return paths;
  }

  bool WriteRecentFiles(const std::vector<std::string>& paths) override {
    QSettings settings(kOrganization, kApplication);
    QStringList list;
    for (const std::string& path : paths) list << QString::fromStdString(path);
    settings.setValue("Editor/RecentFiles", list);
    settings.sync();
    return settings.status() == QSettings::NoError;
  }

  std::optional<bool> ReadVerifyAfterWrite() override {
    QSettings settings(kOrganization, kApplication);
    const QString value = settings.value("Editor/VerifyAfterWrite").toString().trimmed();
    if (value == "true" || value == "1") return true;
    if (value == "false" || value == "0") return false;
    return std::nullopt;
  }

  bool WriteVerifyAfterWrite(bool verify) override {
    QSettings settings(kOrganization, kApplication);
    settings.setValue("Editor/VerifyAfterWrite", verify);
    settings.sync();
    return settings.status() == QSettings::NoError;
  }

 private:
  static QString DeviceKey(int portNumber) { return QString("Devices/COM%1").arg(portNumber); }
};

}  // namespace

std::unique_ptr<SettingStore> MakeQSettingsStore() {
  return std::make_unique<QSettingsStore>();
}

std::unique_ptr<SettingStore> MakeSettingStore() {
  return MakeQSettingsStore();
}

std::string SettingStoreLocation() {
  QSettings settings(kOrganization, kApplication);
  std::string path = settings.fileName().toStdString();
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0' && path.rfind(std::string(home) + "/", 0) == 0)
    path = "~" + path.substr(std::string(home).size());
  return path;
}

}  // namespace tavlink
