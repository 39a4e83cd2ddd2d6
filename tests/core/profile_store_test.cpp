#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class ProfileStoreTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  TProfileStore store_{dir_.File("Lanvoy.INI")};
  void Put(const std::string& bytes) { dir_.Write("Lanvoy.INI", bytes); }
  std::string Bytes() { return dir_.Read("Lanvoy.INI"); }
  std::vector<std::string> Keys(const std::string& name) { return store_.Ini().ReadSection(name); }
};

ProfileRecord FullRecord() {
  ProfileRecord r;
  r.LongLANDescription = "LAN-Verbindung";
  r.DHCP = kModeStatic;
  r.IP = "192.168.0.20";
  r.Subnet = "255.255.255.0";
  r.IP2 = "192.168.1.20";
  r.Subnet2 = "255.255.0.0";
  r.Gateway = "192.168.0.1";
  r.DNS = "192.168.0.2";
  r.DNS2 = "192.168.0.3";
  r.WINS = "192.168.0.4";
  r.DHCP_DNS = true;
  r.DHCP_WINS = true;
  r.LongLANDescriptionLan2 = "Drahtlose Netzwerkverbindung";
  r.DHCPLan2 = kModeDhcp;
  r.IPLan2 = "10.0.0.20";
  r.SubnetLan2 = "255.0.0.0";
  r.IP2Lan2 = "10.0.1.20";
  r.Subnet2Lan2 = "255.255.255.128";
  r.GatewayLan2 = "10.0.0.1";
  r.DNSLan2 = "10.0.0.2";
  r.DNS2Lan2 = "10.0.0.3";
  r.WINSLan2 = "10.0.0.4";
  r.DHCP_DNSLan2 = true;
  r.DHCP_WINSLan2 = true;
  r.Proxy = "proxy.example.com";
  r.ProxyPort = "3128";
  r.EnableProxy = true;
  r.ProxyNoLocal = true;
  r.ProxyNotUsed = "10.*\r\nintranet";
  r.OLEXPPOP = "pop.example.com";
  r.OLEXPSMTP = "smtp.example.com";
  r.OLEXPIMAP = "imap.example.com";
  r.IncludeOLExp = true;
  r.IncludeDefPrint = true;
  r.DefPrinter = "HP LaserJet 4";
  r.IncludeHostModification = true;
  r.Hosts = {{"printer", "10.0.0.5", "lab"}, {"server1", "10.0.0.6", ""}};
  r.IncludeHostName = true;
  r.HostName = "NOTEBOOK7";
  r.IncludeSript = true;
  r.ScriptLines = {"   indented and trailing   ", "echo 'quoted'", "'", ""};
  r.ScriptKind = 2;
  return r;
}

const std::vector<std::string> kSaveOrder = {"IP2",
                                             "Subnet2",
                                             "IP",
                                             "Subnet",
                                             "DNS",
                                             "DNS2",
                                             "Gateway",
                                             "WINS",
                                             "DHCP",
                                             "DHCP_DNS",
                                             "DHCP_WINS",
                                             "LongLANDescription",
                                             "IP2Lan2",
                                             "Subnet2Lan2",
                                             "IPLan2",
                                             "SubnetLan2",
                                             "DNSLan2",
                                             "DNS2Lan2",
                                             "GatewayLan2",
                                             "WINSLan2",
                                             "DHCPLan2",
                                             "DHCP_DNSLan2",
                                             "DHCP_WINSLan2",
                                             "LongLANDescriptionLan2",
                                             "Proxy",
                                             "ProxyPort",
                                             "EnableProxy",
                                             "ProxyNoLocal",
                                             "ProxyNotUsed",
                                             "OLEXPPOP",
                                             "OLEXPSMTP",
                                             "OLEXPIMAP",
                                             "IncludeOLExp",
                                             "IncludeDefPrint",
                                             "DefPrinter",
                                             "IncludeHostModification",
                                             "HostsCount",
                                             "H1",
                                             "H2",
                                             "IncludeHostName",
                                             "HostName",
                                             "IncludeSript",
                                             "ScriptLinesCount",
                                             "ScriptKind",
                                             "S1",
                                             "S2",
                                             "S3",
                                             "S4"};

