// The settings record: every configurable value of the program, held as CP932 byte strings.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/net/transfer_mode.h"
#include "core/settings/dns_kind.h"

namespace zepa2 {

// A value that guards a connection (a mode, a source, a DNS kind, a pin) as the settings file spells
// it, when this version cannot use it: an unknown number, or a line it cannot read at all. It is
// saved back as it was, and what it governs is refused rather than run with a default.
using UnusableValue = std::optional<std::string>;

// One FTP mirror site. The password is plain text in memory.
struct FtpSite {
  std::string server;      // FTP/Server%d
  std::string user;        // FTP/User%d
  std::string pass;        // FTP/Pass%d (scrambled in the file), or a secret reference
  std::string uploadFile;  // FTP/File%d: remote path and name of the page
  std::string localFile;   // FTP/Path%d: local template the page is built from
  net::TransferMode mode = net::TransferMode::ActiveFtp;  // FTP/Mode%d
  // FTP/Mode%d as the file spells it when this version cannot use it (a newer version's mode, a
  // typo, a trailing blank): kept and saved back as it is, and the site is refused rather than
  // reached by another mode.
  UnusableValue unknownMode{};
  std::string pin{};  // FTP/Pin%d: "sha256//…" of the server's key, or empty
  // FTP/CheckUrl%d: public address of the page, fetched after an upload; empty = none
  std::string checkUrl{};
  // FTP/Region%d: storage region of a mode that signs with one (S3); empty = its default
  std::string region{};
  // FTP/Pin%d as the file spells it when it cannot be read: the site is refused, never left unpinned.
  UnusableValue unreadablePin{};

  bool operator==(const FtpSite&) const = default;
};

inline constexpr int kSiteSlots = 5;

// The number of sites a run handles: siteCount held to 1..5.
inline int SitesToPublish(int siteCount) {
  return siteCount < 1 ? 1 : siteCount > kSiteSlots ? kSiteSlots : siteCount;
}

// Which records of the names a DNS target keeps ([DNS] Records%d).
enum class DnsRecords { A = 0, Aaaa = 1, Both = 2 };

// One DNS target: a name (or a few) kept pointing at the address the check found.
struct DnsTarget {
  DnsKind kind = DnsKind::None;  // DNS/Kind%d
  // DNS/Kind%d as the file spells it when this version cannot use it: kept, saved back, and the
  // target refused rather than updated by another protocol.
  UnusableValue unknownKind{};
  std::string url{};   // DNS/Url%d: URL template (URL kind), the provider's server (dyndns2)
  std::string user{};  // DNS/User%d
  std::string pass{};  // DNS/Pass%d: password, or Cloudflare's API token (scrambled in the file)
  std::string host{};  // DNS/Host%d: one or more names, comma-separated
  std::string zone{};  // DNS/Zone%d: the zone's name (Cloudflare, RFC 2136)
  DnsRecords records = DnsRecords::A;  // DNS/Records%d
  std::string match{};            // DNS/Match%d: URL kind, text a successful answer holds; empty = any 2xx
  std::string api{};              // DNS/Api%d: Cloudflare's API base address; empty = the public one
  std::string pin{};              // DNS/Pin%d: "sha256//…" of the HTTPS update server's key, or empty
  UnusableValue unreadablePin{};  // DNS/Pin%d when it cannot be read: the target is refused
  // DNS/Suffix%d: another machine's interface identifier ("::12", "::50:0:0:0:12/56"); its AAAA
  // is this machine's prefix with it. Empty: this machine's own address.
  std::string suffix{};
  std::string algorithm{};  // DNS/Algorithm%d: RFC 2136, the TSIG key's algorithm; empty = hmac-sha256
  std::string ttl{};        // DNS/Ttl%d: RFC 2136, the records' TTL (1..86400); empty = 300

