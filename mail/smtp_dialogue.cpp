#include "mail/smtp_dialogue.h"

#include <algorithm>
#include <cctype>

#include "mail/base64.h"
#include "mail/smtp_reply.h"

namespace mail {

const char* const kServerNotResponding = "Mail server not responding";
const char* const kHeloRefused = "Mail host server error (HELO not accepted)";
const char* const kLoginRefused = "Email authentication username or password not accepted";
const char* const kDataRefused = "Mail host server error (DATA not accepted)";
const char* const kTerminatorRefused = "Mail host server error (data terminator not accepted)";
const char* const kUnencryptedLoginRefused =
    "The mail server does not offer an encrypted connection (STARTTLS), so your password was not sent. "
    "To log in without encryption anyway, tick \"Allow login without encryption\" in the Email Settings.";
const char* const kTlsFailed =
    "An encrypted connection to the mail server could not be set up, so your password was not sent.";
const char* const kConnectionLost = "The connection to the mail server was lost while sending the message.";

namespace {

constexpr int kCommandTimeoutMs = 20000;
constexpr size_t kCommandPieceBytes = 1024;
constexpr int kMessagePieceTimeoutMs = 30000;

struct Failure {
  bool cancelled = false;
  std::string error;
};

class Dialogue {
 public:
  Dialogue(MailStream& stream, MailProgress* progress) : m_stream(stream), m_replies(stream), m_progress(progress) {}

  IoStatus send(const std::string& text, int timeoutMs = kCommandTimeoutMs) {
    for (size_t at = 0; at < text.size(); at += kCommandPieceBytes) {
      IoStatus status = m_stream.send(text.data() + at, std::min(kCommandPieceBytes, text.size() - at), timeoutMs);
      if (status != IoStatus::Done) return status;
    }
    return IoStatus::Done;
  }

  // Sends command (when not empty) and reads the reply.
  SmtpReply exchange(const std::string& command) {
    if (!command.empty()) {
      IoStatus status = send(command);
      if (status != IoStatus::Done) return SmtpReply{status, 0, {}};
    }
    return m_replies.read();
  }

  void line(const std::string& text) {
    if (m_progress) m_progress->setLine(text);
  }

  MailStream& stream() { return m_stream; }
  SmtpReplyReader& replies() { return m_replies; }
  MailProgress* progress() { return m_progress; }