TEST(ProfileStorePaths, ExtensionReplacedOrAppended) {
  EXPECT_EQ(StorePathFor("C:\\Programs\\Lanvoy\\Lanvoy.exe"), "C:\\Programs\\Lanvoy\\Lanvoy.INI");
  EXPECT_EQ(OptionsPathFor("C:\\Programs\\Lanvoy\\Lanvoy.exe"), "C:\\Programs\\Lanvoy\\Lanvoy.GUI");
  EXPECT_EQ(StorePathFor("/opt/lanvoy/bin/Lanvoy"), "/opt/lanvoy/bin/Lanvoy.INI");
  EXPECT_EQ(OptionsPathFor("/opt/lan.voy/Lanvoy"), "/opt/lan.voy/Lanvoy.GUI");
}

TEST_F(ProfileStoreTest, RoundTripOfEveryField) {
  ProfileRecord r = FullRecord();
  store_.SaveProfile("Office", r);
  EXPECT_EQ(Keys("Office"), kSaveOrder);
  EXPECT_EQ(store_.Ini().ReadString("Office", "H1", ""), "10.0.0.5   printer   #lab");
  EXPECT_NE(Bytes().find("H2='10.0.0.6   server1   #'\r\n"), std::string::npos);
  EXPECT_NE(Bytes().find("S1='   indented and trailing   '\r\nS2='echo 'quoted''\r\n"),
            std::string::npos);
  EXPECT_EQ(store_.Ini().ReadString("Office", "ProxyNotUsed", ""), "10.*;intranet");
  EXPECT_EQ(store_.LoadProfile("Office"), r);
  // Saving what was loaded changes nothing: host names do not gather blanks.
  const std::string first = Bytes();
  store_.SaveProfile("Office", store_.LoadProfile("Office"));
  EXPECT_EQ(Bytes(), first);
}

// Texts the file would otherwise trim or unquote on the next read come back as typed.
TEST_F(ProfileStoreTest, TextsWithBlankEndsOrQuotesReadBackAsTyped) {
  ProfileRecord r;
  r.LongLANDescription = " LAN-Verbindung 2";
  r.DefPrinter = "'Canon iP4200'";
  r.HostName = "\"B\xFCro\" ";
  r.Proxy = "\tproxy";
  store_.SaveProfile("Office", r);
  EXPECT_EQ(store_.LoadProfile("Office"), r);
  EXPECT_EQ(store_.Ini().ReadString("Office", "IP", "-"), "");
}

TEST_F(ProfileStoreTest, ExclusionListEmptyLinesVanish) {
  ProfileRecord r;
  r.ProxyNotUsed = "a\r\n\r\n\r\nb\r\n";
  store_.SaveProfile("P", r);
  EXPECT_EQ(store_.Ini().ReadString("P", "ProxyNotUsed", "?"), "a;b");
  EXPECT_EQ(store_.LoadProfile("P").ProxyNotUsed, "a\r\nb");

  r.ProxyNotUsed = "\r\nfirst\r\nsecond";  // a leading empty line stays
  store_.SaveProfile("P", r);
  EXPECT_EQ(store_.Ini().ReadString("P", "ProxyNotUsed", "?"), ";first;second");
  EXPECT_EQ(store_.LoadProfile("P").ProxyNotUsed, "\r\nfirst\r\nsecond");

  r.ProxyNotUsed = "\r\n\r\n\r\n";
  store_.SaveProfile("P", r);
  EXPECT_EQ(store_.Ini().ReadString("P", "ProxyNotUsed", "?"), "");

  r.ProxyNotUsed = "x\ny";  // a bare LF is a line break too, never written raw
  store_.SaveProfile("P", r);
  EXPECT_EQ(store_.Ini().ReadString("P", "ProxyNotUsed", "?"), "x;y");
}

