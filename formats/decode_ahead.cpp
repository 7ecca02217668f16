#include "formats/decode_ahead.h"

#include <algorithm>

namespace {
// Pieces decoded ahead at most: enough to ride out a slow block write.
constexpr size_t kPiecesAhead = 8;
}  // namespace

DecodeAhead::DecodeAhead(Decode decode, int channels, int32_t pieceFrames)
    : m_decode(std::move(decode)), m_channels(channels), m_pieceFrames(pieceFrames) {}

DecodeAhead::~DecodeAhead() { stop(); }

void DecodeAhead::start() {
  if (m_running) return;
  m_running = true;
  if (!m_thread.start([this] { run(); }, sys::ThreadPriority::Normal)) {
    // Without a thread the pieces are decoded on demand by take().
    m_running = false;
  }
}

void DecodeAhead::stop() {
  if (m_running) {
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join(-1);
    m_running = false;
  }
  std::lock_guard<std::mutex> guard(m_lock);
  m_ready.clear();
  m_stopping = false;
  m_ended = false;
}

void DecodeAhead::run() {
  while (true) {
    Piece piece;
    piece.pcm.resize(static_cast<size_t>(m_pieceFrames) * m_channels);
    piece.frames = m_decode(piece.pcm.data(), m_pieceFrames);
    std::unique_lock<std::mutex> guard(m_lock);
    if (piece.frames <= 0) {
      m_ended = true;
      m_changed.notify_all();
      return;
    }
    m_changed.wait(guard, [this] { return m_stopping || m_ready.size() < kPiecesAhead; });
    if (m_stopping) return;
    m_ready.push_back(std::move(piece));
    m_changed.notify_all();
  }
}

int32_t DecodeAhead::take(int16_t* pcm, int32_t frames) {
  if (frames <= 0) return 0;
  if (!m_running) return m_decode(pcm, std::min(frames, m_pieceFrames));
  std::unique_lock<std::mutex> guard(m_lock);
  m_changed.wait(guard, [this] { return !m_ready.empty() || m_ended; });
  if (m_ready.empty()) return 0;
  Piece& piece = m_ready.front();
  const int32_t count = std::min(frames, piece.frames - piece.next);
  std::copy_n(piece.pcm.data() + static_cast<size_t>(piece.next) * m_channels, static_cast<size_t>(count) * m_channels,
              pcm);
  piece.next += count;
  if (piece.next == piece.frames) {
    m_ready.pop_front();
    m_changed.notify_all();
  }
  return count;
}
