// The settings record: every configurable value of the program, held as CP932 byte strings.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/net/transfer_mode.h"

namespace zepa2 {

// One FTP mirror site. The password is plain text in memory.
struct FtpSite {
  std::string server;      // FTP/Server%d
  std::string user;        // FTP/User%d
  std::string pass;        // FTP/Pass%d (scrambled in the file)
  std::string uploadFile;  // FTP/File%d: remote path and name of the page
  std::string localFile;   // FTP/Path%d: local template the page is built from
  net::TransferMode mode = net::TransferMode::ActiveFtp;  // FTP/Mode%d
  // FTP/Mode%d when it holds a number this version does not know (a newer version's mode, a typo):
  // kept and saved back as it is, and the site is refused rather than reached by another mode.
  std::optional<int> unknownMode{};
  std::string pin{};        // FTP/Pin%d: "sha256//…" of the server's key, or empty
  std::string checkUrl{};   // FTP/CheckUrl%d: public address of the page, fetched after an upload; empty = none

  bool operator==(const FtpSite&) const = default;
};

inline constexpr int kSiteSlots = 5;

// The number of sites a run handles: siteCount held to 1..5.
inline int SitesToPublish(int siteCount) { return siteCount < 1 ? 1 : siteCount > kSiteSlots ? kSiteSlots : siteCount; }

// Where the public address is asked for when the local address is not used (HTTP/Source).
enum class AddressSource { RouterPage = 0, Upnp = 1, NatPmp = 2 };

struct AppSettings {
  bool runAtStart = false;                   // SYSTEM/STARTRUN
  std::string homePageAddress = "127.0.0.1"; // SYSTEM/MYHOME
  int siteCount = 1;                         // FTP/MIRROR
  bool decimalAddress = false;               // SYSTEM/BIT32
  bool useLocalAddress = false;              // SYSTEM/LOCALGLOBAL
  bool startMinimized = false;               // SYSTEM/STARTMIN
  int intervalUnit = 1;                      // SYSTEM/TIMENO: 0 minutes, 1 hours, 2 days
  int interval = 30;                         // SYSTEM/INTERVAL; 0 = no timed checks
  std::string filter4;                       // FILTER/FILTER4: end marker of the second pair
  std::string filter3;                       // FILTER/FILTER3: start marker of the second pair
  std::string filter2;                       // FILTER/FILTER2: end marker of the first pair
  std::string filter1;                       // FILTER/FILTER1: start marker of the first pair
  std::array<FtpSite, kSiteSlots> sites{};   // sites 1..5 at indexes 0..4
  std::string routerPage;                    // HTTP/Page
  std::string routerServer;                  // HTTP/Server
  std::string routerUser;                    // HTTP/User
  std::string routerPass;                    // HTTP/Pass (plain)
  bool routerAuth = false;                   // HTTP/ROUTER: 1 = send user and password
  int notify = 1;                            // SYSTEM/Notify: 0 none, 1 failures only, 2 every publish (held to 0..2)
  std::string onPublish;                     // SYSTEM/OnPublish: command line run after a publish; empty = none
  AddressSource addressSource = AddressSource::RouterPage;  // HTTP/Source
  std::string igdUrl;                        // HTTP/IgdUrl: the router's UPnP root description; empty = discover
  std::string natPmpGateway;                 // HTTP/NatPmpGateway: IPv4; empty = the default route's gateway
  bool wholePage = false;                    // FILTER/WholePage: 1 = the trimmed page body is the address
  std::string routerPin;                     // HTTP/Pin: "sha256//…" of an HTTPS router's key, or empty

  bool operator==(const AppSettings&) const = default;
};


}  // namespace zepa2