TEST_F(ProfileStoreTest, CreateWritesDefaultsAndFirstSaveDropsCreationKeys) {
  ProfileRecord created = store_.CreateProfile("DEFAULT");
  EXPECT_EQ(Keys("DEFAULT"), (std::vector<std::string>{"IP",
                                                       "Subnet",
                                                       "DNS",
                                                       "DNS2",
                                                       "Gateway",
                                                       "Proxy",
                                                       "ProxyPort",
                                                       "WINS",
                                                       "DHCP",
                                                       "DHCP_DNS",
                                                       "DHCP_WINS",
                                                       "OLEXPPOP",
                                                       "OLEXPSMTP",
                                                       "OLEXPIMAP",
                                                       "OLPROFILE",
                                                       "OLSERVER",
                                                       "IncludeOL",
                                                       "IncludeOLExp",
                                                       "LongLANDescription",
                                                       "IncludeDefPrint",
                                                       "DefPrinter"}));
  EXPECT_EQ(store_.Ini().ReadString("DEFAULT", "IncludeOL", ""), "0");
  ProfileRecord expected;
  expected.Subnet = "255.255.255.0";
  expected.LongLANDescription = "LAN-Verbindung";
  EXPECT_EQ(created, expected);
  EXPECT_EQ(created.ScriptKind, 0);
  EXPECT_EQ(created.Hosts.size(), 1u);

  store_.SaveProfile("DEFAULT", created);
  auto keys = Keys("DEFAULT");
  for (const char* gone : {"OLPROFILE", "OLSERVER", "IncludeOL", "HostsCount", "H1", "S1"})
    EXPECT_EQ(std::find(keys.begin(), keys.end(), gone), keys.end()) << gone;
  EXPECT_EQ(store_.Ini().ReadString("DEFAULT", "ScriptLinesCount", ""), "0");
}

TEST_F(ProfileStoreTest, CreateOnExistingKeepsOtherKeys) {
  Put("[P]\r\nHostName=box\r\nIP=1.2.3.4\r\n");
  store_.CreateProfile("p");
  EXPECT_EQ(store_.Ini().ReadString("P", "HostName", ""), "box");
  EXPECT_EQ(store_.Ini().ReadString("P", "IP", "?"), "");
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"P"}));
}

TEST_F(ProfileStoreTest, MissingSectionAndKeysLoadDefaults) {
  EXPECT_EQ(store_.LoadProfile("nothing"), ProfileRecord{});
  Put("[P]\r\nProxyPort=\r\n[Q]\r\nIP=1\r\n");
  EXPECT_EQ(store_.LoadProfile("P").ProxyPort, "");
  EXPECT_EQ(store_.LoadProfile("Q").ProxyPort, "8080");
}

TEST_F(ProfileStoreTest, ModesAndKindsAreMappedOnLoad) {
  Put("[P]\r\nDHCP=5\r\nDHCPLan2=-3\r\nScriptKind=4\r\n[Q]\r\nDHCP=abc\r\nDHCPLan2=$1\r\n"
      "ScriptKind=-2\r\n[R]\r\nScriptKind=3\r\nDHCP_DNS=7\r\n");
  auto p = store_.LoadProfile("P");
  EXPECT_EQ(p.DHCP, kModeDhcp);
  EXPECT_EQ(p.DHCPLan2, kModeNone);
  EXPECT_EQ(p.ScriptKind, -1);
  auto q = store_.LoadProfile("Q");
  EXPECT_EQ(q.DHCP, kModeStatic);
  EXPECT_EQ(q.DHCPLan2, kModeDhcp);
  EXPECT_EQ(q.ScriptKind, -1);
  auto r = store_.LoadProfile("R");
  EXPECT_EQ(r.ScriptKind, 3);
  EXPECT_TRUE(r.DHCP_DNS);
  // Saved as selected: none is -1.
  store_.SaveProfile("P", p);
  EXPECT_EQ(store_.Ini().ReadString("P", "DHCPLan2", ""), "-1");
  EXPECT_EQ(store_.Ini().ReadString("P", "ScriptKind", ""), "-1");
}

