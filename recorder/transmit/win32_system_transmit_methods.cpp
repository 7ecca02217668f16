#include "recorder/transmit/system_transmit_methods.h"

#include <windows.h>

#include "sys/folders.h"
#include "sys/process.h"
#include "sys/win32/wide_text.h"

namespace recorder {

namespace {
constexpr int kWaitSliceMs = 100;
}

JobResult SystemTransmitMethods::copyToFolder(const std::string& recording, const std::string& folder) {
  if (folder.empty()) return JobResult::Failed;
  const std::string target = sys::joinPath(folder, sys::fileNameOf(recording));
  return CopyFileW(sys::win32::widen(recording).c_str(), sys::win32::widen(target).c_str(), FALSE)
             ? JobResult::Done
             : JobResult::Failed;
}

JobResult SystemTransmitMethods::sendByEmail(const std::string& recording) {
  return m_sendMail ? m_sendMail(recording, m_cancel) : JobResult::Failed;
}

JobResult SystemTransmitMethods::uploadByFtp(const std::string& recording) {
  return uploadToFtp(recording, m_ftp, m_cancel);
}

JobResult SystemTransmitMethods::runProgram(const std::string& commandLine) {
  sys::Process program;
  if (!program.startAlone(commandLine, true)) return JobResult::Failed;
  // The program is the user's: a cancel stops waiting for it, not the program.
  for (int waited = 0; waited < kProgramWaitMs; waited += kWaitSliceMs) {
    if (program.wait(kWaitSliceMs)) return JobResult::Done;
    if (m_cancel.wait(0)) return JobResult::Cancelled;
  }
  return JobResult::Done;
}

}  // namespace recorder
