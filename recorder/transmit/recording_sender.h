#pragma once
// The worker that passes the finished recordings on, one at a time, in the
// order they finished: it runs while the send list holds any, and a
// recording leaves the list once its transmission was tried, whatever the
// result, unless it was cancelled.

#include <functional>
#include <string>

#include "core/source_status.h"
#include "recorder/transmit/send_list.h"
#include "sys/threads.h"

namespace recorder {

class RecordingSender {
 public:
  // transmit passes one recording on; it watches cancel in every wait.
  using Transmit = std::function<JobResult(const std::string& recording, sys::Event& cancel)>;

  RecordingSender(SendList& list, Transmit transmit);
  ~RecordingSender();  // cancels and waits for the worker
  RecordingSender(const RecordingSender&) = delete;
  RecordingSender& operator=(const RecordingSender&) = delete;

  // Adds a finished recording to the list and wakes the worker. False when
  // the list could not take it.
  bool queue(const std::string& recording);
  // Starts the worker for what the list holds (at program start).
  void wake();
  // Stops the worker at once; the recording it was sending stays listed.
  void cancel();
  bool busy() const;
  // Waits up to timeoutMs for the worker to empty the list.
  bool waitIdle(int timeoutMs);

 private:
  void run();

  SendList& m_list;
  Transmit m_transmit;
  sys::Event m_cancel{true, false};
  mutable sys::Lock m_lock;
  bool m_running = false;
  bool m_cancelled = false;
  sys::Thread m_thread;
};

}  // namespace recorder