 private:
  MailStream& m_stream;
  SmtpReplyReader m_replies;
  MailProgress* m_progress;
};

SendOutcome failed(const SmtpReply& reply, const std::string& error) {
  if (reply.status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
  return {MailResult::Failed, error};
}

bool offersStartTls(const SmtpReply& reply) {
  for (const std::string& line : reply.lines) {
    if (line.size() < 4) continue;
    std::string keyword = line.substr(4);
    std::transform(keyword.begin(), keyword.end(), keyword.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    while (!keyword.empty() && std::isspace(static_cast<unsigned char>(keyword.back()))) keyword.pop_back();
    if (keyword == "STARTTLS") return true;
  }
  return false;
}

// Makes the link encrypted when the server offers it, so that the password
// never travels in the clear; a link that stays plain is used for the login
// only when the user allowed it.
SendOutcome secureForLogin(Dialogue& dialogue, const DialogueRequest& request, const SmtpReply& ehlo) {
  if (dialogue.stream().encrypted()) return {MailResult::Sent, {}};
  if (offersStartTls(ehlo)) {
    SmtpReply reply = dialogue.exchange("STARTTLS\r\n");
    if (reply.status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
    if (reply.status == IoStatus::Done && reply.code == 220) {
      dialogue.replies().discardBuffered();
      IoStatus status = dialogue.stream().startTls(request.serverName);
      if (status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
      if (status != IoStatus::Done) return {MailResult::Failed, kTlsFailed};
      // The server forgets everything it was told before the handshake.
      SmtpReply again = dialogue.exchange("EHLO " + request.localHost + "\r\n");
      if (again.status != IoStatus::Done || again.code != 250) return failed(again, kHeloRefused);
      return {MailResult::Sent, {}};
    }
    if (reply.status != IoStatus::Done) return failed(reply, kServerNotResponding);
  }
  if (request.allowUnencryptedLogin) return {MailResult::Sent, {}};
  return {MailResult::Failed, kUnencryptedLoginRefused};
}

SendOutcome logIn(Dialogue& dialogue, const DialogueRequest& request) {
  dialogue.line("Logon to mail server");
  SmtpReply reply = dialogue.exchange("AUTH LOGIN\r\n");
  if (reply.status != IoStatus::Done) return failed(reply, kLoginRefused);
  if (reply.code != 334) return {MailResult::Sent, {}};
  reply = dialogue.exchange(base64Encode(request.userName) + "\r\n");
  if (reply.status != IoStatus::Done) return failed(reply, kLoginRefused);
  if (reply.code != 334) return {MailResult::Sent, {}};
  reply = dialogue.exchange(base64Encode(request.password) + "\r\n");
  if (reply.status != IoStatus::Done || reply.code != 235) return failed(reply, kLoginRefused);
  return {MailResult::Sent, {}};
}

SendOutcome sendMessage(Dialogue& dialogue, const MailMessage& message) {
  dialogue.line("Sending Message Text");
  int64_t total = attachmentBytes(message);
  int64_t encodedTotal = total > 0 ? total / 3 * 4 : 0;
  int64_t sent = 0;
  IoStatus status = IoStatus::Done;
  MessageResult written = writeMessage(message, [&](std::string_view piece) {
    status = dialogue.send(std::string(piece), kMessagePieceTimeoutMs);
    sent += int64_t(piece.size());
    if (dialogue.progress() && encodedTotal > 0) dialogue.progress()->setProgress(std::min(sent, encodedTotal), encodedTotal);
    return status == IoStatus::Done;
  });
  if (status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
  if (written.status == MessageStatus::AttachmentUnreadable)
    return {MailResult::Failed, "Cannot read the file \"" + written.unreadablePath + "\"."};
  if (written.status == MessageStatus::OutputFailed) return {MailResult::Failed, kConnectionLost};
  SmtpReply reply = dialogue.exchange("\r\n.\r\n");
  if (reply.status != IoStatus::Done || reply.code != 250) return failed(reply, kTerminatorRefused);
  return {MailResult::Sent, {}};
}

}  // namespace

SendOutcome runSmtpDialogue(MailStream& stream, const DialogueRequest& request, const MailStyle& style,
                            MailProgress* progress) {
  Dialogue dialogue(stream, progress);
  SmtpReply reply = dialogue.exchange({});
  if (reply.status != IoStatus::Done || reply.code != 220) return failed(reply, kServerNotResponding);

  reply = dialogue.exchange((request.sayEhlo ? "EHLO " : "HELO ") + request.localHost + "\r\n");
  if (reply.status != IoStatus::Done || reply.code != 250) return failed(reply, kHeloRefused);

  if (request.login) {
    SendOutcome secured = secureForLogin(dialogue, request, reply);
    if (secured.result != MailResult::Sent) return secured;
    SendOutcome loggedIn = logIn(dialogue, request);
    if (loggedIn.result != MailResult::Sent) return loggedIn;
  }

  reply = dialogue.exchange("MAIL FROM:<" + request.sender + ">\r\n");
  if (reply.status != IoStatus::Done || reply.code != 250) return failed(reply, style.mailFromRefused);

  int accepted = 0;
  for (const std::string& recipient : request.recipients) {
    reply = dialogue.exchange("RCPT TO:<" + recipient + ">\r\n");
    if (reply.status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
    if (reply.status != IoStatus::Done) return failed(reply, style.recipientRefused);
    if (reply.code == 250 || reply.code == 251) ++accepted;
  }
  if (accepted == 0) return {MailResult::Failed, style.recipientRefused};

  reply = dialogue.exchange("DATA\r\n");
  if (reply.status != IoStatus::Done || reply.code != 354) return failed(reply, kDataRefused);

  if (request.message) {
    SendOutcome sent = sendMessage(dialogue, *request.message);
    if (sent.result != MailResult::Sent) return sent;
  }
  // The answer to QUIT changes nothing: the message is on its way.
  dialogue.exchange("QUIT\r\n");
  return {MailResult::Sent, {}};
}

}  // namespace mail
