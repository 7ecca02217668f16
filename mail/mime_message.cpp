#include "mail/mime_message.h"

#include <algorithm>
#include <cctype>

#include "mail/base64.h"
#include "mail/header_text.h"
#include "sys/file.h"
#include "sys/folders.h"

namespace mail {
namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

std::string extensionOf(const std::string& path) {
  std::string name = sys::fileNameOf(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : lowerCase(name.substr(dot));
}

// A name fit for a quoted header parameter: no quote, backslash or line break.
std::string quotedParameter(const std::string& name) {
  std::string out;
  for (char c : name)
    out += (c == '"' || c == '\\' || c == '\r' || c == '\n') ? '_' : c;
  return out;
}

MessageResult writeAttachment(const std::string& path, const std::string& boundary, const MessageOutput& out) {
  std::string name = quotedParameter(sys::fileNameOf(path));
  sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
  if (!file.isOpen()) return {MessageStatus::AttachmentUnreadable, path};
  std::string head = "\r\n--" + boundary + "\r\nContent-Type: " + attachmentContentType(path) + "; name=\"" +
                     name + "\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" +
                     name + "\"\r\n\r\n";
  if (!out(head)) return {MessageStatus::OutputFailed, {}};
  // Whole lines per read, so that only the file's last line is short.
  static constexpr size_t kLinesPerRead = 1024;
  std::string chunk(kBase64LineBytes * kLinesPerRead, '\0');
  std::string lines;
  int64_t left = file.size();
  while (left > 0) {
    size_t want = size_t(std::min<int64_t>(left, int64_t(chunk.size())));
    if (file.read(chunk.data(), want) != want) return {MessageStatus::AttachmentUnreadable, path};
    left -= int64_t(want);
    lines.clear();
    for (size_t at = 0; at < want; at += kBase64LineBytes) {
      lines += base64Encode(std::string_view(chunk).substr(at, std::min(kBase64LineBytes, want - at)));
      lines += "\r\n";
    }
    if (!out(lines)) return {MessageStatus::OutputFailed, {}};
  }
  return {};
}

}  // namespace

std::string chooseBoundary(const std::string& body) {
  for (int n = 0;; ++n) {
    std::string boundary = "gc0p4Jq0M2Yt08jU534c" + std::to_string(n);
    if (body.find(boundary) == std::string::npos) return boundary;
  }
}

std::string dotStuffedText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  bool lineStart = true;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      // A lone CR or LF is a line end too: SMTP knows only CR LF.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
      lineStart = true;
      continue;
    }
    if (lineStart && c == '.') out += '.';
    out += c;
    lineStart = false;
  }
  return out;
}

std::string attachmentContentType(const std::string& path) {
  std::string extension = extensionOf(path);
  if (extension == ".wav") return "audio/wav";
  if (extension == ".mp3") return "audio/mpeg";
  return "application/octet-stream";
}

int64_t attachmentBytes(const MailMessage& message) {
  int64_t total = 0;
  for (const std::string& path : message.attachments) {
    sys::File file = sys::File::open(path, sys::Access::Read, sys::Share::Read, sys::Disposition::OpenExisting);
    if (!file.isOpen()) return -1;
    total += file.size();
  }
  return total;
}

MessageResult writeMessage(const MailMessage& message, const MessageOutput& out) {
  std::string head = "MIME-Version: 1.0\r\nFrom: " + encodeHeaderText(message.from) +
                     "\r\nTo: " + encodeHeaderText(message.to) +
                     "\r\nSubject: " + encodeHeaderText(message.subject) + "\r\nDate: " + message.date + "\r\n";
  if (!message.mailer.empty()) head += "X-Mailer: " + encodeHeaderText(message.mailer) + "\r\n";
  std::string text = dotStuffedText(message.body);
  std::string textType = message.textContentType;
  // A type without a charset reads as ASCII: UTF-8 text must say what it is.
  bool eightBit = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
  if (eightBit && textType.find("charset") == std::string::npos) textType += "; charset=\"utf-8\"";
  std::string textPart = "Content-Type: " + textType + "\r\n\r\n" + text;
  if (message.attachments.empty()) {
    if (!out(head + textPart)) return {MessageStatus::OutputFailed, {}};
    return {};
  }
  std::string boundary = chooseBoundary(message.body);
  head += "Content-Type: multipart/mixed; boundary=" + boundary + "\r\n\r\n--" + boundary + "\r\n";
  if (!out(head + textPart)) return {MessageStatus::OutputFailed, {}};
  for (const std::string& path : message.attachments) {
    MessageResult result = writeAttachment(path, boundary, out);
    if (result.status != MessageStatus::Written) return result;
  }
  if (!out("\r\n--" + boundary + "--\r\n")) return {MessageStatus::OutputFailed, {}};
  return {};
}

}  // namespace mail
