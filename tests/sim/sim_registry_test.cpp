// The simulated registry: REGEDIT4 file round trips, name rules and the toolkit layer on top.
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "base/files.h"
#include "platform/registry_access.h"
#include "platform/sim/registry.h"
#include "test_support/temp_dir.h"

namespace lanvoy::sim {
namespace {

namespace fs = std::filesystem;
using platform::RootKey;
using platform::ValueType;

class SimRegistryTest : public ::testing::Test {
 protected:
  test::TempDir root;
  SimRegistry registry{root.path() / "registry.reg"};
  std::string File() { return root.Read("registry.reg"); }
};

TEST_F(SimRegistryTest, ValuesSurviveTheFileAndNamesIgnoreCase) {
  auto key = registry.Open(RootKey::CurrentUser, "\\Software\\Lanvoy\\Test", true);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("ProxyServer", "proxy1:8080"));
  ASSERT_TRUE(key->SetDWord("ProxyEnable", 42));
  ASSERT_TRUE(key->SetString("", "default"));

  // A second, fresh view of the same file: nothing is cached.
  SimRegistry other(root.path() / "registry.reg");
  auto again = other.Open(RootKey::CurrentUser, "software\\LANVOY\\test\\", false);
  ASSERT_NE(again, nullptr);
  auto server = again->Query("PROXYSERVER");
  ASSERT_TRUE(server);
  EXPECT_EQ(server->type, ValueType::String);
  EXPECT_EQ(server->text, "proxy1:8080");
  auto enable = again->Query("proxyenable");
  ASSERT_TRUE(enable);
  EXPECT_EQ(enable->type, ValueType::DWord);
  EXPECT_EQ(enable->dword, 42u);
  EXPECT_EQ(again->Query("")->text, "default");
  EXPECT_FALSE(again->Query("Missing"));

  // Rewriting under another case keeps the first spelling and the value's place.
  ASSERT_TRUE(again->SetString("proxyserver", "proxy2:3128"));
  EXPECT_EQ(File(),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Lanvoy\\Test]\r\n"
            "\"ProxyServer\"=\"proxy2:3128\"\r\n\"ProxyEnable\"=dword:0000002a\r\n"
            "@=\"default\"\r\n\r\n");

  EXPECT_TRUE(again->DeleteValue("PROXYENABLE"));
  EXPECT_FALSE(again->DeleteValue("ProxyEnable"));
  EXPECT_FALSE(key->Query("ProxyEnable"));
}

TEST_F(SimRegistryTest, RootsAreSeparate) {
  ASSERT_TRUE(registry.Open(RootKey::LocalMachine, "System\\Name", true)->SetString("A", "lm"));
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "System\\Name", false), nullptr);
  ASSERT_TRUE(registry.Open(RootKey::CurrentUser, "System\\Name", true)->SetString("A", "cu"));
  EXPECT_EQ(registry.Open(RootKey::LocalMachine, "System\\Name", false)->Query("a")->text, "lm");
}

TEST_F(SimRegistryTest, OpenWithoutCreateNeedsAnExistingKey) {
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "Software\\Nothing", false), nullptr);
  EXPECT_FALSE(root.Exists("registry.reg")) << "a failed open writes nothing";
  ASSERT_NE(registry.Open(RootKey::CurrentUser, "Software\\A\\B\\C", true), nullptr);
  // A key that only exists as the parent of another opens too, as on Windows.
  EXPECT_NE(registry.Open(RootKey::CurrentUser, "\\software\\a", false), nullptr);
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "Software\\A\\B\\C\\D", false), nullptr);
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "Software\\A\\B\\", false) != nullptr, true);
  // "Software\AB" is not below "Software\A".
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "Software\\AB", false), nullptr);
}

