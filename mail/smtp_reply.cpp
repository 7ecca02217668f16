#include "mail/smtp_reply.h"

#include <chrono>

namespace mail {

int replyCode(const std::string& lastLine) {
  int code = 0;
  for (size_t i = 0; i < lastLine.size() && i < 3; ++i) {
    if (lastLine[i] < '0' || lastLine[i] > '9') return 0;
    code = code * 10 + (lastLine[i] - '0');
  }
  return lastLine.size() >= 3 ? code : 0;
}

SmtpReply SmtpReplyReader::read(int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  SmtpReply reply;
  size_t replyBytes = 0;
  for (;;) {
    size_t lineEnd;
    while ((lineEnd = m_buffer.find('\n')) != std::string::npos) {
      std::string line = m_buffer.substr(0, lineEnd);
      m_buffer.erase(0, lineEnd + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      bool continues = line.size() >= 4 && line[3] == '-';
      reply.lines.push_back(line);
      if (!continues) {
        reply.code = replyCode(line);
        reply.status = IoStatus::Done;
        return reply;
      }
    }
    if (replyBytes > kMaxReplyBytes) {
      reply.status = IoStatus::Failed;
      return reply;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      reply.status = IoStatus::TimedOut;
      return reply;
    }
    char piece[kPieceBytes];
    size_t received = 0;
    IoStatus status = m_stream->receive(piece, sizeof piece, received, int(left));
    if (status != IoStatus::Done) {
      reply.status = status;
      return reply;
    }
    replyBytes += received;
    m_buffer.append(piece, received);
  }
}

}  // namespace mail
