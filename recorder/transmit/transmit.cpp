#include "recorder/transmit/transmit.h"

#include "shell/command_template.h"
#include "sys/folders.h"

namespace recorder {

namespace {

std::string nameIn(const char* text, const std::string& recording) {
  std::string message = text;
  const size_t at = message.find("%s");
  return message.substr(0, at) + sys::fileNameOf(recording) + message.substr(at + 2);
}

}  // namespace

JobResult transmitRecording(const std::string& recording, const TransmitChoices& choices, TransmitMethods& methods,
                            TransmitReport& report) {
  bool anyFailed = false;
  auto outcome = [&](JobResult result, const char* failure) {
    if (result == JobResult::Failed) {
      anyFailed = true;
      report.failed(nameIn(failure, recording));
    }
    return result != JobResult::Cancelled;
  };
  if (choices.folder &&
      !outcome(methods.copyToFolder(recording, choices.folderPath),
               "Cannot copy the file \"%s\" to the backup folder. Please check the backup folder path in "
               "Options->Transmit again."))
    return JobResult::Cancelled;
  if (choices.email &&
      !outcome(methods.sendByEmail(recording),
               "Cannot send the file \"%s\" to email. Please check the email settings in Options->Transmit again."))
    return JobResult::Cancelled;
  if (choices.ftp &&
      !outcome(methods.uploadByFtp(recording),
               "Cannot upload the file \"%s\" to the FTP Server. Please check the FTP Server details in "
               "Options->Transmit again."))
    return JobResult::Cancelled;
  if (choices.program &&
      !outcome(methods.runProgram(shell::fillTemplateWithPath(choices.programTemplate, recording)),
               "Cannot run the exe program with the file \"%s\". Please check the External Exe Path in "
               "Options->Transmit again."))
    return JobResult::Cancelled;
  return anyFailed ? JobResult::Failed : JobResult::Done;
}

}  // namespace recorder
