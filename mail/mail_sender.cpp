#include "mail/mail_sender.h"

#include <cctype>

#include "mail/smtp_dialogue.h"

namespace mail {

const char* const kInvalidAddress = "Invalid email address to send to";

namespace {

constexpr int kConnectTimeoutMs = 10000;
constexpr size_t kMaxAddressLength = 259;

std::string trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

std::string unableToConnect(const std::string& server) {
  return "Unable to connect to mail server \"" + server + "\".";
}

struct Delivery {
  const MailRequest& request;
  const MailStyle& style;
  MailEnvironment& environment;
  MailProgress* progress;
  const CancelToken& cancel;
  MailMessage message;
  std::string sender;

  void line(const std::string& text) {
    if (progress) progress->setLine(text);
  }

  SendOutcome talk(MailStream& stream, const std::string& serverName, const std::vector<std::string>& recipients,
                   bool withLogin) {
    DialogueRequest dialogue;
    dialogue.localHost = environment.localHost;
    dialogue.serverName = serverName;
    dialogue.sender = sender;
    dialogue.recipients = recipients;
    dialogue.sayEhlo = !request.userName.empty();
    dialogue.login = withLogin && !request.userName.empty();
    dialogue.userName = request.userName;
    dialogue.password = request.password;
    dialogue.allowUnencryptedLogin = request.allowUnencryptedLogin;
    dialogue.message = &message;
    return runSmtpDialogue(stream, dialogue, style, progress);
  }

  // One recipient straight to its domain's mail exchanger.
  SendOutcome deliverDirectly(const std::string& recipient, const std::string& triedHost) {
    size_t at = recipient.rfind('@');
    if (at == std::string::npos || !usableAddress(recipient)) return {MailResult::Failed, kInvalidAddress};
    std::string domain = recipient.substr(at + 1);
    std::vector<std::string> servers;
    for (const MailExchanger& exchanger : environment.resolver->lookUp(domain)) servers.push_back(exchanger.host);
    // A domain without exchangers takes its mail itself.
    if (servers.empty()) servers.push_back(domain);
    line("Connecting to server");
    for (const std::string& server : servers) {
      if (cancel.cancelled()) return {MailResult::Cancelled, {}};
      ConnectResult connection = environment.connector->connect(server, environment.directPort, kConnectTimeoutMs, cancel);
      if (connection.status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
      if (connection.status == IoStatus::Done) return talk(*connection.stream, server, {recipient}, false);
    }
    if (!triedHost.empty())
      return {MailResult::Failed, "Unable to connect to either mail server \"" + triedHost +
                                      "\" or the mail server at \"" + domain + "\"."};
    return {MailResult::Failed, unableToConnect(domain)};
  }

  SendOutcome deliverAllDirectly(const std::vector<std::string>& recipients, const std::string& triedHost) {
    for (const std::string& recipient : recipients) {
      SendOutcome outcome = deliverDirectly(recipient, triedHost);
      if (outcome.result != MailResult::Sent) return outcome;
    }
    return {MailResult::Sent, {}};
  }
};

}  // namespace

std::vector<std::string> splitRecipients(const std::string& list) {
  std::vector<std::string> recipients;
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    std::string entry = trimmed(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!entry.empty()) recipients.push_back(entry);
    if (comma == std::string::npos) return recipients;
    start = comma + 1;
  }
}

bool usableAddress(const std::string& address) {
  if (address.empty() || address.size() > kMaxAddressLength || address.find('@') == std::string::npos) return false;
  for (unsigned char c : address)
    if (c < 33 || c == 127 || c == '<' || c == '>') return false;
  return true;
}

HostAndPort splitHostAndPort(const std::string& text) {
  HostAndPort result;
  std::string trimmedText = trimmed(text);
  size_t colon = trimmedText.find(':');
  result.host = trimmedText.substr(0, colon);
  if (colon == std::string::npos) return result;
  std::string port = trimmedText.substr(colon + 1);
  long value = 0;
  for (char c : port) {
    if (c < '0' || c > '9' || value > 65535) return {result.host, 0};
    value = value * 10 + (c - '0');
  }
  result.port = (port.empty() || value < 1 || value > 65535) ? 0 : int(value);
  return result;
}

SendOutcome sendMail(const MailRequest& request, const MailStyle& style, MailEnvironment& environment,
                     MailProgress* progress, const CancelToken& cancel) {
  std::vector<std::string> recipients = splitRecipients(request.recipients);
  for (const std::string& recipient : recipients)
    if (!usableAddress(recipient)) return {MailResult::Failed, kInvalidAddress};
  if (recipients.empty()) return {MailResult::Failed, kInvalidAddress};

  Delivery delivery{request, style, environment, progress, cancel, {}, {}};
  delivery.sender = request.sender.empty() ? style.programName + "@" + environment.localHost : request.sender;
  delivery.message.from = delivery.sender;
  delivery.message.to = joined(recipients);
  delivery.message.subject = request.subject;
  delivery.message.body = request.body;
  delivery.message.attachments = request.attachments;
  delivery.message.date = formatMailDate(environment.time);
  delivery.message.mailer = style.mailer;
  delivery.message.textContentType = style.textContentType;
  delivery.line("Sending Email");

  if (request.smtpHost.empty()) return delivery.deliverAllDirectly(recipients, {});

  HostAndPort server = splitHostAndPort(request.smtpHost);
  delivery.line("Connecting to server");
  ConnectResult connection;
  if (server.port != 0 && !server.host.empty())
    connection = environment.connector->connect(server.host, server.port, kConnectTimeoutMs, cancel);
  if (connection.status == IoStatus::Cancelled) return {MailResult::Cancelled, {}};
  if (connection.status != IoStatus::Done) {
    if (request.sendDirect) return delivery.deliverAllDirectly(recipients, server.host);
    return {MailResult::Failed, unableToConnect(server.host)};
  }
  return delivery.talk(*connection.stream, server.host, recipients, true);
}

}  // namespace mail
