#pragma once
// Passing one finished recording on by every method the user switched on,
// in a fixed order: copy into a folder, e-mail, FTP upload, an external
// program. A failing method is reported and the next still runs; a cancel
// stops at once.

#include <string>

#include "core/source_status.h"

namespace recorder {

struct TransmitChoices {
  bool folder = false;
  std::string folderPath;
  bool email = false;
  bool ftp = false;
  bool program = false;
  std::string programTemplate;  // "%s" stands for the recording's path
};

// The methods themselves; each returns Done, Cancelled or Failed.
class TransmitMethods {
 public:
  virtual ~TransmitMethods() = default;
  virtual JobResult copyToFolder(const std::string& recording, const std::string& folder) = 0;
  virtual JobResult sendByEmail(const std::string& recording) = 0;
  virtual JobResult uploadByFtp(const std::string& recording) = 0;
  virtual JobResult runProgram(const std::string& commandLine) = 0;
};

class TransmitReport {
 public:
  virtual ~TransmitReport() = default;
  virtual void failed(const std::string& message) = 0;
};

// Done when every method switched on succeeded, Failed when any failed,
// Cancelled as soon as one was cancelled.
JobResult transmitRecording(const std::string& recording, const TransmitChoices& choices, TransmitMethods& methods,
                            TransmitReport& report);


}  // namespace recorder
