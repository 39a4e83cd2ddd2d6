// The registry backend against Wine's real registry, read back through "reg query".
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/platform.h"
#include "platform/registry_access.h"
#include "win32/win32_test_support.h"

namespace lanvoy {
namespace {

using platform::RootKey;
using platform::ValueType;

class Win32RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { Reg("delete " + RegPath("") + " /f"); }

  // Each test in a key of its own under HKCU\Software\LanvoyTests.
  std::string Base(const std::string& sub) const { return "\\Software\\LanvoyTests\\" + id_ + sub; }
  std::string RegPath(const std::string& sub) const {
    return "HKCU\\Software\\LanvoyTests\\" + id_ + sub;
  }
  test::Captured Reg(const std::string& arguments) {
    return test::RunCaptured(*machine_, "reg " + arguments);
  }

  std::unique_ptr<platform::Platform> machine_ = platform::CreatePlatform();
  platform::Registry& registry_ = machine_->registry();
  std::string id_ = std::to_string(std::random_device{}());
};

TEST_F(Win32RegistryTest, ValuesWrittenThroughTheKeyStandInTheSystemRegistry) {
  auto key = registry_.Open(RootKey::CurrentUser, Base("\\Internet Settings"), true);
  ASSERT_NE(key, nullptr) << "the leading backslash must not reach the API";
  EXPECT_TRUE(key->SetString("ProxyServer", "proxy1:8080"));
  EXPECT_TRUE(key->SetString("ProxyOverride", ""));
  EXPECT_TRUE(key->SetDWord("ProxyEnable", 0x80000001u));
  key.reset();  // closed; a new open sees the values

  auto reopened = registry_.Open(RootKey::CurrentUser, Base("\\INTERNET SETTINGS"), false);
  ASSERT_NE(reopened, nullptr) << "names compare without regard to case";
  auto server = reopened->Query("proxyserver");
  ASSERT_TRUE(server.has_value());
  EXPECT_EQ(server->type, ValueType::String);
  EXPECT_EQ(server->text, "proxy1:8080");
  auto empty = reopened->Query("ProxyOverride");
  ASSERT_TRUE(empty.has_value());
  EXPECT_EQ(empty->text, "");
  auto enable = reopened->Query("ProxyEnable");
  ASSERT_TRUE(enable.has_value());
  EXPECT_EQ(enable->type, ValueType::DWord);
  EXPECT_EQ(enable->dword, 0x80000001u);

  test::Captured query = Reg("query " + test::Quoted(RegPath("\\Internet Settings")));
  ASSERT_TRUE(query.started);
  EXPECT_EQ(query.exitCode, 0u) << query.output;
  EXPECT_NE(query.output.find("ProxyServer    REG_SZ    proxy1:8080"), std::string::npos)
      << query.output;
  EXPECT_NE(query.output.find("ProxyEnable    REG_DWORD    0x80000001"), std::string::npos)
      << query.output;
}

TEST_F(Win32RegistryTest, OpenWithoutCreateFindsOnlyExistingKeys) {
  EXPECT_EQ(registry_.Open(RootKey::CurrentUser, Base("\\Accounts\\00000001"), false), nullptr);
  // Still not there: a failed open creates nothing.
  EXPECT_EQ(registry_.Open(RootKey::CurrentUser, Base("\\Accounts"), false), nullptr);
  ASSERT_NE(registry_.Open(RootKey::CurrentUser, Base("\\Accounts\\00000001"), true), nullptr);
  // A trailing backslash names the same key, as the program's computer-name path has one.
  EXPECT_NE(registry_.Open(RootKey::CurrentUser, Base("\\Accounts\\00000001\\"), false), nullptr);
  EXPECT_EQ(Reg("query " + RegPath("\\Accounts\\00000001")).exitCode, 0u);
}

TEST_F(Win32RegistryTest, ValueTypesAndDeletion) {
  const std::string path = RegPath("\\Types");
  ASSERT_EQ(Reg("add " + path + " /v Bin /t REG_BINARY /d 0102 /f").exitCode, 0u);
  ASSERT_EQ(Reg("add " + path + " /v Expand /t REG_EXPAND_SZ /d %TEMP%\\x /f").exitCode, 0u);
  ASSERT_EQ(Reg("add " + path + " /v Multi /t REG_MULTI_SZ /d a /f").exitCode, 0u);
  auto key = registry_.Open(RootKey::CurrentUser, Base("\\Types"), false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Query("Bin")->type, ValueType::Other);
  EXPECT_EQ(key->Query("Multi")->type, ValueType::Other);
  auto expand = key->Query("Expand");
  ASSERT_TRUE(expand.has_value());
  EXPECT_EQ(expand->type, ValueType::String);  // read as text, not expanded
  EXPECT_EQ(expand->text, "%TEMP%\\x");
  EXPECT_FALSE(key->Query("Missing").has_value());
  EXPECT_TRUE(key->DeleteValue("Bin"));
  EXPECT_FALSE(key->DeleteValue("Bin"));
  EXPECT_FALSE(key->Query("Bin").has_value());
  EXPECT_NE(Reg("query " + path + " /v Bin").exitCode, 0u);
}

TEST_F(Win32RegistryTest, TRegistryRaisesTheToolkitMessages) {
  TRegistry reg(registry_, RootKey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey(Base("\\Messages"), true));
  reg.WriteString("Text", "abc");
  reg.WriteInteger("Number", -5);
  EXPECT_EQ(reg.ReadInteger("Number"), -5);
  EXPECT_EQ(reg.ReadString("Text"), "abc");
  EXPECT_EQ(reg.ReadString("Absent"), "");
  auto message = [&](auto&& call) {
    try {
      call();
    } catch (const ERegistryException& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { reg.ReadInteger("Absent"); }), "Failed to get data for 'Absent'");
  EXPECT_EQ(message([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
  EXPECT_EQ(message([&] { reg.ReadString("Number"); }), "Invalid data type for 'Number'");

  // A key deleted while it is open takes no more values.
  ASSERT_EQ(Reg("delete " + RegPath("\\Messages") + " /f").exitCode, 0u);
  EXPECT_EQ(message([&] { reg.WriteString("Late", "x"); }), "Failed to set data for 'Late'");
}

TEST_F(Win32RegistryTest, LocalMachineComputerNameKeyOpensWithFullAccess) {
  auto key =
      registry_.Open(RootKey::LocalMachine,
                     "\\System\\CurrentControlSet\\Control\\ComputerName\\ComputerName\\", true);
  ASSERT_NE(key, nullptr);
  auto name = key->Query("ComputerName");
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(name->type, ValueType::String);
  EXPECT_FALSE(name->text.empty());
}

}  // namespace
}  // namespace lanvoy
