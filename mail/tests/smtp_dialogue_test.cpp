#include <gtest/gtest.h>

#include <deque>

#include "mail/smtp_dialogue.h"
#include "mail/smtp_reply.h"

namespace {

// A server that answers from a script: each receive gives the next reply
// (or the pieces it was split into); what the client sent is kept.
class ScriptedStream : public mail::MailStream {
 public:
  explicit ScriptedStream(std::deque<std::string> replies) : m_replies(std::move(replies)) {}
  mail::IoStatus send(const char* data, size_t bytes, int) override {
    sent.append(data, bytes);
    return mail::IoStatus::Done;
  }
  mail::IoStatus receive(char* data, size_t capacity, size_t& received, int) override {
    if (m_replies.empty()) return mail::IoStatus::Closed;
    std::string& next = m_replies.front();
    received = std::min(capacity, next.size());
    std::copy(next.begin(), next.begin() + received, data);
    next.erase(0, received);
    if (next.empty()) m_replies.pop_front();
    return mail::IoStatus::Done;
  }
  mail::IoStatus startTls(const std::string&) override {
    tlsStarted = true;
    return tlsWorks ? mail::IoStatus::Done : mail::IoStatus::Failed;
  }
  bool encrypted() const override { return tlsStarted && tlsWorks; }

  std::string sent;
  bool tlsStarted = false;
  bool tlsWorks = true;

 private:
  std::deque<std::string> m_replies;
};

mail::DialogueRequest request(const mail::MailMessage& message) {
  mail::DialogueRequest request;
  request.localHost = "pc";
  request.serverName = "mail.example.test";
  request.sender = "me@example.test";
  request.recipients = {"you@example.test"};
  request.message = &message;
  return request;
}

const mail::MailStyle kStyle = mail::recorderMailStyle();

}  // namespace

TEST(SmtpReply, ContinuationLinesMakeOneReplyWhoseCodeIsTheLastLines) {
  ScriptedStream stream({"250-first\r\n250", " second\r\n", "421 bye\r\n", "2"});
  mail::SmtpReplyReader reader(stream);
  mail::SmtpReply reply = reader.read();
  EXPECT_EQ(reply.status, mail::IoStatus::Done);
  EXPECT_EQ(reply.code, 250);
  EXPECT_EQ(reply.lines, (std::vector<std::string>{"250-first", "250 second"}));
  reply = reader.read();
  EXPECT_EQ(reply.code, 421);
  // A reply cut off by the server's end is no reply.
  EXPECT_EQ(reader.read().status, mail::IoStatus::Closed);
  EXPECT_EQ(mail::replyCode("25"), 0);
  EXPECT_EQ(mail::replyCode("abc def"), 0);
}

TEST(SmtpDialogue, PlainSendSaysHeloAndCarriesEveryRecipient) {
  mail::MailMessage message;
  message.body = ".hidden";
  ScriptedStream stream({"220-hello\r\n220 there\r\n", "250 hi\r\n", "250 from ok\r\n", "550 no\r\n", "251 forwarded\r\n",
                         "354 go\r\n", "250 queued\r\n", "221 bye\r\n"});
  mail::DialogueRequest dialogue = request(message);
  dialogue.recipients = {"nobody@example.test", "you@example.test"};
  mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
  EXPECT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  EXPECT_EQ(stream.sent.substr(0, 97),
            "HELO pc\r\nMAIL FROM:<me@example.test>\r\nRCPT TO:<nobody@example.test>\r\nRCPT TO:<you@example.test>\r\n");
  EXPECT_NE(stream.sent.find("\r\n\r\n..hidden\r\n.\r\nQUIT\r\n"), std::string::npos);
}

