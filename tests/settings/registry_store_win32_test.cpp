// The settings in the registry, under a key of the test's own beside the
// real one: what is written where, which root wins, and what is no value.

#include "settings/registry_store_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace tavlink {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = std::string(kZorLinkRegistryKey) + "-test-" + std::to_string(::GetCurrentProcessId());
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_.c_str());
  }

  // Sets a value as an administrator (or another program) would; false
  // when this user may not.
  bool Set(HKEY root, const std::string& subkey, const char* name, DWORD type, const void* data,
           DWORD size) {
    const std::string key = subkey.empty() ? key_ : key_ + "\\" + subkey;
    return ::RegSetKeyValueA(root, key.c_str(), name, type, data, size) == ERROR_SUCCESS;
  }
  bool SetText(HKEY root, const std::string& subkey, const char* name, const std::string& text) {
    return Set(root, subkey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  bool SetPort(HKEY root, DWORD port) {
    return Set(root, "", "Port", REG_DWORD, &port, sizeof port);
  }

  std::string key_;
};

TEST_F(RegistryStoreTest, PortIsADwordOfTheCurrentUser) {
  RegistrySettingStore store(key_);
  EXPECT_FALSE(store.ReadPort().has_value());
  ASSERT_TRUE(store.WritePort(3));
  EXPECT_EQ(store.ReadPort(), 3);

  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(
      ::RegGetValueA(HKEY_CURRENT_USER, key_.c_str(), "Port", RRF_RT_ANY, &type, &value, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 3u);
  EXPECT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), "Port", RRF_RT_ANY, nullptr, nullptr,
                           nullptr),
            ERROR_FILE_NOT_FOUND);
}

// The original kept the port under HKEY_LOCAL_MACHINE alone: such a value
// still counts until the user chooses a port of their own.
TEST_F(RegistryStoreTest, MachinePortCountsUntilTheUserHasOne) {
  if (!SetPort(HKEY_LOCAL_MACHINE, 2)) GTEST_SKIP() << "this user may not write HKEY_LOCAL_MACHINE";
  RegistrySettingStore store(key_);
  EXPECT_EQ(store.ReadPort(), 2);
  ASSERT_TRUE(store.WritePort(5));
  EXPECT_EQ(store.ReadPort(), 5);
  DWORD machine = 0, size = sizeof machine;
  ASSERT_EQ(::RegGetValueA(HKEY_LOCAL_MACHINE, key_.c_str(), "Port", RRF_RT_REG_DWORD, nullptr,
                           &machine, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(machine, 2u);
}

TEST_F(RegistryStoreTest, APortThatIsNoDwordIsNoPort) {
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, "", "Port", "3"));
  EXPECT_FALSE(RegistrySettingStore(key_).ReadPort().has_value());
}

TEST_F(RegistryStoreTest, DeviceMappingsAreTextsBesideThePort) {
  RegistrySettingStore store(key_);
  EXPECT_FALSE(store.ReadDevice(4).has_value());
  ASSERT_TRUE(store.WriteDevice(4, "COM7"));
  EXPECT_EQ(store.ReadDevice(4), "COM7");
  EXPECT_FALSE(store.ReadDevice(5).has_value());
  char text[16] = {};
  DWORD size = sizeof text;
  ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, (key_ + "\\Devices").c_str(), "COM4", RRF_RT_REG_SZ,
                           nullptr, text, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(text, "COM7");

  // Typed by hand with spaces around; a blank one maps nothing.
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, "Devices", "COM6", "  \\\\.\\COM12 "));
  EXPECT_EQ(store.ReadDevice(6), "\\\\.\\COM12");
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, "Devices", "COM6", "   "));
  EXPECT_FALSE(store.ReadDevice(6).has_value());
}

// An empty device is the user's own choice of no mapping, kept as an empty
// value: it hides a mapping preset under HKEY_LOCAL_MACHINE, which only a
// missing value of the user's lets through.
TEST_F(RegistryStoreTest, AnEmptyDeviceIsStoredAndHidesTheMachinesMapping) {
  RegistrySettingStore store(key_);
  ASSERT_TRUE(store.WriteDevice(2, "COM9"));
  ASSERT_TRUE(store.WriteDevice(2, ""));
  EXPECT_FALSE(store.ReadDevice(2).has_value());
  char text[16] = "x";
  DWORD type = 0, size = sizeof text;
  ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, (key_ + "\\Devices").c_str(), "COM2", RRF_RT_ANY,
                           &type, text, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(text, "");

  if (!SetText(HKEY_LOCAL_MACHINE, "Devices", "COM2", "COM3") ||
      !SetText(HKEY_LOCAL_MACHINE, "Devices", "COM4", "COM5"))
    GTEST_SKIP() << "this user may not write HKEY_LOCAL_MACHINE";
  EXPECT_FALSE(store.ReadDevice(2).has_value());  // the user's empty value wins
  EXPECT_EQ(store.ReadDevice(4), "COM5");         // where the user has none, the machine's
  ASSERT_TRUE(SetText(HKEY_CURRENT_USER, "Devices", "COM4", ""));  // as another program would
  EXPECT_FALSE(store.ReadDevice(4).has_value());

  ASSERT_EQ(::RegDeleteKeyValueA(HKEY_CURRENT_USER, (key_ + "\\Devices").c_str(), "COM2"),
            ERROR_SUCCESS);
  EXPECT_EQ(store.ReadDevice(2), "COM3");
  ASSERT_TRUE(store.WriteDevice(2, "COM9"));
  EXPECT_EQ(store.ReadDevice(2), "COM9");
  ASSERT_TRUE(store.WriteDevice(2, ""));
  EXPECT_FALSE(store.ReadDevice(2).has_value());
}

// The editor's recent files are one REG_MULTI_SZ of the user's, in order,
// and replacing the list drops what it no longer names.
TEST_F(RegistryStoreTest, RecentFilesAreOneMultiStringOfTheUser) {
  RegistrySettingStore store(key_);
  EXPECT_TRUE(store.ReadRecentFiles().empty());
  ASSERT_TRUE(store.WriteRecentFiles({"C:\\lists\\b.txt", "D:\\a b.bin"}));
  EXPECT_EQ(store.ReadRecentFiles(), (std::vector<std::string>{"C:\\lists\\b.txt", "D:\\a b.bin"}));
  char raw[64] = {};
  DWORD size = sizeof raw;
  ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, (key_ + "\\Editor").c_str(), "RecentFiles",
                           RRF_RT_REG_MULTI_SZ, nullptr, raw, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(raw, size), std::string("C:\\lists\\b.txt\0D:\\a b.bin\0\0", 27));
  ASSERT_TRUE(store.WriteRecentFiles({}));
  EXPECT_TRUE(store.ReadRecentFiles().empty());
}

TEST_F(RegistryStoreTest, VerifyAfterWriteIsADwordAndUnsetUntilChosen) {
  RegistrySettingStore store(key_);
  EXPECT_FALSE(store.ReadVerifyAfterWrite().has_value());
  ASSERT_TRUE(store.WriteVerifyAfterWrite(false));
  EXPECT_EQ(store.ReadVerifyAfterWrite(), false);
  ASSERT_TRUE(store.WriteVerifyAfterWrite(true));
  EXPECT_EQ(store.ReadVerifyAfterWrite(), true);
}

TEST(RegistryStoreLocationTest, NamesTheUsersKey) {
  EXPECT_EQ(SettingStoreLocation(), "HKEY_CURRENT_USER\\SOFTWARE\\ZOR\\ZORLINK");
}

}  // namespace
}  // namespace tavlink