TEST_F(SimRegistryTest, EscapesAndLineBreaksRoundTrip) {
  auto key = registry.Open(RootKey::CurrentUser, "Software\\Esc", true);
  const std::string tricky = R"(C:\Program Files\"Lanvoy"\x\\)";
  ASSERT_TRUE(key->SetString("Path \"quoted\" \\ name", tricky));
  ASSERT_TRUE(key->SetString("Lines", "one\r\ntwo"));
  EXPECT_NE(File().find(R"("Path \"quoted\" \\ name"="C:\\Program Files\\\"Lanvoy\"\\x\\\\")"),
            std::string::npos);
  EXPECT_EQ(key->Query("path \"QUOTED\" \\ name")->text, tricky);
  EXPECT_EQ(key->Query("Lines")->text, "one\r\ntwo");
  EXPECT_EQ(key->Query("Lines")->type, ValueType::String);
}

TEST_F(SimRegistryTest, HandWrittenFileIsReadAndOtherTypesKept) {
  root.Write("registry.reg",
             "REGEDIT4\n\n"
             "; written by hand\n"
             "[HKEY_LOCAL_MACHINE\\System\\Tcpip]\n"
             "\"Hostname\"=\"box\"\n"
             "\"Path\"=hex(2):25,53,79,73,\\\n"
             "  74,65,6d,00\n"
             "\"Flags\"=hex:01,02\n"
             "\"Count\"=dword:FFFFFFFF\n"
             "\"Legacy\"=hex(4):2a,00,00,00\n"
             "\"Text\"=hex(1):68,69,00\n"
             "@=\"def\"\n");
  auto key = registry.Open(RootKey::LocalMachine, "System\\TCPIP", false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Query("Hostname")->text, "box");
  EXPECT_EQ(key->Query("Path")->type, ValueType::Other);
  EXPECT_EQ(key->Query("Flags")->type, ValueType::Other);
  EXPECT_EQ(key->Query("Count")->dword, 0xFFFFFFFFu);
  EXPECT_EQ(key->Query("Legacy")->dword, 42u);
  EXPECT_EQ(key->Query("Text")->text, "hi");
  EXPECT_EQ(key->Query("")->text, "def");

  ASSERT_TRUE(key->SetString("Hostname", "other"));
  std::string after = File();
  EXPECT_NE(after.find("\"Path\"=hex(2):25,53,79,73,74,65,6d,00\r\n"), std::string::npos);
  EXPECT_NE(after.find("\"Flags\"=hex:01,02\r\n"), std::string::npos);
  EXPECT_NE(after.find("\"Hostname\"=\"other\"\r\n"), std::string::npos);
}

// A continuation backslash with no line after it, or data that a continuation leaves ending in
// a blank or control byte: written back as read, the next read must give the same values, and
// a value written after them must stay a value of its own.
TEST_F(SimRegistryTest, DataEndingInAContinuationReadsBackTheSame) {
  const std::string files[] = {
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Lanvoy]\r\n\"v\"=hex:01,\\",
      std::string("\\\n[]\n\"\"=\\", 9),
      std::string("\\\r[]\r@=\0\\\n\n", 11),
      "[HKEY_CURRENT_USER\\Software\\Lanvoy]\r\n\"v\"=hex:01,\\\r\n \t\r\n",
      // Found by fuzzing: control bytes between two backslashes at the end.
      std::string("[K]\n\"\"=\xfe\x03\\\x01\0\0\\", 14),
  };
  for (const std::string& text : files) {
    SCOPED_TRACE(::testing::PrintToString(text));
    const RegistryFile first = RegistryFile::Parse(text);
    const RegistryFile again = RegistryFile::Parse(first.Serialize());
    ASSERT_EQ(again.keys().size(), first.keys().size());
    for (std::size_t k = 0; k < first.keys().size(); ++k) {
      const auto& a = first.keys()[k];
      const auto& b = again.keys()[k];
      EXPECT_EQ(b.path, a.path);
      ASSERT_EQ(b.values.size(), a.values.size());
      for (std::size_t v = 0; v < a.values.size(); ++v) {
        EXPECT_EQ(b.values[v].name, a.values[v].name);
        EXPECT_EQ(b.values[v].data, a.values[v].data);
      }
    }
  }
  root.Write("registry.reg", files[0]);
  auto key = registry.Open(RootKey::CurrentUser, "Software\\Lanvoy", false);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString("w", "after"));
  ASSERT_TRUE(key->SetDWord("x", 7));
  EXPECT_EQ(key->Query("w")->text, "after");
  EXPECT_EQ(key->Query("x")->dword, 7u);
  EXPECT_EQ(key->Query("v")->raw, "hex:01,");
}

