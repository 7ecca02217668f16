#include "effects/short_time_spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

SpectrumLayout SpectrumLayout::forRate(int32_t sampleRate) {
  const double wanted = std::max<int32_t>(sampleRate, 1) * 0.046;
  int size = 256;
  while (size < 8192 && size * 1.5 < wanted) size *= 2;
  return {size, size / 4};
}

std::vector<float> periodicHannWindow(int size) {
  std::vector<float> window(static_cast<size_t>(size));
  for (int i = 0; i < size; ++i)
    window[static_cast<size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / size));
  return window;
}

ShortTimeAnalyser::ShortTimeAnalyser(SpectrumLayout layout, int channels)
    : m_layout(layout),
      m_channels(channels),
      m_fft(layout.fftSize),
      m_window(periodicHannWindow(layout.fftSize)),
      m_history(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(layout.fftSize))),
      m_frame(static_cast<size_t>(layout.fftSize)),
      m_re(static_cast<size_t>(layout.bins())),
      m_im(static_cast<size_t>(layout.bins())) {}

void ShortTimeAnalyser::push(const Sample* samples, int32_t frames, const Visit& visit) {
  const int size = m_layout.fftSize;
  for (int32_t f = 0; f < frames;) {
    const int32_t take = std::min(frames - f, size - m_filled);
    for (int c = 0; c < m_channels; ++c) {
      float* to = m_history[static_cast<size_t>(c)].data() + m_filled;
      const Sample* from = samples + static_cast<size_t>(f) * m_channels + c;
      for (int32_t i = 0; i < take; ++i) to[i] = static_cast<float>(from[static_cast<size_t>(i) * m_channels]);
    }
    m_filled += take;
    f += take;
    if (m_filled == size) {
      analyse(visit);
      // Keep the overlap for the next frame.
      for (auto& history : m_history) std::copy(history.begin() + m_layout.hop, history.end(), history.begin());
      m_filled = size - m_layout.hop;
    }
  }
}

bool ShortTimeAnalyser::flushShort(const Visit& visit) {
  if (m_framesDone > 0 || m_filled == 0) return false;
  for (auto& history : m_history) std::fill(history.begin() + m_filled, history.end(), 0.0f);
  analyse(visit);
  return true;
}

void ShortTimeAnalyser::analyse(const Visit& visit) {
  for (int c = 0; c < m_channels; ++c) {
    const std::vector<float>& history = m_history[static_cast<size_t>(c)];
    for (size_t i = 0; i < m_frame.size(); ++i) m_frame[i] = history[i] * m_window[i];
    m_fft.forward(m_frame.data(), m_re.data(), m_im.data());
    visit(c, m_re.data(), m_im.data());
  }
  ++m_framesDone;
}

SpectralFilterSource::SpectralFilterSource(SampleSourceRef input, SpectrumLayout layout,
                                           std::unique_ptr<SpectrumModifier> modifier)
    : SampleSource(input->sampleRate(), input->channels(), input->nominalPeak()),
      m_input(std::move(input)),
      m_layout(layout),
      m_modifier(std::move(modifier)),
      m_fft(layout.fftSize),
      m_window(periodicHannWindow(layout.fftSize)),
      m_frame(static_cast<size_t>(layout.fftSize)),
      m_re(static_cast<size_t>(layout.bins())),
      m_im(static_cast<size_t>(layout.bins())) {
  setStatus(m_input->status());
  // Analysis and synthesis both use the window: the squares of the windows
  // overlapping at any sample add up to the same sum.
  double overlap = 0;
  for (int i = 0; i < layout.fftSize; i += layout.hop) overlap += double{m_window[static_cast<size_t>(i)]} * m_window[static_cast<size_t>(i)];
  m_scale = static_cast<float>(1.0 / (overlap * layout.fftSize));
  restart(m_input->position());
}

void SpectralFilterSource::restart(int64_t frame) {
  const size_t channelCount = channels();
  m_history.assign(channelCount, std::vector<float>(static_cast<size_t>(m_layout.fftSize), 0.0f));
  m_sum.assign(channelCount, std::vector<float>(static_cast<size_t>(m_layout.fftSize), 0.0f));
  m_ready.clear();
  m_readyFrom = 0;
  // The first frames begin fftSize - hop samples early, on silence; what
  // they give before the start is dropped.
  m_discard = m_layout.fftSize - m_layout.hop;
  m_position = frame;
}

void SpectralFilterSource::seek(int32_t frame) {
  m_input->seek(frame);
  restart(frame);
}

void SpectralFilterSource::processHop() {
  const int size = m_layout.fftSize, hop = m_layout.hop;
  const int channelCount = channels();
  m_hopInput.resize(static_cast<size_t>(hop) * channelCount);
  m_input->read(m_hopInput.data(), hop);
  for (int c = 0; c < channelCount; ++c) {
    std::vector<float>& history = m_history[static_cast<size_t>(c)];
    std::copy(history.begin() + hop, history.end(), history.begin());
    for (int i = 0; i < hop; ++i)
      history[static_cast<size_t>(size - hop + i)] = static_cast<float>(m_hopInput[static_cast<size_t>(i) * channelCount + c]);
    for (size_t i = 0; i < m_frame.size(); ++i) m_frame[i] = history[i] * m_window[i];
    m_fft.forward(m_frame.data(), m_re.data(), m_im.data());
    m_modifier->modify(c, m_re.data(), m_im.data());
    m_fft.inverse(m_re.data(), m_im.data(), m_frame.data());
    std::vector<float>& sum = m_sum[static_cast<size_t>(c)];
    for (size_t i = 0; i < m_frame.size(); ++i) sum[i] += m_frame[i] * m_window[i];
  }
  // The first hop samples of the sums are complete.
  const size_t start = m_ready.size();
  m_ready.resize(start + static_cast<size_t>(hop) * channelCount);
  for (int c = 0; c < channelCount; ++c) {
    std::vector<float>& sum = m_sum[static_cast<size_t>(c)];
    for (int i = 0; i < hop; ++i)
      m_ready[start + static_cast<size_t>(i) * channelCount + c] =
          clampToInt32(std::llrint(static_cast<double>(sum[static_cast<size_t>(i)]) * m_scale));
    std::copy(sum.begin() + hop, sum.end(), sum.begin());
    std::fill(sum.end() - hop, sum.end(), 0.0f);
  }
  if (m_discard > 0) {
    const int64_t drop = std::min<int64_t>(m_discard, hop);
    m_ready.erase(m_ready.begin() + static_cast<std::ptrdiff_t>(start),
                  m_ready.begin() + static_cast<std::ptrdiff_t>(start + static_cast<size_t>(drop) * channelCount));
    m_discard -= drop;
  }
}

void SpectralFilterSource::read(Sample* buffer, int32_t frames) {
  const size_t channelCount = channels();
  const size_t wanted = static_cast<size_t>(std::max(frames, 0)) * channelCount;
  while (m_ready.size() - m_readyFrom < wanted) {
    if (m_readyFrom > 0) {
      m_ready.erase(m_ready.begin(), m_ready.begin() + static_cast<std::ptrdiff_t>(m_readyFrom));
      m_readyFrom = 0;
    }
    processHop();
  }
  std::copy_n(m_ready.begin() + static_cast<std::ptrdiff_t>(m_readyFrom), wanted, buffer);
  m_readyFrom += wanted;
  m_position += frames > 0 ? frames : 0;
}
