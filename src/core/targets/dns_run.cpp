#include "core/targets/dns_run.h"

#include <cstdio>

#include "core/net/address_range.h"
#include "core/net/ipv6_suffix.h"
#include "core/targets/dns_decision.h"
#include "core/targets/dns_updater.h"
#include "core/settings/secret_fingerprint.h"
#include "core/settings/secret_reference.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

std::string Formatted(const char* format, const std::string& value) {
  char text[512];
  std::snprintf(text, sizeof text, format, value.c_str());
  return text;
}

std::string Formatted(const char* format, const std::string& value, int number) {
  char text[512];
  std::snprintf(text, sizeof text, format, value.c_str(), number);
  return text;
}

std::string LocalClock(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M", &local);
  return text;
}

// Why the A record is left as it is, after the target's name (UTF-8).
std::string ASkippedText(NonPublicReason reason) {
  switch (reason) {
    case NonPublicReason::SharedNat:
      return msg::kDnsASkippedSharedNat;
    case NonPublicReason::TunnelEnd:
      return msg::kDnsASkippedTunnelEnd;
    default:
      return FillMessage(msg::kDnsASkippedNonPublic, NonPublicReasonText(reason));
  }
}

// Updates one target and words its lines; the state it leaves goes back through state.
class TargetRun {
 public:
  TargetRun(int number, const DnsTarget& target, CheckHost& host)
      : target_(target), host_(host), report_{number, target.kind, target.host} {
    prefix_ = Cp932(msg::kDnsTarget) + std::to_string(number) + Cp932("（") + target.host + Cp932("）");
  }

  DnsTargetReport Run(DnsTargetState& state, const DnsAddresses& addresses, bool force, std::time_t now,
                      const net::HttpGetOptions& http) {
    if (target_.unknownKind)
      return Finish(DnsResultKind::Failed, FillMessage(msg::kDnsUnknownKind, *target_.unknownKind),
                    log_color::kRed);
    if (target_.unreadablePin)
      return Finish(DnsResultKind::Failed, FillMessage(msg::kDnsUnreadablePin, *target_.unreadablePin),
                    log_color::kRed);
    const DnsUpdater* updater = UpdaterOf(target_.kind);
    if (!updater) return Finish(DnsResultKind::Failed, msg::kDnsNoKind, log_color::kRed);
    DnsAddresses own = addresses;
    if (!target_.suffix.empty()) {
      // Another machine behind the router: this machine's prefix, the other's identifier.
      const char* problem = nullptr;
      const std::optional<Ipv6Suffix> suffix = ParseIpv6Suffix(target_.suffix, &problem);
      if (!suffix) {
        report_.reason = FillMessage(problem, "DNS.Suffix" + std::to_string(report_.number));
        return Finish(DnsResultKind::Failed,
                      std::string(msg::kDnsFailed) + msg::kReasonFollows + report_.reason, log_color::kRed);
      }
      own.ipv6 = Ipv6WithSuffix(addresses.ipv6, *suffix);
    }
    // An address the provider's NAT shares, or a private one, reaches nobody: the A record keeps
    // what it has, and the AAAA part goes on.
    DnsRecords records = target_.records;
    const NonPublicReason shared = NonPublicReasonOf(own.ipv4);
    if (records != DnsRecords::Aaaa && shared != NonPublicReason::None) {
      host_.AppendLog(prefix_ + Cp932(ASkippedText(shared)), log_color::kViolet);
      report_.result = DnsResultKind::Untouched;
      if (records == DnsRecords::A) return report_;
      records = DnsRecords::Aaaa;
    }
    const std::string stamp = DnsSettingsStamp(target_);
    DnsDecision decision = DecideDnsUpdate(state, stamp, records, own, force, now);
    if (decision.verdict == DnsVerdict::Stopped && SecretChangedSinceStop(state)) {
      host_.AppendLog(prefix_ + Cp932(msg::kDnsSecretChanged), log_color::kViolet);
      state.stopCode.clear();
      decision = {DnsVerdict::Send, records != DnsRecords::Aaaa, records != DnsRecords::A};
    }
    switch (decision.verdict) {
      case DnsVerdict::Untouched:
        return Finish(DnsResultKind::Untouched, msg::kDnsUntouched, log_color::kViolet);
      case DnsVerdict::Stopped:
        report_.code = state.stopCode;
        return Finish(DnsResultKind::Stopped, Formatted(msg::kDnsStillStopped, state.stopCode),
                      log_color::kRed);
      case DnsVerdict::Held:
        return Finish(DnsResultKind::Held, Formatted(msg::kDnsStillHeld, LocalClock(state.holdUntil)),
                      log_color::kRed);
      case DnsVerdict::Send:
        break;
    }
    // A password or token kept elsewhere is looked up now, and only now.
    const std::string passKey = "DNS.Pass" + std::to_string(report_.number);
    ResolvedSecret pass = ResolveSecret(target_.pass, passKey);
    if (!pass.secret) {
      host_.AppendLog(prefix_ + UnresolvedSecretLogLine(passKey, target_.pass, pass.problem),
                      log_color::kRed);
      report_.reason = pass.problem;
      report_.result = DnsResultKind::Failed;
      return report_;
    }
    DnsTarget resolved = target_;
    resolved.pass = std::move(*pass.secret);
    host_.AppendLog(prefix_ + Cp932(msg::kDnsUpdateStart), log_color::kBlack);
    report_.sent = true;
    std::optional<DnsAnswer> gravest;
    for (const DnsFamily family : {DnsFamily::A, DnsFamily::Aaaa}) {
      if (!(family == DnsFamily::A ? decision.sendA : decision.sendAaaa)) continue;
      DnsAnswer answer = updater->Update(resolved, family, own, http);
      state = DnsStateAfter(std::move(state), stamp, family, AddressOf(family, own), answer, now);
      const bool endsTarget = answer.kind == DnsAnswerKind::Stopping ||
                              answer.kind == DnsAnswerKind::Holding ||
                              answer.kind == DnsAnswerKind::Cancelled;
      if (!gravest || AnswerGravity(answer.kind) > AnswerGravity(gravest->kind)) gravest = std::move(answer);
      if (endsTarget) break;
    }
    state.secretStamp = state.stopCode.empty() || !ParseSecretReference(target_.pass)
                            ? std::string()
                            : SecretFingerprint(resolved.pass).value_or(std::string());
    return Answered(*gravest, force);
  }

