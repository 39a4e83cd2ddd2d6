#include "standin/network_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "sim/netsh_test_support.h"
#include "test_support/temp_dir.h"

namespace lanvoy::standin {
namespace {

TEST(NetworkState, FirstUseCreatesTheDefaultMachine) {
  test::TempDir dir;
  const auto file = NetworkStatePath(dir.path() / "fresh-host");
  NetworkState state = NetworkState::LoadOrCreate(file);
  EXPECT_TRUE(std::filesystem::exists(file));
  ASSERT_EQ(state.connections.size(), 2u);
  const auto& lan = state.connections[0];
  EXPECT_EQ(lan.name, "LAN-Verbindung");
  EXPECT_FALSE(lan.dhcp);
  EXPECT_EQ(lan.addresses, (std::vector<AddressEntry>{{"192.168.1.10", "255.255.255.0"}}));
  EXPECT_EQ(lan.gateway, "192.168.1.1");
  EXPECT_EQ(lan.dnsServers, (std::vector<std::string>{"192.168.1.1", "192.168.1.2"}));
  EXPECT_FALSE(lan.winsFromDhcp);
  EXPECT_TRUE(lan.winsServers.empty());
  const auto& wlan = state.connections[1];
  EXPECT_EQ(wlan.name, "WLAN");
  EXPECT_TRUE(wlan.dhcp);
  EXPECT_TRUE(wlan.dnsFromDhcp);
  EXPECT_TRUE(wlan.winsFromDhcp);
  EXPECT_EQ(NetworkState::LoadOrCreate(file), state);
}

TEST(NetworkState, SaveAndLoadKeepEveryValueAndTheOrder) {
  test::TempDir dir;
  const auto file = NetworkStatePath(dir.path());
  NetworkState state = NetworkState::Default();
  ConnectionState third;
  third.name = "Local Area Connection 3";
  third.index = 3;
  third.description = "Virtual Adapter";
  third.addresses = {{"10.0.0.1", "255.0.0.0"}, {"10.1.0.1", "255.255.0.0"}};
  third.gateway = "10.0.0.254";
  third.gatewayMetric = 5;
  third.dnsServers = {"10.0.0.53", "10.0.0.54", "10.0.0.55"};
  third.winsServers = {"10.0.0.99", "10.0.0.98"};
  state.connections.insert(state.connections.begin(), third);
  state.Save(file);
  EXPECT_EQ(NetworkState::Load(file), state);

  // A smaller state replaces the file whole and leaves nothing beside it.
  state.connections.erase(state.connections.begin());
  state.Save(file);
  EXPECT_EQ(NetworkState::Load(file), state);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(NetworkState, ConnectionsWithoutAnIndexOfTheirOwnGetTheNextAboveTheLargest) {
  test::TempDir dir;
  const std::string modes = "Mode=dhcp\r\nDnsSource=dhcp\r\nWinsSource=dhcp\r\n";
  dir.Write("network.ini", "[A]\r\n" + modes + "[B]\r\nIndex=14\r\n" + modes +
                               "[C copied from B]\r\nIndex=14\r\n" + modes);
  const NetworkState state = NetworkState::Load(NetworkStatePath(dir.path()));
  ASSERT_EQ(state.connections.size(), 3u);
  EXPECT_EQ(state.connections[0].index, 15);
  EXPECT_EQ(state.connections[1].index, 14);
  EXPECT_EQ(state.connections[2].index, 16);
  EXPECT_EQ(NetworkState::Load(NetworkStatePath(dir.path())), state);
}

TEST(NetworkState, UnusableFileValuesAreReportedWithTheirPlace) {
  test::TempDir dir;
  dir.Write("network.ini", "[LAN-Verbindung]\r\nMode=bootp\r\n");
  try {
    NetworkState::Load(NetworkStatePath(dir.path()));
    FAIL() << "no error";
  } catch (const ENetworkStateError& e) {
    EXPECT_NE(std::string(e.what()).find("\"LAN-Verbindung\" has Mode=bootp"), std::string::npos)
        << e.what();
  }
  dir.Write("network.ini",
            "[X]\r\nMode=static\r\nDnsSource=static\r\nWinsSource=dhcp\r\n"
            "GatewayMetric=one\r\n");
  EXPECT_THROW(NetworkState::Load(NetworkStatePath(dir.path())), ENetworkStateError);
  EXPECT_THROW(NetworkState::Load(dir.path() / "missing.ini"), ENetworkStateError);
}

TEST(NetworkState, SaveIntoAMissingFolderFails) {
  test::TempDir dir;
  EXPECT_THROW(NetworkState::Default().Save(dir.path() / "no" / "network.ini"), EFCreateError);
}

TEST(Rundll32, NetworkConnectionsPanelListsTheConnectionsAndLogsTheOpening) {
  test::TempDir dir;
  dir.Write("events.log", "earlier event\n");
  auto run = test::RunTool("Rundll32", "Shell32.dll,Control_RunDLL ncpa.cpl", dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "LAN-Verbindung\r\nWLAN\r\n");
  EXPECT_EQ(dir.Read("events.log"), "earlier event\nopen network connections panel\n");

  run = test::RunTool("Rundll32", "shell32.dll,Control_RunDLL NCPA.CPL", dir.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(dir.Read("events.log"),
            "earlier event\nopen network connections panel\nopen network connections panel\n");

  run = test::RunTool("Rundll32", "Shell32.dll,Control_RunDLL desk.cpl", dir.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("desk.cpl"), std::string::npos);
  run = test::RunTool("Rundll32", "", dir.path());
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
}  // namespace lanvoy::standin
