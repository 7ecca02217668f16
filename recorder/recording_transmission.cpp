#include "recorder/recording_transmission.h"

#include <functional>

#include "mail/send_recording.h"
#include "recorder/model/recorder_settings.h"
#include "recorder/transmit/system_transmit_methods.h"
#include "recorder/transmit/transmit_settings.h"
#include "sys/folders.h"
#include "ui/text.h"

namespace recorder {
namespace {

// The messages name the Transmit page, where their settings are.
constexpr char kFailureCaption[] = "Transmit";

class WorkerReport final : public TransmitReport {
 public:
  explicit WorkerReport(std::function<void(const std::string&)> report) : m_report(std::move(report)) {}
  void failed(const std::string& message) override { m_report(message); }

 private:
  std::function<void(const std::string&)> m_report;
};

}  // namespace

RecordingTransmission::RecordingTransmission(HWND owner, const std::string& dataFolder)
    : m_owner(owner), m_list(sys::joinPath(dataFolder, kListName)) {
  m_notifier = std::make_unique<ui::NotifierWindow>([this] { showFailures(); });
  m_sender = std::make_unique<RecordingSender>(
      m_list, [this](const std::string& recording, sys::Event& cancel) { return transmit(recording, cancel); });
}

RecordingTransmission::~RecordingTransmission() {
  cancel();
  m_sender.reset();
  m_notifier.reset();
}

void RecordingTransmission::start() {
  m_list.checkAtStart();
  m_sender->wake();
}

bool RecordingTransmission::queue(const std::string& recording) { return m_sender->queue(recording); }

void RecordingTransmission::cancel() {
  m_mailCancel.cancel();
  m_sender->cancel();
}

// On the worker: the settings are read afresh for every recording, so a
// change in the options applies to the next one.
JobResult RecordingTransmission::transmit(const std::string& recording, sys::Event& cancel) {
  std::unique_ptr<sys::SettingsStore> store = sys::openProgramSettings(kSettingsRoot);
  RecorderSettings settings(*store, {});
  std::unique_ptr<mail::PasswordVault> vault = mail::makeSystemPasswordVault();
  auto sendMail = [this](const std::string& path, sys::Event&) {
    mail::MailSettings mailSettings = mail::loadMailSettings(kSettingsRoot);
    const mail::SendOutcome outcome = mail::sendRecording(mailSettings, path, nullptr, m_mailCancel);
    return outcome.result == mail::MailResult::Sent        ? JobResult::Done
           : outcome.result == mail::MailResult::Cancelled ? JobResult::Cancelled
                                                           : JobResult::Failed;
  };
  SystemTransmitMethods methods(ftpTarget(settings, vault.get()), sendMail, cancel);
  WorkerReport report([this](const std::string& message) { reportFailure(message); });
  return transmitRecording(recording, transmitChoices(settings), methods, report);
}

void RecordingTransmission::reportFailure(const std::string& message) {
  {
    sys::LockGuard guard(m_lock);
    m_failures.push_back(message);
  }
  m_notifier->post();
}

// On the window's thread. A message box runs its own loop, in which later
// posts arrive: they join the queue that the first call is showing.
void RecordingTransmission::showFailures() {
  if (m_showing) return;
  m_showing = true;
  for (;;) {
    std::string message;
    {
      sys::LockGuard guard(m_lock);
      if (m_failures.empty()) break;
      message = std::move(m_failures.front());
      m_failures.pop_front();
    }
    ui::showMessage(m_owner, message, kFailureCaption, MB_OK | MB_ICONWARNING);
  }
  m_showing = false;
}

}  // namespace recorder
