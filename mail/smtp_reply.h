#pragma once
// Reading SMTP replies: lines whose fourth character is "-" continue the
// reply; the code is the number at the start of its last line.

#include <string>
#include <vector>

#include "mail/mail_stream.h"

namespace mail {

struct SmtpReply {
  IoStatus status = IoStatus::Failed;  // Done when a whole reply was read
  int code = 0;                        // 0 when the last line has no number
  std::vector<std::string> lines;      // without their line ends
};

// The reply code of the last line of a reply.
int replyCode(const std::string& lastLine);

class SmtpReplyReader {
 public:
  static constexpr int kReplyTimeoutMs = 40000;
  static constexpr size_t kPieceBytes = 512;
  // A reply longer than this is no SMTP server's.
  static constexpr size_t kMaxReplyBytes = 64 * 1024;

  explicit SmtpReplyReader(MailStream& stream) : m_stream(&stream) {}
  SmtpReply read(int timeoutMs = kReplyTimeoutMs);
  // After STARTTLS nothing received before the handshake may be used.
  void discardBuffered() { m_buffer.clear(); }
  void setStream(MailStream& stream) { m_stream = &stream; }

 private:
  MailStream* m_stream;
  std::string m_buffer;
};

}  // namespace mail
