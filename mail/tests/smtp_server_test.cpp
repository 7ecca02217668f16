// Sends to real SMTP servers on 127.0.0.1 (aiosmtpd and scripted ones)
// through the system's sockets and TLS.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "mail/base64.h"
#include "mail/mail_sender.h"
#include "mail/send_recording.h"
#include "mail/smtp_dialogue.h"
#include "mail/system_mail.h"
#include "mail/tests/test_smtp_server.h"
#include "sys/environment.h"
#include "sys/file.h"
#include "testkit/testkit.h"

namespace {

class MxTable : public mail::MxResolver {
 public:
  std::vector<mail::MailExchanger> lookUp(const std::string& domain) override {
    asked.push_back(domain);
    if (domain == "example.test") return {{10, "127.0.0.1"}};
    return {};
  }
  std::vector<std::string> asked;
};

struct Sender {
  explicit Sender(const std::string& trustedCertificate = {}) {
    connector = mail::makeSystemConnector({trustedCertificate});
    environment.connector = connector.get();
    environment.resolver = &mx;
    environment.localHost = "testpc";
    environment.time = mail::currentMailTime();
  }
  mail::SendOutcome send(const mail::MailRequest& request, const mail::CancelToken& cancel = {}) {
    return mail::sendMail(request, mail::recorderMailStyle(), environment, nullptr, cancel);
  }
  std::unique_ptr<mail::MailConnector> connector;
  MxTable mx;
  mail::MailEnvironment environment;
};

// Natively a server that does not start is a missing python3-aiosmtpd: a
// failure where every tool is required, as in continuous integration.
#define REQUIRE_SERVER(server)                                                                        \
  if (!(server).running()) {                                                                          \
    if (testkit::hostToolsRunHere() && sys::environmentValue("ZED_REQUIRE_TOOLS") == std::string("1")) \
      FAIL() << "the test SMTP server did not start (python3-aiosmtpd)";                             \
    GTEST_SKIP() << "no test SMTP server here";                                                       \
  }

std::string makeRecording(const testkit::ScratchFolder& folder, const std::string& name, size_t bytes) {
  std::vector<uint8_t> data(bytes);
  uint32_t state = 12345;
  for (uint8_t& byte : data) byte = uint8_t((state = state * 1103515245 + 12345) >> 16);
  // Through sys::File, which takes the name as UTF-8 on every platform.
  std::string path = folder.file(name);
  sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
  EXPECT_EQ(file.write(data.data(), data.size()), data.size());
  return path;
}

// Without Python at hand (under Wine) the message is checked for the
// attachment's base64 lines.
void expectAttachmentIn(const std::string& messagePath, const std::string& attachment) {
  std::vector<uint8_t> message = testkit::readAll(messagePath);
  std::string text(message.begin(), message.end());
  sys::File file = sys::File::open(attachment, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  std::string bytes(size_t(file.size()), '\0');
  ASSERT_EQ(file.read(bytes.data(), bytes.size()), bytes.size());
  std::string lines;
  for (size_t at = 0; at < bytes.size(); at += mail::kBase64LineBytes)
    lines += mail::base64Encode(std::string_view(bytes).substr(at, mail::kBase64LineBytes)) + "\r\n";
  EXPECT_NE(text.find(lines), std::string::npos);
}

}  // namespace

TEST(SmtpServer, RecordingReachesAStarttlsServerAfterTheLoginWithEverythingIntact) {
  mailtest::TestSmtpServer server("smtp", true);
  REQUIRE_SERVER(server);
  testkit::ScratchFolder folder;
  std::string recording = makeRecording(folder, "Take 3 \xC3\xA9t\xC3\xA9.wav", 250001);
  mail::MailSettings settings;
  settings.useMapi = false;
  settings.smtpHost = server.hostAndPort();
  settings.authOn = true;
  settings.userName = mailtest::kTestUser;
  settings.password = mailtest::kTestPassword;
  settings.replyTo = "me@example.test";
  settings.to = "you@example.test, ,other@example.test";
  Sender sender(server.certificate());
  mail::CancelToken cancel;
  mail::SendOutcome outcome = mail::sendRecording(settings, recording, sender.environment, nullptr, cancel);
  ASSERT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  std::string message = server.waitForMessage(1);
  ASSERT_FALSE(message.empty());
  std::string envelope = server.envelope(1);
  EXPECT_NE(envelope.find("\"tls\": true"), std::string::npos) << envelope;
  EXPECT_NE(envelope.find("\"login\": true"), std::string::npos) << envelope;
  EXPECT_NE(envelope.find("\"to\": [\"you@example.test\", \"other@example.test\"]"), std::string::npos) << envelope;
  expectAttachmentIn(message, recording);
  if (testkit::hostToolsRunHere()) {
    mail::MailRequest request = mail::recordingRequest(settings, recording);
    EXPECT_EQ(mailtest::checkMessage(message, request.subject, request.body, {recording}, {"audio/wav"}), "");
  }
}

TEST(SmtpServer, LoginIsRefusedWithAWrongPasswordOrAnUntrustedCertificate) {
  mailtest::TestSmtpServer server("smtp", true);
  REQUIRE_SERVER(server);
  mail::MailRequest request;
  request.recipients = "you@example.test";
  request.smtpHost = server.hostAndPort();
  request.userName = mailtest::kTestUser;
  request.password = "wrong";
  Sender trusting(server.certificate());
  EXPECT_EQ(trusting.send(request).error, mail::kLoginRefused);
  request.password = mailtest::kTestPassword;
  Sender doubting;
  EXPECT_EQ(doubting.send(request).error, mail::kTlsFailed);
  EXPECT_EQ(server.messageCount(), 0);
}

TEST(SmtpServer, PlainServerGetsThePasswordOnlyWhenTheUserAllowedIt) {
  mailtest::TestSmtpServer server("smtp");
  REQUIRE_SERVER(server);
  mail::MailRequest request;
  request.recipients = "you@example.test";
  request.subject = "plain";
  request.smtpHost = server.hostAndPort();
  request.userName = mailtest::kTestUser;
  request.password = mailtest::kTestPassword;
  Sender sender;
  EXPECT_EQ(sender.send(request).error, mail::kUnencryptedLoginRefused);
  EXPECT_EQ(server.messageCount(), 0);
  request.allowUnencryptedLogin = true;
  mail::SendOutcome outcome = sender.send(request);
  ASSERT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  ASSERT_FALSE(server.waitForMessage(1).empty());
  EXPECT_NE(server.envelope(1).find("\"login\": true"), std::string::npos) << server.envelope(1);
}

TEST(SmtpServer, OneAcceptedRecipientIsEnoughAndNoneIsAFailure) {
  mailtest::TestSmtpServer server("smtp");
  REQUIRE_SERVER(server);
  mail::MailRequest request;
  request.smtpHost = server.hostAndPort();
  request.recipients = "refused@example.test";
  Sender sender;
  EXPECT_EQ(sender.send(request).error, mail::recorderMailStyle().recipientRefused);
  request.recipients = "refused@example.test,,you@example.test";
  mail::SendOutcome outcome = sender.send(request);
  ASSERT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  ASSERT_FALSE(server.waitForMessage(1).empty());
  EXPECT_NE(server.envelope(1).find("\"to\": [\"you@example.test\"]"), std::string::npos) << server.envelope(1);
}

TEST(SmtpServer, DirectDeliveryGoesToTheMailExchangerOfEachRecipient) {
  mailtest::TestSmtpServer server("smtp");
  REQUIRE_SERVER(server);
  Sender sender;
  sender.environment.directPort = server.port();
  mail::MailRequest request;
  request.recipients = "a@example.test,b@example.test";
  request.subject = "direct";
  mail::SendOutcome outcome = sender.send(request);
  ASSERT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  ASSERT_FALSE(server.waitForMessage(2).empty());
  EXPECT_EQ(sender.mx.asked, (std::vector<std::string>{"example.test", "example.test"}));

  // A host that cannot be reached hands over to direct delivery when allowed.
  request.recipients = "c@example.test";
  request.smtpHost = "127.0.0.1:1";
  EXPECT_EQ(sender.send(request).error, "Unable to connect to mail server \"127.0.0.1\".");
  request.sendDirect = true;
  outcome = sender.send(request);
  ASSERT_EQ(outcome.result, mail::MailResult::Sent) << outcome.error;
  ASSERT_FALSE(server.waitForMessage(3).empty());
  sender.environment.directPort = 1;
  EXPECT_EQ(sender.send(request).error,
            "Unable to connect to either mail server \"127.0.0.1\" or the mail server at \"example.test\".");
  request.recipients = "no-at-sign";
  EXPECT_EQ(sender.send(request).error, mail::kInvalidAddress);
}

TEST(SmtpServer, ServerThatClosesEarlyFailsAtOnce) {
  mailtest::TestSmtpServer server("close");
  REQUIRE_SERVER(server);
  mail::MailRequest request;
  request.recipients = "you@example.test";
  request.smtpHost = server.hostAndPort();
  Sender sender;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(sender.send(request).error, mail::kHeloRefused);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(SmtpServer, CancelEndsTheWaitForAReplyAndForASendThatDoesNotMove) {
  testkit::ScratchFolder folder;
  std::string big = makeRecording(folder, "big.wav", 64 << 20);
  for (const char* mode : {"silent", "stall"}) {
    mailtest::TestSmtpServer server(mode);
    REQUIRE_SERVER(server);
    mail::MailRequest request;
    request.recipients = "you@example.test";
    request.smtpHost = server.hostAndPort();
    request.attachments = {big};
    Sender sender;
    mail::CancelToken cancel;
    mail::SendOutcome outcome;
    std::thread sending([&] { outcome = sender.send(request, cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    auto cancelledAt = std::chrono::steady_clock::now();
    cancel.cancel();
    sending.join();
    EXPECT_EQ(outcome.result, mail::MailResult::Cancelled) << mode << ": " << outcome.error;
    EXPECT_EQ(outcome.error, "");
    EXPECT_LT(std::chrono::steady_clock::now() - cancelledAt, std::chrono::seconds(2)) << mode;
  }
}
