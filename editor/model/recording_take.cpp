#include "editor/model/recording_take.h"

namespace {

// Frames of one piece: two seconds, at least 8,192 frames.
int32_t pieceFramesFor(int32_t sampleRate) { return std::max(sampleRate * 2, 8192); }

// Writes pieces through block writers and adds each finished one to the
// take's sound; marks the take committed at the end.
class TakeSink final : public SampleSink {
 public:
  TakeSink(std::shared_ptr<RecordingTake::State> state, int32_t sampleRate, int channels)
      : SampleSink(sampleRate, channels), m_state(std::move(state)), m_pieceFrames(pieceFramesFor(sampleRate)) {
    openPiece();
  }
  ~TakeSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    while (frames > 0 && good()) {
      const int32_t room = m_pieceFrames - m_writer->position();
      const int32_t now = std::min(frames, room);
      m_writer->write(buffer, now);
      if (!m_writer->good()) fail();
      buffer += static_cast<int64_t>(now) * channels();
      frames -= now;
      if (m_writer->position() >= m_pieceFrames) finishPiece();
    }
    setPosition(m_pieceStart + (m_writer ? m_writer->position() : 0));
  }

  void seek(int32_t frame) override {
    if (frame < 0) frame = 0;
    if (!good()) return;
    if (frame >= m_pieceStart) {
      m_writer->seek(frame - m_pieceStart);
    } else {
      // Back into finished pieces: they end at the frame, the piece being
      // written goes, and writing goes on from there.
      discardPiece();
      {
        std::lock_guard hold(m_state->lock);
        m_state->sound.truncateAt(frame);
      }
      m_pieceStart = frame;
      openPiece();
    }
    setPosition(frame);
  }

 protected:
  void commit() override {
    if (m_writer) finishPiece(false);
    std::lock_guard hold(m_state->lock);
    m_state->failed = !good();
    m_state->committed = true;
  }

 private:
  void openPiece() {
    m_piece = SoundBuffer(sampleRate(), channels());
    m_writer = m_piece.openWriter(sampleRate(), channels());
    if (!m_writer->good()) fail();
  }
  // Closes the piece's writer and adds its frames to the take.
  void finishPiece(bool openNext = true) {
    const int32_t frames = m_writer->position();
    if (m_writer->close() != SourceStatus::Good) fail();
    m_writer.reset();
    if (good() && frames > 0) {
      std::lock_guard hold(m_state->lock);
      if (!m_state->sound.insertBuffer(m_state->sound.totalFrames(), m_piece)) fail();
    }
    m_pieceStart += frames;
    m_piece.clear();
    if (openNext) openPiece();
  }
  void discardPiece() {
    m_writer->close();
    m_writer.reset();
    m_piece.clear();
  }

  std::shared_ptr<RecordingTake::State> m_state;
  const int32_t m_pieceFrames;
  int32_t m_pieceStart = 0;  // of the piece being written, in the take
  // The piece's writer fills m_piece, which must outlive it.
  SoundBuffer m_piece;
  SampleSinkRef m_writer;
};

}  // namespace

RecordingTake::RecordingTake(int32_t sampleRate, int channels) : m_state(std::make_shared<State>()) {
  m_state->sound.setFormat(sampleRate, channels);
  m_sink = makeRef<TakeSink>(m_state, sampleRate, channels);
}

bool RecordingTake::committed() const {
  std::lock_guard hold(m_state->lock);
  return m_state->committed;
}

bool RecordingTake::failed() const {
  std::lock_guard hold(m_state->lock);
  return m_state->failed;
}

const SoundBuffer& RecordingTake::sound() const { return m_state->sound; }

SoundBuffer RecordingTake::soundSoFar() const {
  std::lock_guard hold(m_state->lock);
  return m_state->sound;
}
