#include "mail/send_recording.h"

#include "mail/mapi_mail.h"
#include "mail/network_readiness.h"
#include "mail/system_mail.h"
#include "sys/folders.h"

namespace mail {

MailRequest recordingRequest(const MailSettings& settings, const std::string& path) {
  MailRequest request = requestFromSettings(settings);
  std::string name = sys::fileNameOf(path);
  request.subject = "Rezara Sound Recorder - Emailed Recording " + name;
  request.body = "Attached is a recording made by Rezara Sound Recorder.\r\n\r\n  File Name: " + name +
                 "\r\n\r\nThis message was sent automatically when the recording was finished.\r\n";
  request.attachments = {path};
  return request;
}

SendOutcome sendRecording(const MailSettings& settings, const std::string& path, MailEnvironment& environment,
                          MailProgress* progress, const CancelToken& cancel) {
  return sendMail(recordingRequest(settings, path), recorderMailStyle(), environment, progress, cancel);
}

SendOutcome sendWithSettings(const MailSettings& settings, const MailRequest& request, const MailStyle& style,
                             MailProgress* progress, const CancelToken& cancel) {
  if (settings.useMapi) return sendThroughMapi(request);
  if (progress) progress->setLine("Connecting to Internet");
  NetworkReadiness network;
  if (cancel.cancelled()) return {MailResult::Cancelled, {}};
  std::unique_ptr<MailConnector> connector = makeSystemConnector();
  std::unique_ptr<MxResolver> resolver = makeSystemMxResolver();
  MailEnvironment environment;
  environment.connector = connector.get();
  environment.resolver = resolver.get();
  environment.localHost = localHostName();
  environment.time = currentMailTime();
  return sendMail(request, style, environment, progress, cancel);
}

SendOutcome sendRecording(const MailSettings& settings, const std::string& path, MailProgress* progress,
                          const CancelToken& cancel) {
  return sendWithSettings(settings, recordingRequest(settings, path), recorderMailStyle(), progress, cancel);
}

}  // namespace mail