 private:
  // Whether the secret behind the reference of a stopped target is another than the one it
  // stopped with (a badauth mended in the file or the keyring). A stop from before fingerprints
  // were kept learns the present one and stays.
  bool SecretChangedSinceStop(DnsTargetState& state) const {
    if (!ParseSecretReference(target_.pass)) return false;
    const ResolvedSecret pass = ResolveSecret(target_.pass, "DNS.Pass" + std::to_string(report_.number));
    if (!pass.secret) return false;
    const std::optional<std::string> now = SecretFingerprint(*pass.secret);
    if (!now) return false;
    if (state.secretStamp.empty()) {
      state.secretStamp = *now;
      return false;
    }
    return *now != state.secretStamp;
  }

  DnsTargetReport Answered(const DnsAnswer& answer, bool force) {
    report_.code = answer.code;
    report_.reason = answer.reason;
    switch (answer.kind) {
      case DnsAnswerKind::Taken:
        return Finish(DnsResultKind::Updated, msg::kDnsUpdated, log_color::kGreen);
      case DnsAnswerKind::AlreadyHeld: {
        Finish(DnsResultKind::AlreadyHeld, msg::kDnsAlreadyHeld, log_color::kGreen);
        // A provider that says "nothing changed" to an unforced update was sent one it did not need.
        report_.needless = !force && !answer.code.empty();
        if (report_.needless)
          host_.AppendLog(Cp932(Formatted(msg::kDnsNeedlessNote, answer.code)), log_color::kViolet);
        return report_;
      }
      case DnsAnswerKind::Stopping:
        return Finish(DnsResultKind::Stopped, Formatted(msg::kDnsStopping, answer.code), log_color::kRed);
      case DnsAnswerKind::Holding: {
        const int minutes = static_cast<int>(kDnsHoldTime.count());
        return Finish(DnsResultKind::Held, Formatted(msg::kDnsHolding, answer.code, minutes),
                      log_color::kRed);
      }
      case DnsAnswerKind::Failed:
        return Finish(DnsResultKind::Failed,
                      std::string(msg::kDnsFailed) + msg::kReasonFollows + answer.reason, log_color::kRed);
      case DnsAnswerKind::Cancelled:
        return Finish(DnsResultKind::Cancelled, msg::kDnsCancelled, log_color::kRed);
    }
    return report_;
  }

  // Logs the target's line (text in UTF-8, after the target's name) and gives its report.
  DnsTargetReport Finish(DnsResultKind result, const std::string& text, LogColor color) {
    report_.result = result;
    host_.AppendLog(prefix_ + Cp932(text), color);
    return report_;
  }

  const DnsTarget& target_;
  CheckHost& host_;
  DnsTargetReport report_;
  std::string prefix_;
};

bool InUse(const DnsTarget& target) { return target.kind != DnsKind::None || target.unknownKind.has_value(); }

}  // namespace

DnsRunResult UpdateDnsTargets(const std::array<DnsTarget, kDnsSlots>& targets, const DnsTargetStates& states,
                              const DnsAddresses& addresses, bool force, std::time_t now, CheckHost& host,
                              const net::HttpGetOptions& http) {
  DnsRunResult run{{}, states};
  for (int i = 0; i < kDnsSlots; ++i) {
    if (!InUse(targets[i])) continue;
    if (http.stop && http.stop->stopRequested()) break;
    run.targets.push_back(TargetRun(i + 1, targets[i], host).Run(run.states[i], addresses, force, now, http));
  }
  return run;
}

DnsTargetReport UpdateDnsTargetNow(int number, const DnsTarget& target, const DnsAddresses& addresses,
                                   std::time_t now, CheckHost& host, const net::HttpGetOptions& http) {
  DnsTargetState fresh;
  return TargetRun(number, target, host).Run(fresh, addresses, true, now, http);
}

bool AnyDnsTargetNeedsIpv6(const std::array<DnsTarget, kDnsSlots>& targets) {
  for (const DnsTarget& target : targets)
    if (target.kind != DnsKind::None && target.records != DnsRecords::A) return true;
  return false;
}

}  // namespace zepa2