TEST_F(ProfileStoreTest, HostRows) {
  ProfileRecord r;
  r.Hosts = {{"", "10.0.0.1", "no name"}, {"nohost", "", ""}};
  store_.SaveProfile("P", r);
  EXPECT_FALSE(store_.Ini().ValueExists("P", "HostsCount"));
  EXPECT_FALSE(store_.Ini().ValueExists("P", "H1"));
  EXPECT_EQ(store_.LoadProfile("P").Hosts, std::vector<HostRow>(1));

  // Only qualifying rows are numbered, from 1.
  r.Hosts = {{"", "1.1.1.1", ""}, {"b", "2.2.2.2", "x"}};
  store_.SaveProfile("P", r);
  EXPECT_EQ(store_.Ini().ReadString("P", "HostsCount", ""), "1");
  EXPECT_EQ(store_.Ini().ReadString("P", "H1", ""), "2.2.2.2   b   #x");

  // Comment and empty lines skipped; a missing key reads as an empty line.
  Put("[Q]\r\nHostsCount=3\r\nH1='# comment'\r\nH2='1.1.1.1   a   #'\r\n");
  EXPECT_EQ(store_.LoadProfile("Q").Hosts, (std::vector<HostRow>{{"a", "1.1.1.1", ""}, {}}));
  Put("[Q]\r\nHostsCount=-1\r\nH1='1.1.1.1   a   #'\r\n");
  EXPECT_EQ(store_.LoadProfile("Q").Hosts, std::vector<HostRow>(1));
  Put("[Q]\r\nHostsCount=x\r\nH1='1.1.1.1   a   #'\r\n");
  EXPECT_EQ(store_.LoadProfile("Q").Hosts, std::vector<HostRow>(1));
}

TEST_F(ProfileStoreTest, ScriptLines) {
  Put("[P]\r\nScriptLinesCount=3\r\nS1='  a  '\r\nS3=c\r\n");
  EXPECT_EQ(store_.LoadProfile("P").ScriptLines, (std::vector<std::string>{"  a  ", "", "c"}));
  // A count far beyond the stored lines does not build millions of lines.
  Put("[P]\r\nScriptLinesCount=2000000000\r\nHostsCount=2000000000\r\nS1=x\r\nH1=1.1.1.1 a\r\n");
  auto r = store_.LoadProfile("P");
  ASSERT_GE(r.ScriptLines.size(), 1u);
  EXPECT_LE(r.ScriptLines.size(), 1025u);
  EXPECT_EQ(r.ScriptLines.front(), "x");
  EXPECT_EQ(r.Hosts, (std::vector<HostRow>{{"a", "1.1.1.1", ""}, {}}));
}

TEST_F(ProfileStoreTest, SaveIsOneChangeThatMovesTheSectionToTheEnd) {
  Put("[A]\r\nIP=1\r\nStray=x\r\n\r\n[B]\r\nIP=2\r\n");
  store_.SaveProfile("a", store_.LoadProfile("A"));
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"B", "a"}));
  EXPECT_FALSE(store_.Ini().ValueExists("a", "Stray"));
  EXPECT_EQ(store_.Ini().ReadString("a", "IP", ""), "1");
}

TEST_F(ProfileStoreTest, FailedSaveLeavesTheOldSection) {
  Put("[A]\r\nIP=1\r\n");
  ProfileRecord r;
  r.IP = "2";
  r.HostName = "line\r\nbreak";
  EXPECT_THROW(store_.SaveProfile("A", r), EIniFileError);
  EXPECT_EQ(Bytes(), "[A]\r\nIP=1\r\n");
}

TEST_F(ProfileStoreTest, WriteFailureNamesTheStore) {
  dir_.Write("file", "x");
  TProfileStore store(dir_.File("file") + "/Lanvoy.INI");
  try {
    store.SaveProfile("A", ProfileRecord{});
    FAIL() << "no error";
  } catch (const EIniFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + store.FileName());
  }
}

TEST_F(ProfileStoreTest, ExistsAndNames) {
  Put("[Office]\r\nIP=1\r\n[Hand written]\r\n[Home]\r\nIP=2\r\n");
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"Office", "Hand written", "Home"}));
  EXPECT_TRUE(store_.ProfileExists("office"));
  EXPECT_FALSE(store_.ProfileExists("Hand written"));
  EXPECT_FALSE(store_.ProfileExists("Elsewhere"));
  store_.DeleteProfile("OFFICE");
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"Hand written", "Home"}));
}

