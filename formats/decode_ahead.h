#pragma once
// A decoder run on its own thread a few pieces ahead of the reader, so that
// decoding and what the reader does with the samples (writing them to the
// block store) overlap on two cores.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "sys/threads.h"

class DecodeAhead {
 public:
  // Fills pcm with up to frames frames of 16-bit samples; 0 at the end.
  using Decode = std::function<int32_t(int16_t* pcm, int32_t frames)>;

  DecodeAhead(Decode decode, int channels, int32_t pieceFrames);
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Starts decoding ahead from where the decoder stands.
  void start();
  // Ends the thread and drops what it decoded; the decoder is the caller's
  // again (to seek it, say) until the next start.
  void stop();
  bool running() const { return m_running; }
  // Hands out up to frames decoded frames in order; 0 at the end.
  int32_t take(int16_t* pcm, int32_t frames);

 private:
  struct Piece {
    std::vector<int16_t> pcm;
    int32_t frames = 0;
    int32_t next = 0;  // frames already handed out
  };
  void run();

  Decode m_decode;
  int m_channels;
  int32_t m_pieceFrames;
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::deque<Piece> m_ready;
  bool m_stopping = false;
  bool m_ended = false;
  bool m_running = false;
  sys::Thread m_thread;
};