TEST(SmtpDialogue, EachRefusedStepEndsTheSendWithItsMessage) {
  mail::MailMessage message;
  struct Case {
    std::deque<std::string> replies;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"554 go away\r\n"}, mail::kServerNotResponding},
      {{}, mail::kServerNotResponding},
      {{"220 hi\r\n", "500 what\r\n"}, mail::kHeloRefused},
      {{"220 hi\r\n"}, mail::kHeloRefused},  // closed after the greeting
      {{"220 hi\r\n", "250 hi\r\n", "550 not you\r\n"}, kStyle.mailFromRefused},
      {{"220 hi\r\n", "250 hi\r\n", "250 ok\r\n", "550 unknown\r\n"}, kStyle.recipientRefused},
      {{"220 hi\r\n", "250 hi\r\n", "250 ok\r\n", "250 ok\r\n", "503 no\r\n"}, mail::kDataRefused},
      {{"220 hi\r\n", "250 hi\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n", "552 too big\r\n"},
       mail::kTerminatorRefused},
  };
  for (const Case& c : cases) {
    ScriptedStream stream(c.replies);
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, request(message), kStyle, nullptr);
    EXPECT_EQ(outcome.result, mail::MailResult::Failed);
    EXPECT_EQ(outcome.error, c.error);
  }
}

TEST(SmtpDialogue, LoginGoesOnlyOverTheEncryptedLinkUnlessThePlainOneIsAllowed) {
  mail::MailMessage message;
  mail::DialogueRequest dialogue = request(message);
  dialogue.sayEhlo = dialogue.login = true;
  dialogue.userName = "user";
  dialogue.password = "secret";
  const std::string userLine = "dXNlcg==\r\n", passwordLine = "c2VjcmV0\r\n";

  // Offered: STARTTLS, EHLO again, then the login.
  {
    ScriptedStream stream({"220 hi\r\n", "250-hi\r\n250-AUTH LOGIN\r\n250 starttls\r\n", "220 go\r\n", "250 hi again\r\n",
                           "334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "235 ok\r\n", "250 ok\r\n", "250 ok\r\n",
                           "354 go\r\n", "250 ok\r\n", "221 bye\r\n"});
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
    EXPECT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
    EXPECT_TRUE(stream.tlsStarted);
    EXPECT_EQ(stream.sent.substr(0, 67), "EHLO pc\r\nSTARTTLS\r\nEHLO pc\r\nAUTH LOGIN\r\n" + userLine + passwordLine + "MAIL FR");
  }
  // Not offered and not allowed: nothing of the login leaves the machine.
  {
    ScriptedStream stream({"220 hi\r\n", "250-hi\r\n250 AUTH LOGIN\r\n"});
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
    EXPECT_EQ(outcome.error, mail::kUnencryptedLoginRefused);
    EXPECT_EQ(stream.sent, "EHLO pc\r\n");
  }
  // A handshake that fails sends nothing more.
  {
    ScriptedStream stream({"220 hi\r\n", "250 STARTTLS\r\n", "220 go\r\n"});
    stream.tlsWorks = false;
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
    EXPECT_EQ(outcome.error, mail::kTlsFailed);
    EXPECT_EQ(stream.sent, "EHLO pc\r\nSTARTTLS\r\n");
  }
  // Allowed over a plain link; a refused password ends the send.
  {
    dialogue.allowUnencryptedLogin = true;
    ScriptedStream stream({"220 hi\r\n", "250 hi\r\n", "334 a\r\n", "334 b\r\n", "535 wrong\r\n"});
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
    EXPECT_EQ(outcome.error, mail::kLoginRefused);
    EXPECT_EQ(stream.sent, "EHLO pc\r\nAUTH LOGIN\r\n" + userLine + passwordLine);
  }
  // A server without AUTH LOGIN: the dialogue goes on without a login.
  {
    ScriptedStream stream({"220 hi\r\n", "250 hi\r\n", "504 unknown\r\n", "250 ok\r\n", "250 ok\r\n", "354 go\r\n",
                           "250 ok\r\n"});
    mail::SendOutcome outcome = mail::runSmtpDialogue(stream, dialogue, kStyle, nullptr);
    EXPECT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
    EXPECT_EQ(stream.sent.find(userLine), std::string::npos);
  }
}
