#pragma once
// One send: what it carries, how it reports, and what it returns.

#include <cstdint>
#include <string>
#include <vector>

namespace mail {

// 0 sent, 1 cancelled, 2 failed, as every long operation of the programs.
enum class MailResult : int { Sent = 0, Cancelled = 1, Failed = 2 };

struct SendOutcome {
  MailResult result = MailResult::Failed;
  std::string error;  // the one message for the user when Failed
};

struct MailRequest {
  std::string recipients;  // addresses separated by ","; empty entries skipped
  std::string sender;      // may be empty: "<Program>@<local host>"
  std::string subject;     // UTF-8
  std::string body;        // UTF-8
  std::vector<std::string> attachments;
  std::string smtpHost;    // "host" or "host:port"; empty: deliver directly
  std::string userName;    // empty: no login
  std::string password;
  // A login over a link that is not encrypted only when the user allowed it.
  bool allowUnencryptedLogin = false;
  // Deliver directly when the host cannot be reached.
  bool sendDirect = false;
};

// The texts in which the two programs' senders differ.
struct MailStyle {
  std::string programName;      // the sender "<programName>@<local host>"
  std::string mailer;           // the X-Mailer line
  std::string textContentType;  // of the text part
  std::string mailFromRefused;
  std::string recipientRefused;
};

MailStyle recorderMailStyle();
MailStyle editorMailStyle();

// What a send tells the user while it runs (from the sending thread).
class MailProgress {
 public:
  virtual ~MailProgress() = default;
  virtual void setLine(const std::string& text) = 0;
  virtual void setProgress(int64_t done, int64_t total) = 0;
};

}  // namespace mail
