#pragma once
// The recorder's passing-on of finished recordings: the send list
// "bgsend.lst" in the data folder, the worker that sends what it holds by the
// methods the settings switch on, and the failure messages, which the worker
// hands to the window's thread to show. Lives on the window's thread.

#include <windows.h>

#include <deque>
#include <memory>
#include <string>

#include "mail/cancel_token.h"
#include "recorder/transmit/recording_sender.h"
#include "recorder/transmit/send_list.h"
#include "sys/threads.h"
#include "ui/notifier_window.h"

namespace recorder {

class RecordingTransmission {
 public:
  static constexpr const char* kListName = "bgsend.lst";

  // owner: the window the failure messages belong to.
  RecordingTransmission(HWND owner, const std::string& dataFolder);
  ~RecordingTransmission();  // cancels the worker and waits for it
  RecordingTransmission(const RecordingTransmission&) = delete;
  RecordingTransmission& operator=(const RecordingTransmission&) = delete;

  // At program start: checks the kept list and sends what it holds.
  void start();
  // A recording was stopped and marked done. False when the list could not take it.
  bool queue(const std::string& recording);
  // Stops the worker at once; the recording it was sending stays listed.
  void cancel();

 private:
  JobResult transmit(const std::string& recording, sys::Event& cancel);
  void reportFailure(const std::string& message);
  void showFailures();

  HWND m_owner;
  SendList m_list;
  sys::Lock m_lock;
  std::deque<std::string> m_failures;
  bool m_showing = false;
  mail::CancelToken m_mailCancel;
  // The notifier outlives the worker that posts to it.
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<RecordingSender> m_sender;
};

}  // namespace recorder