TEST_F(SimRegistryTest, ToolkitLayerReportsMissingAndWrongTypedValues) {
  auto key = registry.Open(RootKey::CurrentUser, "Software\\T", true);
  ASSERT_TRUE(key->SetString("Text", "abc"));
  ASSERT_TRUE(key->SetDWord("Number", 7));
  root.Write("registry.reg", File() + "[HKEY_CURRENT_USER\\Software\\T]\r\n\"Bin\"=hex:00\r\n");

  TRegistry reg(registry, RootKey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\Software\\T", false));
  EXPECT_EQ(reg.ReadInteger("Number"), 7);
  EXPECT_EQ(reg.ReadString("Text"), "abc");
  EXPECT_EQ(reg.ReadString("Absent"), "");
  auto message = [&](auto read) -> std::string {
    try {
      read();
    } catch (const ERegistryException& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { reg.ReadInteger("Absent"); }), "Failed to get data for 'Absent'");
  EXPECT_EQ(message([&] { reg.ReadInteger("Text"); }), "Invalid data type for 'Text'");
  EXPECT_EQ(message([&] { reg.ReadString("Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(message([&] { reg.ReadString("Bin"); }), "Invalid data type for 'Bin'");
  EXPECT_FALSE(reg.OpenKey("\\Software\\Missing", false));
}

TEST_F(SimRegistryTest, AFileThatCannotBeReadIsNeverOverwritten) {
  fs::create_directories(root.path() / "registry.reg");  // exists, but unreadable as a file
  EXPECT_EQ(registry.Open(RootKey::CurrentUser, "Software\\X", true), nullptr);
  EXPECT_TRUE(fs::is_directory(root.path() / "registry.reg"));
}

TEST_F(SimRegistryTest, WritesAreAtomicAndLoseNothing) {
  ASSERT_NE(registry.Open(RootKey::CurrentUser, "Software\\Load", true), nullptr);
  std::atomic<bool> done{false};
  std::atomic<int> partial{0};
  // A reader never sees a file cut short: it always ends with the blank closing line.
  std::thread reader([&] {
    while (!done) {
      auto bytes = ReadFileBytes((root.path() / "registry.reg").string());
      if (!bytes || bytes->rfind("REGEDIT4\r\n", 0) != 0 ||
          bytes->compare(bytes->size() - 4, 4, "\r\n\r\n") != 0)
        ++partial;
    }
  });
  auto writer = [&](const std::string& prefix) {
    SimRegistry own(root.path() / "registry.reg");
    auto key = own.Open(RootKey::CurrentUser, "Software\\Load", false);
    for (int i = 0; i < 40; ++i) key->SetString(prefix + std::to_string(i), std::string(200, 'x'));
  };
  std::thread a(writer, "a"), b(writer, "b");
  a.join();
  b.join();
  done = true;
  reader.join();
  EXPECT_EQ(partial, 0);
  EXPECT_EQ(registry.ValueNames(RootKey::CurrentUser, "Software\\Load").size(), 80u)
      << "two writers at once lose none of each other's values";
  for (const auto& entry : fs::directory_iterator(root.path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "registry.reg" || name == "registry.reg.lock") << name;
  }
}

}  // namespace
}  // namespace lanvoy::sim
