// Profiles and texts that tests on several backends share.
#pragma once

#include "profiles/profile_record.h"

namespace lanvoy::test {

// Both connections, proxy, mail, hosts and a computer name: every stage has work.
inline ProfileRecord TwoConnectionProfile() {
  ProfileRecord p;
  p.LongLANDescription = "LAN-Verbindung";
  p.DHCP = kModeStatic;
  p.IP = "10.20.30.40";
  p.Subnet = "255.255.255.0";
  p.IP2 = "10.20.31.40";
  p.Subnet2 = "255.255.0.0";
  p.Gateway = "10.20.30.1";
  p.DNS = "10.20.30.2";
  p.DNS2 = "10.20.30.3";
  p.WINS = "10.20.30.4";
  p.LongLANDescriptionLan2 = "WLAN";
  p.DHCPLan2 = kModeDhcp;
  p.DHCP_DNSLan2 = true;
  p.DHCP_WINSLan2 = true;
  p.Proxy = "cache.office";
  p.ProxyPort = "3128";
  p.EnableProxy = true;
  p.ProxyNoLocal = true;
  p.ProxyNotUsed = "10.*\r\nintranet";
  p.IncludeOLExp = true;
  p.OLEXPPOP = "pop.office";
  p.OLEXPSMTP = "smtp.office";
  p.OLEXPIMAP = "imap.office";
  p.IncludeHostModification = true;
  p.Hosts = {{"fileserver", "10.20.30.10", "files"}, {"printer", "10.20.30.11", ""}};
  p.IncludeHostName = true;
  p.HostName = "OFFICE-PC";
  return p;
}

// The text the program's script builder writes for its worked example, CR LF and all.
inline constexpr const char* kWorkedExampleScript =
    "pushd interface\r\n"
    "reset all\r\n"
    "popd\r\n"
    "pushd interface ip\r\n"
    "set address name = \"LAN-Verbindung\" static addr = 192.168.0.20 mask = 255.255.255.0\r\n"
    "set address name = \"LAN-Verbindung\" gateway = 192.168.0.1 gwmetric = 1\r\n"
    "set address name = \"WLAN\" Source = dhcp\r\n"
    "set dns name = \"LAN-Verbindung\" source = static addr = 192.168.0.1\r\n"
    "set dns name = \"WLAN\" source=dhcp\r\n"
    "\r\n"
    "set wins name = \"WLAN\" source = dhcp\r\n"
    "popd\r\n";

}  // namespace lanvoy::test
