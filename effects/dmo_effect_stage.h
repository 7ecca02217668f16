#pragma once
// A media object (an effect of the system's DirectX Media Objects) as one
// stage of the effect chain. The object itself is reached through
// MediaObjectPort, which the Windows layer implements over IMediaObject;
// the stage owns the blocks of 16-bit PCM, the order of the calls and what
// the object hands back in pieces of other sizes than it was given.

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/sample_source.h"

class MediaObjectPort {
 public:
  virtual ~MediaObjectPort() = default;
  // Sets input type 0 and then output type 0 to 16-bit PCM of this rate and
  // channel count; false when the object refuses either.
  virtual bool setPcmType(int32_t sampleRate, int channels) = 0;
  // Whether the object processes a buffer where it lies.
  virtual bool processesInPlace() const = 0;
  virtual bool processInPlace(uint8_t* data, uint32_t bytes) = 0;

  enum class InputResult { Accepted, NoOutput, Failed };
  // Hands bytes to input stream 0 as a sync point without time stamps.
  // NoOutput: the object took them and has nothing to give yet.
  virtual InputResult processInput(const uint8_t* data, uint32_t bytes) = 0;
  // Fills at most capacity bytes of output stream 0; produced is how many
  // it wrote and more whether it has further output waiting. False on failure.
  virtual bool processOutput(uint8_t* data, uint32_t capacity, uint32_t& produced, bool& more) = 0;
  virtual void discontinuity() = 0;
};

class DmoEffectStage final : public SampleSource {
 public:
  static constexpr int32_t kBlockFrames = 8192;

  // Sets the object's PCM types; a stage whose object refuses them (or a
  // missing object) is not good, so that applying it fails.
  DmoEffectStage(SampleSourceRef source, std::shared_ptr<MediaObjectPort> object);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return m_source->position(); }
  int32_t length() const override { return m_source->length(); }
  void seek(int32_t frame) override;

 private:
  void processBlock(Sample* buffer, int32_t frames);
  bool runThroughStreams(int32_t frames);

  SampleSourceRef m_source;
  std::shared_ptr<MediaObjectPort> m_object;
  std::vector<Sample> m_staging;
  std::vector<int16_t> m_input;   // one block of 16-bit PCM
  std::vector<int16_t> m_output;  // what one output call may give
  // Output the object made beyond what the reads so far asked for; it is
  // handed out first on the next read.
  std::deque<int16_t> m_carried;
};
