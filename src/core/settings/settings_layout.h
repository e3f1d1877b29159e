// Every value of the settings file, by section and name, in the order the file is written.
#pragma once

#include <string>
#include <type_traits>

#include "core/settings/app_settings.h"

namespace zepa2 {

// Walks the record for loading (AppSettings&) or saving (const AppSettings&). The visitor gets
// Section(name), Text(name, field), Integer(name, field, lowest, highest) (a number outside the
// range reads as the nearest end; no range: any), Flag(name, field, onValue) (the file's number
// onValue, or any but 0 when onValue is 0, reads as true; true is written as 1),
// Source(name, field, unknownSource), Mode(name, mode, unknownMode), DnsKind(name, kind, unknownKind),
// Pin(name, field, unreadablePin) (the unusable value as the file spells it, see UnusableValue),
// DnsRecords(name, field), Password(name, field) (a secret stored scrambled), Secret(name, field)
// (a secret stored as text), OptionalText(name, field), a text written only when it holds
// something, and FlagIfChanged(name, field, byDefault) (read as Flag with onValue 0; written only
// when it differs from byDefault): both keep a file from before the value saving byte for byte as
// it was. The five FTP passwords come in site order, which is what keeps the keystream positions
// of load and save equal.
// OptionalSection(name, present) starts a section that a saver writes only when present and that
// restarts the password keystream: the DNS passwords' bytes then never depend on the FTP ones.
// It returns whether the section's values are visited (a loader always visits them).
// Choice(name, field, last) is an enum read as a number from 0 to last (outside: the nearest end).
template <typename Record, typename Visitor>
requires std::is_same_v<std::remove_const_t<Record>, AppSettings>
void VisitSettingsLayout(Record& s, Visitor& v) {
  v.Section("HTTP");
  v.Text("Server", s.routerServer);
  v.Text("Page", s.routerPage);
  v.Text("User", s.routerUser);
  v.Secret("Pass", s.routerPass);
  v.Flag("ROUTER", s.routerAuth, 1);
  // Values added since the first release sit in their sections too; a file without them loads
  // with the first release's behaviour (the router page over HTTP, active FTP, nothing pinned).
  v.Pin("Pin", s.routerPin, s.unreadableRouterPin);
  v.Source("Source", s.addressSource, s.unknownSource);
  v.Text("IgdUrl", s.igdUrl);
  v.Text("NatPmpGateway", s.natPmpGateway);

  v.Section("FTP");
  for (int n = 1; n <= kSiteSlots; ++n) {
    auto& site = s.sites[n - 1];
    const std::string number = std::to_string(n);
    v.Text("Server" + number, site.server);
    v.Text("User" + number, site.user);
    v.Password("Pass" + number, site.pass);
    v.Text("File" + number, site.uploadFile);
    v.Text("Path" + number, site.localFile);
    v.Mode("Mode" + number, site.mode, site.unknownMode);
    v.Pin("Pin" + number, site.pin, site.unreadablePin);
    v.Text("CheckUrl" + number, site.checkUrl);
    v.OptionalText("Region" + number, site.region);
  }
  v.Integer("MIRROR", s.siteCount);

  v.Section("FILTER");
  v.Text("FILTER1", s.filter1);
  v.Text("FILTER2", s.filter2);
  v.Text("FILTER3", s.filter3);
  v.Text("FILTER4", s.filter4);
  v.Flag("WholePage", s.wholePage, 0);

  v.Section("SYSTEM");
  v.Integer("INTERVAL", s.interval);
  v.Flag("STARTMIN", s.startMinimized, 0);
  v.Flag("STARTRUN", s.runAtStart, 0);
  v.Flag("LOCALGLOBAL", s.useLocalAddress, 0);
  v.Flag("BIT32", s.decimalAddress, 0);
  v.Integer("TIMENO", s.intervalUnit);
  v.Text("MYHOME", s.homePageAddress);
  v.Integer("Notify", s.notify, 0, 2);
  v.Text("OnPublish", s.onPublish);
  v.Text("MetricsFile", s.metricsFile);
  v.FlagIfChanged("Events", s.events, true);
  v.OptionalText("Ipv6Interface", s.ipv6Interface);
  v.FlagIfChanged("Ipv6Temporary", s.ipv6Temporary, false);

  if (v.OptionalSection("DNS", AnyDnsTargetSet(s.dnsTargets))) {
    for (int n = 1; n <= kDnsSlots; ++n) {
      auto& target = s.dnsTargets[n - 1];
      const std::string number = std::to_string(n);
      v.DnsKind("Kind" + number, target.kind, target.unknownKind);
      v.Text("Url" + number, target.url);
      v.Text("User" + number, target.user);
      v.Password("Pass" + number, target.pass);
      v.Text("Host" + number, target.host);
      v.Text("Zone" + number, target.zone);
      v.DnsRecords("Records" + number, target.records);
      v.Text("Match" + number, target.match);
      v.Text("Api" + number, target.api);
      v.Pin("Pin" + number, target.pin, target.unreadablePin);
      v.OptionalText("Suffix" + number, target.suffix);
      v.OptionalText("Algorithm" + number, target.algorithm);
      v.OptionalText("Ttl" + number, target.ttl);
    }
  }

  if (v.OptionalSection("NOTIFY", !(s.notifyChannels == NotifyChannels{}))) {
    auto& n = s.notifyChannels;
    v.Text("MailServer", n.mailServer);
    v.Flag("MailTls", n.mailTls, 0);
    v.Text("MailUser", n.mailUser);
    v.Password("MailPass", n.mailPass);
    v.Text("MailFrom", n.mailFrom);
    v.Text("MailTo", n.mailTo);
    v.Pin("MailPin", n.mailPin, n.unreadableMailPin);
    v.Text("WebhookUrl", n.webhookUrl);
    v.Choice("WebhookKind", n.webhookKind, kLastWebhookKind);
    v.Pin("WebhookPin", n.webhookPin, n.unreadableWebhookPin);
    v.Text("PingUrl", n.pingUrl);
  }
}

}  // namespace zepa2
