#include "recorder/transmit/transmit_settings.h"

#include <gtest/gtest.h>

namespace recorder {
namespace {

// Seals by reversing behind a marker, so that a sealed value is recognisably
// not the clear one.
class MarkerVault : public mail::PasswordVault {
 public:
  std::optional<std::string> seal(const std::string& secret) override {
    if (refuse) return std::nullopt;
    return "sealed:" + std::string(secret.rbegin(), secret.rend());
  }
  std::optional<std::string> unseal(const std::string& sealed) override {
    if (sealed.rfind("sealed:", 0) != 0) return std::nullopt;
    std::string inner = sealed.substr(7);
    return std::string(inner.rbegin(), inner.rend());
  }
  bool refuse = false;
};

struct FtpPassword : ::testing::Test {
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  RecorderSettings settings{*store, "C:\\Recordings"};
  MarkerVault vault;
  std::string stored() const { return store->read(kFtpSection, "Password", ""); }
};

TEST_F(FtpPassword, SealedOnWriteAndReadBack) {
  ASSERT_TRUE(writeFtpPassword(settings, "s3cret pass", &vault));
  EXPECT_EQ(stored().rfind(mail::kSealedPrefix, 0), 0u);
  EXPECT_EQ(stored().find("s3cret"), std::string::npos);
  const mail::StoredSecret read = readFtpPassword(settings, &vault);
  EXPECT_EQ(read.secret, "s3cret pass");
  EXPECT_FALSE(read.wasClear);
}

TEST_F(FtpPassword, AnOldClearValueIsReadAndMarkedForSealing) {
  store->write(kFtpSection, "Password", "plain");
  const mail::StoredSecret read = readFtpPassword(settings, &vault);
  EXPECT_EQ(read.secret, "plain");
  EXPECT_TRUE(read.wasClear);
  ASSERT_TRUE(writeFtpPassword(settings, read.secret, &vault));
  EXPECT_NE(stored(), "plain");
  EXPECT_EQ(readFtpPassword(settings, &vault).secret, "plain");
}

TEST_F(FtpPassword, NeverStoredInClearWhenSealingFails) {
  store->write(kFtpSection, "Password", "old");
  vault.refuse = true;
  EXPECT_FALSE(writeFtpPassword(settings, "new", &vault));
  EXPECT_EQ(stored(), "");
  vault.refuse = false;
  // Without a vault nothing is sealed either.
  EXPECT_FALSE(writeFtpPassword(settings, "new", nullptr));
  EXPECT_EQ(stored(), "");
}

TEST_F(FtpPassword, ASealedValueThatCannotBeOpenedReadsAsNone) {
  store->write(kFtpSection, "Password", std::string(mail::kSealedPrefix) + "!!not base64!!");
  EXPECT_EQ(readFtpPassword(settings, &vault).secret, "");
  store->write(kFtpSection, "Password", std::string(mail::kSealedPrefix) + "c2VhbGVkOmNiYQ==");  // "sealed:cba"
  EXPECT_EQ(readFtpPassword(settings, nullptr).secret, "");
  EXPECT_EQ(readFtpPassword(settings, &vault).secret, "abc");
}

TEST(TransmitSettings, TheTargetAndChoicesFollowTheStoredValues) {
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  RecorderSettings settings(*store, "C:\\Recordings");
  MarkerVault vault;
  EXPECT_FALSE(transmitChoices(settings).folder || transmitChoices(settings).email || transmitChoices(settings).ftp ||
               transmitChoices(settings).program);
  settings.setSendFtp(true);
  settings.setSendRun(true);
  settings.setSendRunExe("tool.exe %s");
  settings.setFtpValue("Server", "127.0.0.1:2121");
  settings.setFtpValue("UserName", "rec");
  settings.setFtpValue("Directory", "inbox");
  writeFtpPassword(settings, "pw", &vault);
  const TransmitChoices choices = transmitChoices(settings);
  EXPECT_TRUE(choices.ftp && choices.program);
  EXPECT_FALSE(choices.folder || choices.email);
  EXPECT_EQ(choices.programTemplate, "tool.exe %s");
  const FtpTarget target = ftpTarget(settings, &vault);
  EXPECT_EQ(target.server, "127.0.0.1:2121");
  EXPECT_EQ(target.userName, "rec");
  EXPECT_EQ(target.password, "pw");
  EXPECT_EQ(target.directory, "inbox");
}

}  // namespace
}  // namespace recorder