TEST_F(ProfileStoreTest, InvalidNamesAreRefusedAndNeverWritten) {
  Put("[A]\r\nIP=1\r\n");
  const std::string before = Bytes();
  for (const char* name : {"", "[x]", "a]b", "two\r\nlines"}) {
    EXPECT_FALSE(TProfileStore::IsValidProfileName(name));
    EXPECT_THROW(store_.SaveProfile(name, ProfileRecord{}), EProfileNameError) << name;
    EXPECT_THROW(store_.CreateProfile(name), EProfileNameError) << name;
    EXPECT_THROW(store_.CopyProfile("A", name), EProfileNameError) << name;
    EXPECT_THROW(store_.MoveProfile("A", name), EProfileNameError) << name;
  }
  EXPECT_EQ(Bytes(), before);
  try {
    store_.SaveProfile("", ProfileRecord{});
  } catch (const EProfileNameError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot be used as a profile name"), std::string::npos);
  }
}

// A new profile's name has at most 64 characters; a stored one keeps the longer name it has.
TEST_F(ProfileStoreTest, NewNamesAreHeldToTheirLength) {
  const std::string stored(100, 's'), longer(65, 'x'), longest(64, 'x');
  Put("[" + stored + "]\r\nIP=1\r\n");
  const std::string before = Bytes();
  EXPECT_THROW(store_.CreateProfile(longer), EProfileNameError);
  EXPECT_THROW(store_.CopyProfile(stored, longer), EProfileNameError);
  EXPECT_THROW(store_.MoveProfile(stored, longer), EProfileNameError);
  EXPECT_EQ(Bytes(), before);
  try {
    store_.CreateProfile(longer);
  } catch (const EProfileNameError& e) {
    EXPECT_EQ(std::string(e.what()),
              "A profile name may have at most 64 characters; \"xxxxxxxxxxxxxxxxxxxx...\" has 65.");
  }
  store_.SaveProfile(stored, store_.LoadProfile(stored));
  EXPECT_TRUE(store_.MoveProfile(stored, longest));
  EXPECT_EQ(store_.Ini().ReadString(longest, "IP", ""), "1");
}

TEST_F(ProfileStoreTest, CopyOverwritesSameKeysAndKeepsOthers) {
  Put("[Src]\r\nIP=1.1.1.1\r\nH1='10.0.0.5   printer   #'\r\n\r\n"
      "[Dst]\r\nIP=9.9.9.9\r\nOwn=kept\r\n");
  store_.CopyProfile("src", "Dst");
  EXPECT_EQ(store_.Ini().ReadString("Dst", "IP", ""), "1.1.1.1");
  EXPECT_EQ(store_.Ini().ReadString("Dst", "Own", ""), "kept");
  EXPECT_NE(Bytes().find("H1=10.0.0.5   printer   #\r\n"), std::string::npos);
  const std::string before = Bytes();
  store_.CopyProfile("Missing", "Dst");
  EXPECT_EQ(Bytes(), before);
}

TEST_F(ProfileStoreTest, CopyReadsBackLikeTheSource) {
  ProfileRecord r = FullRecord();
  r.ScriptLines = {"   indented   ", "'quoted'", "\"double\"", "'", "plain"};
  store_.SaveProfile("Src", r);
  store_.CopyProfile("Src", "Copy");
  EXPECT_EQ(store_.LoadProfile("Copy"), r);
  EXPECT_EQ(store_.Ini().ReadSectionValues("Copy"), store_.Ini().ReadSectionValues("Src"));
  // Copying onto itself changes nothing that is read.
  store_.CopyProfile("Src", "Src");
  EXPECT_EQ(store_.LoadProfile("Src"), r);
}

TEST_F(ProfileStoreTest, Move) {
  Put("[Office]\r\nIP=1\r\n\r\n[Home]\r\nIP=2\r\n");
  const std::string before = Bytes();
  EXPECT_FALSE(store_.MoveProfile("Office", "Office"));
  EXPECT_FALSE(store_.MoveProfile("Nowhere", "Else"));
  EXPECT_EQ(Bytes(), before);

  // Other letter case: the same section, renamed in place with its keys.
  EXPECT_TRUE(store_.MoveProfile("Office", "office"));
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"office", "Home"}));
  EXPECT_EQ(store_.Ini().ReadString("office", "IP", ""), "1");

  EXPECT_TRUE(store_.MoveProfile("office", "Work"));
  EXPECT_EQ(store_.ProfileNames(), (std::vector<std::string>{"Home", "Work"}));
  EXPECT_EQ(store_.Ini().ReadString("Work", "IP", ""), "1");
}

}  // namespace
}  // namespace lanvoy