  bool operator==(const DnsTarget&) const = default;
};

inline constexpr int kDnsSlots = 5;

// Whether any DNS value differs from its default; a file is given a [DNS] section only then, so
// that a user who never set a target keeps the file of earlier versions byte for byte.
inline bool AnyDnsTargetSet(const std::array<DnsTarget, kDnsSlots>& targets) {
  for (const DnsTarget& target : targets)
    if (!(target == DnsTarget{})) return true;
  return false;
}

// How a webhook's body is shaped ([NOTIFY] WebhookKind): core/notify/webhook_kind.cpp has a row per kind.
enum class WebhookKind { Json = 0, Discord = 1, Slack = 2, Ntfy = 3 };
inline constexpr WebhookKind kLastWebhookKind = WebhookKind::Ntfy;

// Where a check is told besides the desktop: mail, a webhook, and a monitoring service's heartbeat.
struct NotifyChannels {
  std::string
      mailServer{};     // NOTIFY/MailServer: "smtp://host[:port]" or "smtps://host[:port]"; empty = no mail
  bool mailTls = true;  // NOTIFY/MailTls: 0 lets smtp:// go without STARTTLS
  std::string mailUser{};    // NOTIFY/MailUser; empty = no log-in
  std::string mailPass{};    // NOTIFY/MailPass (scrambled in the file), or a secret reference
  std::string mailFrom{};    // NOTIFY/MailFrom: the sender's address
  std::string mailTo{};      // NOTIFY/MailTo: addresses, comma-separated
  std::string mailPin{};     // NOTIFY/MailPin: "sha256//…" of the mail server's key, or empty
  std::string webhookUrl{};  // NOTIFY/WebhookUrl: http:// or https://; empty = no webhook
  WebhookKind webhookKind = WebhookKind::Json;  // NOTIFY/WebhookKind
  std::string webhookPin{};                     // NOTIFY/WebhookPin
  std::string pingUrl{};  // NOTIFY/PingUrl: asked after every check, with /fail after a failed one
  // NOTIFY/MailPin and WebhookPin when they cannot be read: that channel sends nothing.
  UnusableValue unreadableMailPin{};
  UnusableValue unreadableWebhookPin{};

  bool operator==(const NotifyChannels&) const = default;
};

// Where the public address is asked for when the local address is not used (HTTP/Source).
enum class AddressSource { RouterPage = 0, Upnp = 1, NatPmp = 2 };

struct AppSettings {
  bool runAtStart = false;                    // SYSTEM/STARTRUN
  std::string homePageAddress = "127.0.0.1";  // SYSTEM/MYHOME
  int siteCount = 1;                          // FTP/MIRROR
  bool decimalAddress = false;                // SYSTEM/BIT32
  bool useLocalAddress = false;               // SYSTEM/LOCALGLOBAL
  bool startMinimized = false;                // SYSTEM/STARTMIN
  int intervalUnit = 1;                       // SYSTEM/TIMENO: 0 minutes, 1 hours, 2 days
  int interval = 30;                          // SYSTEM/INTERVAL; 0 = no timed checks
  std::string filter4;                        // FILTER/FILTER4: end marker of the second pair
  std::string filter3;                        // FILTER/FILTER3: start marker of the second pair
  std::string filter2;                        // FILTER/FILTER2: end marker of the first pair
  std::string filter1;                        // FILTER/FILTER1: start marker of the first pair
  std::array<FtpSite, kSiteSlots> sites{};    // sites 1..5 at indexes 0..4
  std::string routerPage;                     // HTTP/Page
  std::string routerServer;                   // HTTP/Server
  std::string routerUser;                     // HTTP/User
  std::string routerPass;                     // HTTP/Pass (plain, or a secret reference)
  bool routerAuth = false;                    // HTTP/ROUTER: 1 = send user and password
  int notify = 1;         // SYSTEM/Notify: 0 none, 1 failures only, 2 every publish (held to 0..2)
  std::string onPublish;  // SYSTEM/OnPublish: command line run after a publish; empty = none
  AddressSource addressSource = AddressSource::RouterPage;  // HTTP/Source
  UnusableValue unknownSource;        // HTTP/Source when this version cannot use it: no address is asked for
  std::string igdUrl;                 // HTTP/IgdUrl: the router's UPnP root description; empty = discover
  std::string natPmpGateway;          // HTTP/NatPmpGateway: IPv4; empty = the default route's gateway
  bool wholePage = false;             // FILTER/WholePage: 1 = the trimmed page body is the address
  std::string routerPin;              // HTTP/Pin: "sha256//…" of an HTTPS router's key, or empty
  UnusableValue unreadableRouterPin;  // HTTP/Pin when it cannot be read: the router is not asked
  std::string metricsFile;    // SYSTEM/MetricsFile: Prometheus text file written after each run; empty = none
  std::string ipv6Interface;  // SYSTEM/Ipv6Interface: where the IPv6 address is; empty = the default route's
  bool ipv6Temporary =
      false;           // SYSTEM/Ipv6Temporary: 1 = a current temporary IPv6 address, not the stable one
  bool events = true;  // SYSTEM/Events: a change of the network or the router's word starts a check
  std::array<DnsTarget, kDnsSlots> dnsTargets{};  // DNS targets 1..5 at indexes 0..4
  NotifyChannels notifyChannels{};  // [NOTIFY]: written only when a value differs from its default

  bool operator==(const AppSettings&) const = default;
};

}  // namespace zepa2
