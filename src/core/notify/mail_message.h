// A notice as a mail: a MIME message in UTF-8, its subject in RFC 2047 words.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace zepa2 {

struct MailFacts {
  std::string from;             // the sender's address
  std::vector<std::string> to;  // the recipients' addresses
  std::string subject;          // UTF-8
  std::string body;             // UTF-8, lines ended by "\n"
  std::time_t when = 0;         // the Date header's time, in the host's zone
  std::string messageId;        // "<…@…>"
};

// The whole message, CRLF line ends: Date, From, To, Subject, Message-ID, MIME-Version, a
// text/plain UTF-8 body in base64 (no line of it can start with a dot or run too long).
std::string MimeMessage(const MailFacts& facts);

// A fresh "<random.time@domain>" for a message from that sender.
std::string NewMessageId(const std::string& from, std::time_t when);

}  // namespace zepa2
