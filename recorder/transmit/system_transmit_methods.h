#pragma once
// The transmission methods as the recorder runs them on Windows.

#include <functional>

#include "recorder/transmit/ftp_upload.h"
#include "recorder/transmit/transmit.h"

namespace recorder {

class SystemTransmitMethods : public TransmitMethods {
 public:
  using SendMail = std::function<JobResult(const std::string& recording, sys::Event& cancel)>;

  // sendMail sends a recording by e-mail; without it e-mail fails.
  SystemTransmitMethods(FtpTarget ftp, SendMail sendMail, sys::Event& cancel)
      : m_ftp(std::move(ftp)), m_sendMail(std::move(sendMail)), m_cancel(cancel) {}

  JobResult copyToFolder(const std::string& recording, const std::string& folder) override;
  JobResult sendByEmail(const std::string& recording) override;
  JobResult uploadByFtp(const std::string& recording) override;
  JobResult runProgram(const std::string& commandLine) override;

  // How long a started program is waited for.
  static constexpr int kProgramWaitMs = 3600000;

 private:
  FtpTarget m_ftp;
  SendMail m_sendMail;
  sys::Event& m_cancel;
};

}  // namespace recorder
