#pragma once
// The MIME message of a send: headers, the text part and the attachments in
// base64, written in the form the DATA command takes it (CR LF lines, lines
// of the text that start with "." carrying one more).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mail {

struct MailMessage {
  std::string from;     // UTF-8
  std::string to;       // UTF-8, the recipients as the header shows them
  std::string subject;  // UTF-8
  std::string body;     // UTF-8, any line ends
  std::vector<std::string> attachments;  // file paths
  std::string date;                      // formatMailDate
  std::string mailer;                    // the X-Mailer line's text
  std::string textContentType = "text/plain; charset=\"utf-8\"";
};

// Receives the message piece by piece; false stops the writing.
using MessageOutput = std::function<bool(std::string_view)>;

enum class MessageStatus { Written, OutputFailed, AttachmentUnreadable };

struct MessageResult {
  MessageStatus status = MessageStatus::Written;
  std::string unreadablePath;  // for AttachmentUnreadable
};

// The separator of the parts: the first "gc0p4Jq0M2Yt08jU534c<n>" whose text
// occurs nowhere in the body (n from 0; past 99 when every one of those does).
std::string chooseBoundary(const std::string& body);

// The body with CR LF line ends and every line that starts with "." given
// one more.
std::string dotStuffedText(const std::string& text);

// The content type of an attachment by its extension.
std::string attachmentContentType(const std::string& path);

// The total size of the attachments, for progress; -1 when one is missing.
int64_t attachmentBytes(const MailMessage& message);

MessageResult writeMessage(const MailMessage& message, const MessageOutput& out);

}  // namespace mail
