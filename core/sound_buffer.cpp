#include "core/sound_buffer.h"

#include <algorithm>
#include <utility>

int32_t SoundBuffer::totalFrames() const {
  int64_t total = 0;
  for (const auto& span : m_spans) total += span.length();
  return clampToInt32(total);
}

size_t SoundBuffer::splitAt(int64_t frame) {
  int64_t spanStart = 0;
  for (size_t i = 0; i < m_spans.size(); ++i) {
    if (frame <= spanStart) return i;
    int64_t spanEnd = spanStart + m_spans[i].length();
    if (frame < spanEnd) {
      auto head = static_cast<int32_t>(frame - spanStart);
      BlockSpan tail = m_spans[i];
      tail.trimHead(head);
      m_spans[i].setLength(head);
      m_spans.insert(m_spans.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    spanStart = spanEnd;
  }
  return m_spans.size();
}

void SoundBuffer::insertSpans(size_t index, const std::vector<BlockSpan>& spans) {
  m_spans.insert(m_spans.begin() + static_cast<std::ptrdiff_t>(index), spans.begin(), spans.end());
}

void SoundBuffer::deleteRange(int32_t start, int32_t end) {
  if (start > end || end < 0) return;
  int64_t first = std::max(start, 0);
  int64_t last = std::min(end, totalFrames());
  if (first >= last) return;
  size_t from = splitAt(first);
  size_t to = splitAt(last);
  m_spans.erase(m_spans.begin() + static_cast<std::ptrdiff_t>(from),
                m_spans.begin() + static_cast<std::ptrdiff_t>(to));
}

bool SoundBuffer::insertBuffer(int32_t pos, const SoundBuffer& other) {
  int64_t total = totalFrames();
  int64_t inserted = other.totalFrames();
  int64_t padding = pos < 0 ? -static_cast<int64_t>(pos) : std::max<int64_t>(0, pos - total);
  if (total + inserted + padding > kMaxFrames) return false;
  std::vector<BlockSpan> copies = other.m_spans;  // other may be this buffer
  if (pos < 0) {
    copies.push_back(BlockSpan::silence(static_cast<int32_t>(padding)));
    insertSpans(0, copies);
  } else if (pos >= total) {
    if (padding > 0) m_spans.push_back(BlockSpan::silence(static_cast<int32_t>(padding)));
    insertSpans(m_spans.size(), copies);
  } else {
    insertSpans(splitAt(pos), copies);
  }
  return true;
}

bool SoundBuffer::insertSilence(int32_t pos, int32_t frames) {
  int64_t count = frames;
  int64_t at = pos;
  if (at < 0) {
    count += at;  // the part before frame 0 is dropped
    at = 0;
  }
  if (count <= 0) return true;
  int64_t total = totalFrames();
  if (std::max(total, at) + count > kMaxFrames) return false;
  if (at >= total) {
    m_spans.push_back(BlockSpan::silence(static_cast<int32_t>(at + count - total)));
  } else {
    size_t index = splitAt(at);
    m_spans.insert(m_spans.begin() + static_cast<std::ptrdiff_t>(index),
                   BlockSpan::silence(static_cast<int32_t>(count)));
  }
  return true;
}

bool SoundBuffer::extractRange(const SoundBuffer& source, int32_t start, int32_t end) {
  if (start > end) return true;
  int64_t wanted = static_cast<int64_t>(end) - start;
  if (wanted > kMaxFrames) return false;
  SoundBuffer result = source;
  if (start > 0) {
    result.deleteRange(0, start);
  } else if (start < 0) {
    result.m_spans.insert(result.m_spans.begin(), BlockSpan::silence(-start));
  }
  int64_t have = result.totalFrames();
  if (have > wanted)
    result.deleteRange(static_cast<int32_t>(wanted), static_cast<int32_t>(have));
  else if (have < wanted)
    result.m_spans.push_back(BlockSpan::silence(static_cast<int32_t>(wanted - have)));
  *this = std::move(result);
  return true;
}

bool SoundBuffer::cutRange(SoundBuffer& destination, int32_t start, int32_t end) {
  if (!destination.extractRange(*this, start, end)) return false;
  deleteRange(start, end);
  return true;
}

bool SoundBuffer::replaceRange(int32_t start, int32_t end, const SoundBuffer& other) {
  SoundBuffer result = *this;
  result.deleteRange(start, end);
  if (!result.insertBuffer(start, other)) return false;
  m_spans = std::move(result.m_spans);
  return true;
}

void SoundBuffer::cropToRange(int32_t start, int32_t end) {
  if (start > 0) deleteRange(0, start);
  int32_t keep = static_cast<int32_t>(std::max<int64_t>(0, static_cast<int64_t>(end) - std::max(start, 0)));
  deleteRange(keep, totalFrames());
}

void SoundBuffer::deleteHead(int32_t frames) {
  if (frames > 0) deleteRange(0, frames);
}

void SoundBuffer::truncateAt(int32_t frame) { deleteRange(frame, totalFrames()); }

bool SoundBuffer::repeatRange(int32_t start, int32_t end, int32_t times) {
  if (times <= 0 || start > end) return true;
  SoundBuffer piece;
  if (!piece.extractRange(*this, start, end)) return false;
  int64_t added = static_cast<int64_t>(piece.totalFrames()) * times;
  if (totalFrames() + added > kMaxFrames) return false;
  std::vector<BlockSpan> copies;
  copies.reserve(piece.m_spans.size() * static_cast<size_t>(times));
  for (int32_t i = 0; i < times; ++i)
    copies.insert(copies.end(), piece.m_spans.begin(), piece.m_spans.end());
  piece.m_spans = std::move(copies);
  return insertBuffer(start, piece);
}

namespace {

// percent / 100 of a gain, computed wide so that 50 % is exactly half, and
// saturated instead of wrapped.
int32_t scaledGain(int32_t gain, int32_t percent) {
  return clampToInt32(static_cast<int64_t>(gain) * percent / 100);
}

}  // namespace

void SoundBuffer::scaleGain(int32_t percent) {
  if (percent == 100) return;
  for (auto& span : m_spans) span.setGain(scaledGain(span.gain(), percent));
}

void SoundBuffer::scaleRange(int32_t start, int32_t end, int32_t percent) {
  if (start > end || percent == 100) return;
  // The range is clamped to the sound: scaling never changes the length.
  int64_t first = std::max(start, 0);
  int64_t last = std::min(end, totalFrames());
  if (first >= last) return;
  size_t from = splitAt(first);
  size_t to = splitAt(last);
  for (size_t i = from; i < to; ++i) m_spans[i].setGain(scaledGain(m_spans[i].gain(), percent));
}

void SoundBuffer::setContent(BlockSpan span, int32_t sampleRate, int channels) {
  m_spans.clear();
  if (span.length() > 0) m_spans.push_back(std::move(span));
  setFormat(sampleRate, channels);
}
