#include "mail/mail_settings.h"

#include "mail/sealed_value.h"

namespace mail {
namespace {

std::string readValue(const sys::SettingsStore& user, const sys::SettingsStore* machine, const char* name,
                      const std::string& fallback) {
  std::string value = user.read(kEmailSection, name, {});
  if (!value.empty()) return value;
  return machine ? machine->read(kEmailSection, name, fallback) : fallback;
}

bool readSwitch(const sys::SettingsStore& user, const sys::SettingsStore* machine, const char* name, bool fallback) {
  return readValue(user, machine, name, fallback ? "1" : "0") != "0";
}

bool isNumber(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

MailSettings readMailSettings(const sys::SettingsStore& user, const sys::SettingsStore* machine, PasswordVault* vault) {
  MailSettings settings;
  settings.useMapi = readSwitch(user, machine, "UseMAPI", true);
  settings.useSmtpHost = readSwitch(user, machine, "UseSMTPHost", true);
  settings.smtpHost = readValue(user, machine, "MailSMTPHost", {});
  settings.authOn = readSwitch(user, machine, "SMTPAuthOn", false);
  settings.userName = readValue(user, machine, "SMTPUserName", {});
  settings.sendDirect = readSwitch(user, machine, "SendDirect", true);
  settings.replyTo = readValue(user, machine, "ReplyToEmail", {});
  settings.to = readValue(user, machine, "To", {});
  settings.allowUnencryptedLogin = readSwitch(user, machine, "SMTPAllowPlainLogin", false);
  // A password is the user's own: never taken from the machine-wide values.
  StoredSecret stored = readSealedValue(user, kEmailSection, kPasswordValue, vault);
  settings.password = stored.secret;
  settings.passwordWasClear = stored.wasClear;
  return settings;
}

bool writeMailSettings(sys::SettingsStore& store, const MailSettings& settings, PasswordVault* vault) {
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  bool ok = store.write(kEmailSection, "UseMAPI", flag(settings.useMapi));
  ok &= store.write(kEmailSection, "UseSMTPHost", flag(settings.useSmtpHost));
  ok &= store.write(kEmailSection, "MailSMTPHost", settings.smtpHost);
  ok &= store.write(kEmailSection, "SMTPAuthOn", flag(settings.authOn));
  ok &= store.write(kEmailSection, "SMTPUserName", settings.userName);
  ok &= store.write(kEmailSection, "SendDirect", flag(settings.sendDirect));
  ok &= store.write(kEmailSection, "ReplyToEmail", settings.replyTo);
  ok &= store.write(kEmailSection, "To", settings.to);
  ok &= store.write(kEmailSection, "SMTPAllowPlainLogin", flag(settings.allowUnencryptedLogin));
  ok &= writeSealedValue(store, kEmailSection, kPasswordValue, settings.password, vault);
  return ok;
}

HostLogin parseHostLogin(const std::string& field) {
  HostLogin login;
  size_t firstAt = field.find('@');
  if (firstAt != std::string::npos) {
    size_t secondAt = field.find('@', firstAt + 1);
    size_t split = secondAt != std::string::npos ? secondAt : firstAt;
    std::string credentials = field.substr(0, split);
    login.host = field.substr(split + 1);
    size_t colon = credentials.find(':');
    login.userName = credentials.substr(0, colon);
    if (colon != std::string::npos) login.password = credentials.substr(colon + 1);
    login.hasLogin = true;
    return login;
  }
  size_t first = field.find(':');
  size_t second = first == std::string::npos ? std::string::npos : field.find(':', first + 1);
  if (second == std::string::npos) {
    login.host = field;  // "host" or "host:port"
    return login;
  }
  // "host:port:user:password" keeps its port.
  size_t third = field.find(':', second + 1);
  if (third != std::string::npos && isNumber(field.substr(first + 1, second - first - 1))) {
    login.host = field.substr(0, second);
    login.userName = field.substr(second + 1, third - second - 1);
    login.password = field.substr(third + 1);
  } else {
    login.host = field.substr(0, first);
    login.userName = field.substr(first + 1, second - first - 1);
    login.password = field.substr(second + 1);
  }
  login.hasLogin = true;
  return login;
}

bool separateHostLogin(MailSettings& settings) {
  HostLogin login = parseHostLogin(settings.smtpHost);
  if (!login.hasLogin) return false;
  settings.smtpHost = login.host;
  settings.userName = login.userName;
  settings.password = login.password;
  settings.authOn = true;
  return true;
}

MailSettings loadMailSettings(const std::string& root) {
  std::unique_ptr<sys::SettingsStore> user = sys::openProgramSettings(root);
  std::unique_ptr<sys::SettingsStore> machine = openMachineWideSettings(root);
  std::unique_ptr<PasswordVault> vault = makeSystemPasswordVault();
  MailSettings settings = readMailSettings(*user, machine.get(), vault.get());
  if (separateHostLogin(settings)) writeMailSettings(*user, settings, vault.get());
  return settings;
}

bool saveMailSettings(const std::string& root, MailSettings settings) {
  separateHostLogin(settings);
  std::unique_ptr<sys::SettingsStore> user = sys::openProgramSettings(root);
  std::unique_ptr<PasswordVault> vault = makeSystemPasswordVault();
  return writeMailSettings(*user, settings, vault.get());
}

MailRequest requestFromSettings(const MailSettings& settings) {
  MailRequest request;
  request.recipients = settings.to;
  request.sender = settings.replyTo;
  if (settings.useSmtpHost) request.smtpHost = settings.smtpHost;
  if (settings.authOn) {
    request.userName = settings.userName;
    request.password = settings.password;
  }
  request.allowUnencryptedLogin = settings.allowUnencryptedLogin;
  request.sendDirect = settings.sendDirect;
  return request;
}

}  // namespace mail
