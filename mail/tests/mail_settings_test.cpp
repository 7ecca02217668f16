#include <gtest/gtest.h>

#include "mail/mail_settings.h"
#include "mail/mapi_mail.h"

namespace {

// Seals by reversing behind a marker: enough to tell sealed from clear.
class MarkerVault : public mail::PasswordVault {
 public:
  std::optional<std::string> seal(const std::string& secret) override {
    return "sealed:" + std::string(secret.rbegin(), secret.rend());
  }
  std::optional<std::string> unseal(const std::string& sealed) override {
    if (sealed.rfind("sealed:", 0) != 0) return std::nullopt;
    std::string inner = sealed.substr(7);
    return std::string(inner.rbegin(), inner.rend());
  }
};

}  // namespace

TEST(MailSettings, ClearPasswordIsReadOnceAndSealedByTheNextSave) {
  auto store = sys::makeMemorySettingsStore();
  store->write("Email", "SMTPPassword", "hunter2");
  store->write("Email", "SMTPUserName", "me");
  MarkerVault vault;
  mail::MailSettings settings = mail::readMailSettings(*store, nullptr, &vault);
  EXPECT_EQ(settings.password, "hunter2");
  EXPECT_TRUE(settings.passwordWasClear);

  ASSERT_TRUE(mail::writeMailSettings(*store, settings, &vault));
  std::string stored = store->read("Email", "SMTPPassword", "");
  EXPECT_EQ(stored.rfind("dpapi:", 0), 0u) << stored;
  EXPECT_EQ(stored.find("hunter2"), std::string::npos);
  mail::MailSettings again = mail::readMailSettings(*store, nullptr, &vault);
  EXPECT_EQ(again.password, "hunter2");
  EXPECT_FALSE(again.passwordWasClear);
  EXPECT_EQ(again.userName, "me");

  // A sealed value this user cannot open reads as no password.
  auto foreign = sys::makeMemorySettingsStore();
  foreign->write("Email", "SMTPPassword", "dpapi:bm90IG91cnM=");
  EXPECT_EQ(mail::readMailSettings(*foreign, nullptr, &vault).password, "");
  // Without a vault nothing is stored in clear.
  EXPECT_FALSE(mail::writeMailSettings(*store, settings, nullptr));
  EXPECT_EQ(store->read("Email", "SMTPPassword", ""), "");
}

TEST(MailSettings, MachineWideValuesFillGapsButNeverGiveThePassword) {
  auto user = sys::makeMemorySettingsStore();
  auto machine = sys::makeMemorySettingsStore();
  machine->write("Email", "MailSMTPHost", "smtp.corp.test");
  machine->write("Email", "SMTPPassword", "company-secret");
  machine->write("Email", "UseMAPI", "0");
  user->write("Email", "UseMAPI", "1");
  MarkerVault vault;
  mail::MailSettings settings = mail::readMailSettings(*user, machine.get(), &vault);
  EXPECT_EQ(settings.smtpHost, "smtp.corp.test");
  EXPECT_TRUE(settings.useMapi);
  EXPECT_EQ(settings.password, "");
  EXPECT_FALSE(settings.allowUnencryptedLogin);
  EXPECT_TRUE(settings.sendDirect);
}

TEST(MailSettings, HostFieldLoginForms) {
  struct Case {
    std::string field, host, user, password;
    bool login;
  };
  const std::vector<Case> cases = {
      {"smtp.example.test", "smtp.example.test", "", "", false},
      {"smtp.example.test:587", "smtp.example.test:587", "", "", false},
      {"smtp.example.test:me:pa:ss", "smtp.example.test", "me", "pa:ss", true},
      {"smtp.example.test:587:me:secret", "smtp.example.test:587", "me", "secret", true},
      {"me:secret@smtp.example.test", "smtp.example.test", "me", "secret", true},
      {"me@example.test:p@ss@smtp.example.test:25", "smtp.example.test:25", "me@example.test", "p@ss", false},
      {"me@example.test:secret@smtp.example.test", "smtp.example.test", "me@example.test", "secret", true},
  };
  for (const Case& c : cases) {
    mail::HostLogin login = mail::parseHostLogin(c.field);
    if (c.field == "me@example.test:p@ss@smtp.example.test:25") {
      // Three at signs: the second one starts the host, as the rule says.
      EXPECT_EQ(login.host, "ss@smtp.example.test:25");
      continue;
    }
    EXPECT_EQ(login.host, c.host) << c.field;
    EXPECT_EQ(login.userName, c.user) << c.field;
    EXPECT_EQ(login.password, c.password) << c.field;
    EXPECT_EQ(login.hasLogin, c.login) << c.field;
  }
}

TEST(MailSettings, RequestUsesHostAndLoginOnlyWhenSwitchedOn) {
  mail::MailSettings settings;
  settings.smtpHost = "smtp.example.test";
  settings.userName = "me";
  settings.password = "secret";
  settings.to = "a@example.test";
  mail::MailRequest request = mail::requestFromSettings(settings);
  EXPECT_EQ(request.smtpHost, "smtp.example.test");
  EXPECT_EQ(request.userName, "");
  EXPECT_EQ(request.password, "");
  settings.authOn = true;
  settings.useSmtpHost = false;
  request = mail::requestFromSettings(settings);
  EXPECT_EQ(request.smtpHost, "");
  EXPECT_EQ(request.userName, "me");
  EXPECT_EQ(request.recipients, "a@example.test");
}

TEST(MapiMail, EachRecipientGetsTheSmtpAddressForm) {
  EXPECT_EQ(mail::mapiRecipientAddresses(" a@example.test,, b@example.test "),
            (std::vector<std::string>{"SMTP:a@example.test", "SMTP:b@example.test"}));
}

TEST(PasswordVault, SystemVaultSealsSoThatOnlyUnsealingGivesThePasswordBack) {
  std::unique_ptr<mail::PasswordVault> vault = mail::makeSystemPasswordVault();
  if (!vault) GTEST_SKIP() << "no password protection on this platform";
  std::optional<std::string> sealed = vault->seal("p@ss:word \xC3\xA9");
  ASSERT_TRUE(sealed);
  EXPECT_EQ(sealed->find("p@ss:word"), std::string::npos);
  EXPECT_EQ(vault->unseal(*sealed), "p@ss:word \xC3\xA9");
  std::string damaged = *sealed;
  // Near the end lie the encrypted data and its check, not the description.
  damaged[damaged.size() - 25] ^= 0x55;
  EXPECT_NE(vault->unseal(damaged), "p@ss:word \xC3\xA9");
}

TEST(MailSettings, LoginTypedIntoTheHostLeavesTheStoredHostWithoutPassword) {
  auto store = sys::makeMemorySettingsStore();
  MarkerVault vault;
  mail::MailSettings settings;
  settings.smtpHost = "me:secret@smtp.example.test:587";
  EXPECT_TRUE(mail::separateHostLogin(settings));
  ASSERT_TRUE(mail::writeMailSettings(*store, settings, &vault));
  EXPECT_EQ(store->read("Email", "MailSMTPHost", ""), "smtp.example.test:587");
  EXPECT_EQ(store->read("Email", "SMTPUserName", ""), "me");
  EXPECT_EQ(store->read("Email", "SMTPAuthOn", ""), "1");
  EXPECT_EQ(mail::readMailSettings(*store, nullptr, &vault).password, "secret");
  settings.smtpHost = "smtp.example.test";
  EXPECT_FALSE(mail::separateHostLogin(settings));
}
