// Drives the transmission methods from outside, under Wine, against the
// test's own FTP server:
//   transmit_check ftp SERVER USER PASSWORD DIRECTORY|- FILE
//   transmit_check queue LIST FOLDER SERVER USER PASSWORD PROGRAM_TEMPLATE FILE
// "queue" switches all four methods on (e-mail fails: no mail settings),
// queues FILE and prints each failure message. Exit code 0 when the
// methods ended as expected.
#include <cstdio>
#include <cstring>
#include <string>

#include "recorder/transmit/recording_sender.h"
#include "recorder/transmit/system_transmit_methods.h"

namespace {

struct PrintedReport : recorder::TransmitReport {
  void failed(const std::string& message) override { std::printf("%s\n", message.c_str()); }
};

int usage() {
  std::fprintf(stderr, "usage: transmit_check ftp|queue ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string action = argv[1];
  if (action == "ftp" && argc == 7) {
    recorder::FtpTarget target{argv[2], argv[3], argv[4], std::strcmp(argv[5], "-") == 0 ? "" : argv[5]};
    sys::Event cancel(true, false);
    const JobResult result = recorder::uploadToFtp(argv[6], target, cancel);
    return result == JobResult::Done ? 0 : 1;
  }
  if (action == "queue" && argc == 9) {
    recorder::SendList list(argv[2]);
    recorder::TransmitChoices choices;
    choices.folder = choices.email = choices.ftp = choices.program = true;
    choices.folderPath = argv[3];
    choices.programTemplate = argv[7];
    const recorder::FtpTarget ftp{argv[4], argv[5], argv[6], ""};
    PrintedReport report;
    JobResult last = JobResult::Done;
    recorder::RecordingSender sender(list, [&](const std::string& recording, sys::Event& cancel) {
      recorder::SystemTransmitMethods methods(ftp, nullptr, cancel);
      last = recorder::transmitRecording(recording, choices, methods, report);
      return last;
    });
    if (!sender.queue(argv[8]) || !sender.waitIdle(60000)) return 1;
    std::fflush(stdout);
    // Only the e-mail fails.
    return last == JobResult::Failed && !list.first() ? 0 : 1;
  }
  return usage();
}
