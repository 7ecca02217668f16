#include <gtest/gtest.h>

#include "mail/header_text.h"
#include "mail/mime_message.h"
#include "mail/tests/test_smtp_server.h"
#include "testkit/testkit.h"

namespace {

// The bytes an encoded word stands for, or nothing when it is not one.
std::optional<std::string> decodeWord(const std::string& word) {
  const std::string open = "=?utf-8?q?";
  if (word.rfind(open, 0) != 0 || word.size() < open.size() + 2 || word.substr(word.size() - 2) != "?=")
    return std::nullopt;
  std::string inner = word.substr(open.size(), word.size() - open.size() - 2), out;
  for (size_t i = 0; i < inner.size(); ++i) {
    unsigned char c = inner[i];
    if (c < 33 || c > 126 || c == '?' || c == '_') return std::nullopt;
    if (c == '=') {
      if (i + 2 >= inner.size()) return std::nullopt;
      out += char(std::stoi(inner.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += char(c);
    }
  }
  return out;
}

bool wholeUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    unsigned char c = bytes[i];
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::string written(const mail::MailMessage& message) {
  std::string out;
  EXPECT_EQ(mail::writeMessage(message, [&](std::string_view piece) {
              out += piece;
              return true;
            }).status,
            mail::MessageStatus::Written);
  return out;
}

}  // namespace

TEST(HeaderText, PrintableAsciiStaysAndEverythingElseBecomesShortWholeCharacterWords) {
  EXPECT_EQ(mail::encodeHeaderText("Weekly report: 3 files"), "Weekly report: 3 files");
  EXPECT_EQ(mail::encodeHeaderText("Caf\xC3\xA9 ok"), "=?utf-8?q?Caf=C3=A9=20ok?=");
  // A line break in a subject could otherwise start a header of its own.
  EXPECT_EQ(mail::encodeHeaderText("a\r\nBcc: x"), "=?utf-8?q?a=0D=0ABcc:=20x?=");
  EXPECT_EQ(mail::encodeHeaderText("\xC3\xA9?_="), "=?utf-8?q?=C3=A9=3F=5F=3D?=");

  std::string longText;
  for (int i = 0; i < 40; ++i) longText += "\xE2\x82\xAC a";  // euro sign, blank, letter
  std::string encoded = mail::encodeHeaderText(longText);
  std::string decoded;
  size_t start = 0;
  for (;;) {
    size_t end = encoded.find("\r\n ", start);
    std::string word = encoded.substr(start, end == std::string::npos ? std::string::npos : end - start);
    EXPECT_LE(word.size(), 75u) << word;
    std::optional<std::string> bytes = decodeWord(word);
    ASSERT_TRUE(bytes) << word;
    EXPECT_TRUE(wholeUtf8(*bytes)) << word;
    decoded += *bytes;
    if (end == std::string::npos) break;
    start = end + 3;
  }
  EXPECT_EQ(decoded, longText);
}

TEST(HeaderText, DateNamesDayMonthAndZoneEitherSideOfUtc) {
  mail::MailTime time;
  time.local.tm_year = 126;
  time.local.tm_mon = 11;
  time.local.tm_mday = 9;
  time.local.tm_wday = 3;
  time.local.tm_hour = 1;
  time.local.tm_min = 50;
  time.local.tm_sec = 7;
  time.zoneMinutes = 60;
  EXPECT_EQ(mail::formatMailDate(time), "Wed, 09 Dec 2026 01:50:07 +0100");
  time.zoneMinutes = -(5 * 60 + 30);
  EXPECT_EQ(mail::formatMailDate(time), "Wed, 09 Dec 2026 01:50:07 -0530");
  time.zoneMinutes = 0;
  EXPECT_EQ(mail::formatMailDate(time), "Wed, 09 Dec 2026 01:50:07 +0000");
}

TEST(MimeMessage, TextLinesStartingWithADotGetOneMoreAndEveryLineEndsWithCrLf) {
  EXPECT_EQ(mail::dotStuffedText(".a\n..b\r\nc.\r.d\r\n"), "..a\r\n...b\r\nc.\r\n..d\r\n");
  EXPECT_EQ(mail::dotStuffedText("."), "..");
  EXPECT_EQ(mail::dotStuffedText("no dots. here"), "no dots. here");
}

TEST(MimeMessage, BoundaryIsTheFirstNumberedOneTheBodyDoesNotContain) {
  EXPECT_EQ(mail::chooseBoundary("hello"), "gc0p4Jq0M2Yt08jU534c0");
  EXPECT_EQ(mail::chooseBoundary("--gc0p4Jq0M2Yt08jU534c0 and gc0p4Jq0M2Yt08jU534c1"), "gc0p4Jq0M2Yt08jU534c2");
  std::string all;
  for (int n = 0; n < 100; ++n) all += "gc0p4Jq0M2Yt08jU534c" + std::to_string(n) + "\n";
  std::string boundary = mail::chooseBoundary(all);
  EXPECT_EQ(all.find(boundary), std::string::npos) << boundary;
}

TEST(MimeMessage, AttachmentTypesFollowTheExtensionInAnyCase) {
  EXPECT_EQ(mail::attachmentContentType("C:\\rec\\take.WAV"), "audio/wav");
  EXPECT_EQ(mail::attachmentContentType("take.Mp3"), "audio/mpeg");
  EXPECT_EQ(mail::attachmentContentType("take.ogg"), "application/octet-stream");
  EXPECT_EQ(mail::attachmentContentType("mp3"), "application/octet-stream");
}

TEST(MimeMessage, PythonsEmailPackageReadsBackHeadersBodyAndAttachmentBytes) {
  ZED_REQUIRE_TOOL("python3");
  testkit::ScratchFolder folder;
  std::vector<uint8_t> wave(100003), mp3(57 * 40);
  for (size_t i = 0; i < wave.size(); ++i) wave[i] = uint8_t(i * 7919 >> 3);
  for (size_t i = 0; i < mp3.size(); ++i) mp3[i] = uint8_t(255 - i);
  std::string wavePath = folder.file("take one.wav"), mp3Path = folder.file("TAKE.MP3");
  testkit::writeAll(wavePath, wave);
  testkit::writeAll(mp3Path, mp3);

  mail::MailMessage message;
  message.from = "me@example.test";
  message.to = "you@example.test";
  message.subject = "Aufnahme \xC3\xBC" "ber Caf\xC3\xA9s und Stra\xC3\x9F" "en, eine sehr lange Betreffzeile mit vielen W\xC3\xB6rtern";
  message.body = "First line\n.starts with a dot\r\n..two dots\nL\xC3\xA4nge\n";
  message.attachments = {wavePath, mp3Path};
  message.date = "Wed, 09 Dec 2026 01:50:07 +0100";
  message.mailer = "Test";
  std::string text = written(message);
  // The server removes the added dots (as a real one does) before parsing.
  std::string received;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    end = end == std::string::npos ? text.size() : end + 2;
    std::string line = text.substr(start, end - start);
    received += line.rfind(".", 0) == 0 ? line.substr(1) : line;
    start = end;
  }
  std::string path = folder.file("message.eml");
  testkit::writeAll(path, std::vector<uint8_t>(received.begin(), received.end()));
  EXPECT_EQ(mailtest::checkMessage(path, message.subject, message.body, {wavePath, mp3Path},
                                   {"audio/wav", "audio/mpeg"}),
            "");

  message.attachments.clear();
  text = written(message);
  EXPECT_NE(text.find("Content-Type: text/plain; charset=\"utf-8\"\r\n\r\nFirst line\r\n..starts"), std::string::npos);
  EXPECT_EQ(text.find("multipart"), std::string::npos);
}

TEST(MimeMessage, PlainTextTypeNamesUtf8OnlyWhenTheTextNeedsIt) {
  mail::MailMessage message;
  message.textContentType = "text/plain";
  message.body = "plain words";
  EXPECT_NE(written(message).find("Content-Type: text/plain\r\n\r\nplain words"), std::string::npos);
  message.body = "Gr\xC3\xBC\xC3\x9F" "e";
  EXPECT_NE(written(message).find("Content-Type: text/plain; charset=\"utf-8\"\r\n\r\nGr"), std::string::npos);
}

TEST(MimeMessage, AMissingAttachmentIsReportedByItsPath) {
  mail::MailMessage message;
  message.attachments = {"/no/such/folder/take.wav"};
  mail::MessageResult result = mail::writeMessage(message, [](std::string_view) { return true; });
  EXPECT_EQ(result.status, mail::MessageStatus::AttachmentUnreadable);
  EXPECT_EQ(result.unreadablePath, "/no/such/folder/take.wav");
}
