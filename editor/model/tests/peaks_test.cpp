#include "editor/model/peaks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "core/block_store.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"

namespace {

constexpr int32_t R = kFramesPerPeakRecord;
constexpr int32_t kStep = 2048;  // one peak byte in sample units
constexpr uint8_t kUntouched = 0xEE;
using Columns = std::vector<std::pair<int, int>>;

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

SoundBuffer bufferFrom(const std::vector<Sample>& samples, int channels) {
  SoundBuffer buffer;
  auto writer = buffer.openWriter(44100, channels);
  writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  EXPECT_EQ(writer->close(), SourceStatus::Good);
  return buffer;
}

// Frames in memory, silence outside them; notes its reads.
struct MemorySource final : SampleSource {
  MemorySource(std::vector<Sample> s, int channels) : SampleSource(44100, channels, 1 << 21), samples(std::move(s)) {}
  void read(Sample* out, int32_t frames) override {
    for (int64_t i = 0, at = int64_t{at0} * channels(); i < int64_t{frames} * channels(); ++i, ++at)
      out[i] = at >= 0 && at < static_cast<int64_t>(samples.size()) ? samples[at] : 0;
    at0 += frames;
    largestRead = std::max(largestRead, frames);
    if (afterRead) afterRead(++reads);
  }
  int32_t position() const override { return at0; }
  int32_t length() const override { return static_cast<int32_t>(samples.size() / channels()); }
  void seek(int32_t frame) override { at0 = frame; }
  std::vector<Sample> samples;
  int32_t at0 = 0, largestRead = 0, reads = 0;
  std::function<void(int)> afterRead;
};

struct Picture {
  std::vector<uint8_t> upper = std::vector<uint8_t>(kMaxPeakColumns, kUntouched);
  std::vector<uint8_t> lower = std::vector<uint8_t>(kMaxPeakColumns, kUntouched);
  Columns columns(int begin, int end) const {
    Columns out;
    for (int x = begin; x < end; ++x) out.emplace_back(upper[x], lower[x]);
    return out;
  }
};

PeakRequest request(int64_t first, double scale, int begin, int end, int mode = 0, bool zoom = false) {
  return PeakRequest{first, scale, begin, end, mode, zoom, 1};
}
Picture fromSamples(SampleSource& source, const PeakRequest& r, const std::atomic<bool>& stop = false) {
  Picture p;
  computeSamplePeaks(source, r, p.upper.data(), p.lower.data(), stop);
  return p;
}
Picture fromSamples(const SoundBuffer& buffer, const PeakRequest& r) { return fromSamples(*buffer.openReader(), r); }
Picture fromOverview(const SoundBuffer& buffer, const PeakRequest& r, OverviewReadStats* stats = nullptr,
                     const std::atomic<bool>& stop = false) {
  Picture p;
  computeOverviewPeaks(buffer, r, p.upper.data(), p.lower.data(), stop, stats);
  return p;
}

std::vector<Sample> sparse(int32_t samples, std::initializer_list<std::pair<int32_t, Sample>> set) {
  std::vector<Sample> out(samples, 0);
  for (auto [at, value] : set) out[at] = value;
  return out;
}

TEST(Peaks, BothPathsAroundTheBoundaryWithVerticalZoom) {
  EXPECT_FALSE(usesOverview(256));
  EXPECT_TRUE(usesOverview(256.5));
  // Full scale and the most negative sample saturate; 1/8 of full scale fills a zoomed column.
  std::vector<Sample> s = sparse(2048, {{10, 2 * kStep}, {20, -3 * kStep - 1}, {300, kSampleFullScale}, {310, INT32_MIN},
                                        {700, 16 * kStep}, {701, -4 * kStep}, {1030, kSampleFullScale / 8}});
  MemorySource source(s, 1);
  SoundBuffer buffer = bufferFrom(s, 1);
  EXPECT_EQ(fromSamples(source, request(0, 256, 0, 6)).columns(0, 6),
            (Columns{{2, 3}, {255, 255}, {16, 4}, {0, 0}, {32, 0}, {0, 0}}));
  EXPECT_EQ(fromSamples(source, request(0, 256, 2, 6, 0, true)).columns(1, 6),
            (Columns{{kUntouched, kUntouched}, {128, 32}, {0, 0}, {255, 0}, {0, 0}}));
  EXPECT_EQ(fromOverview(buffer, request(0, 512, 0, 4)).columns(0, 4), (Columns{{255, 255}, {16, 4}, {32, 0}, {0, 0}}));
  EXPECT_EQ(fromOverview(buffer, request(0, 512, 1, 3, 0, true)).columns(0, 4),
            (Columns{{kUntouched, kUntouched}, {128, 32}, {255, 0}, {kUntouched, kUntouched}}));
}

TEST(Peaks, MonoIsPlusMinusInEveryModeAndStereoSplitsInLeftRight) {
  std::vector<Sample> mono = sparse(1024, {{1, 3 * kStep}, {2, -9 * kStep}, {700, -2 * kStep}});
  std::vector<Sample> stereo = sparse(2048, {{20, 2 * kStep}, {22, -4 * kStep}, {25, 6 * kStep}, {27, -kStep},
                                             {1201, -5 * kStep}});  // left +2/-4, right +6/-1; right -5 later
  for (auto [samples, channels] : {std::pair{mono, 1}, {stereo, 2}}) {
    MemorySource source(samples, channels);
    SoundBuffer buffer = bufferFrom(samples, channels);
    for (int mode : {0, 1, 2}) {
      Columns expected = channels == 1 ? Columns{{3, 9}, {0, 2}}
                         : mode == 0   ? Columns{{6, 4}, {0, 5}}   // both channels together
                                       : Columns{{4, 6}, {0, 5}};  // |left| above, |right| below
      EXPECT_EQ(fromSamples(source, request(0, 512, 0, 2, mode)).columns(0, 2), expected) << channels << mode;
      EXPECT_EQ(fromOverview(buffer, request(0, 512, 0, 2, mode)).columns(0, 2), expected) << channels << mode;
    }
  }
}

TEST(Peaks, SpanGainsAndSilenceScaleBothPaths) {
  std::vector<Sample> s(5 * 1024);
  for (size_t f = 0; f < s.size(); ++f) s[f] = f % 2 ? 128 * kStep : -64 * kStep;
  SoundBuffer buffer = bufferFrom(s, 1);
  buffer.scaleRange(1024, 2048, 50);
  buffer.scaleRange(2048, 3072, 0);
  buffer.scaleRange(4096, 5120, -100);  // upside down
  ASSERT_TRUE(buffer.insertSilence(3072, 1024));
  const Columns expected{{128, 64}, {64, 32}, {0, 0}, {0, 0}, {128, 64}, {64, 128}, {0, 0}};
  EXPECT_EQ(fromOverview(buffer, request(0, 1024, 0, 7)).columns(0, 7), expected);
  EXPECT_EQ(fromSamples(buffer, request(0, 1024, 0, 7)).columns(0, 7), expected);
}

TEST(Peaks, OverviewAgreesWithSamplesOnAnEditedStereoSound) {
  auto sound = [](int32_t frames, uint32_t seed) {
    std::vector<Sample> s(static_cast<size_t>(frames) * 2);
    for (int32_t f = 0; f < frames; ++f) {
      seed = seed * 1664525u + 1013904223u;
      double wave = 0.85 * std::sin(f * 0.031) * (0.5 + 0.5 * std::sin(f / 3000.0)) + 0.1 * (seed >> 8) / double(1 << 24);
      s[2 * f] = static_cast<Sample>(wave * kSampleFullScale);
      s[2 * f + 1] = static_cast<Sample>(-0.7 * wave * kSampleFullScale);
    }
    return s;
  };
  SoundBuffer edited = bufferFrom(sound(200 * R, 1), 2);
  ASSERT_TRUE(edited.insertBuffer(30 * R, bufferFrom(sound(20 * R, 7), 2)));
  edited.deleteRange(5 * R, 9 * R);
  edited.scaleRange(50 * R, 70 * R, 50);
  edited.scaleRange(90 * R, 95 * R, 75);
  ASSERT_TRUE(edited.insertSilence(80 * R, 3 * R));
  ASSERT_TRUE(edited.repeatRange(10 * R, 14 * R, 2));
  ASSERT_GE(edited.spans().size(), 8u);
  for (int k : {1, 3, 7}) {
    for (int mode : {0, 1}) {
      for (bool zoom : {false, true}) {
        PeakRequest r = request(3 * R, double(k) * R, 0, 230 / k + 2, mode, zoom);
        Picture exact = fromSamples(edited, r), coarse = fromOverview(edited, r);
        for (int x = r.columnBegin; x < r.columnEnd; ++x) {  // within one overview step
          EXPECT_NEAR(coarse.upper[x], exact.upper[x], zoom ? 8 : 1) << k << mode << zoom << " " << x;
          EXPECT_NEAR(coarse.lower[x], exact.lower[x], zoom ? 8 : 1) << k << mode << zoom << " " << x;
        }
      }
    }
  }
}

TEST(Peaks, WideColumnsAreReadInPiecesAndTheOverviewOnlyForVisibleRecords) {
  MemorySource source(sparse(40000, {{15000, 9 * kStep}, {39999, -3 * kStep}}), 1);
  EXPECT_EQ(fromSamples(source, request(0, 20000, 0, 2)).columns(0, 2), (Columns{{9, 0}, {0, 3}}));
  EXPECT_LE(source.largestRead, kPeakReadFrames);
  // Stereo columns of 600 records: more than one piece each.
  SoundBuffer stereo = bufferFrom(sparse(2 * 1200 * R, {{2 * 400 * R, 11 * kStep}, {2 * 1200 * R - 1, -12 * kStep}}), 2);
  EXPECT_EQ(fromOverview(stereo, request(0, 600.0 * R, 0, 2, 1)).columns(0, 2), (Columns{{11, 0}, {0, 12}}));

  std::vector<Sample> s(4096 * R);
  for (size_t f = 0; f < s.size(); ++f) s[f] = static_cast<Sample>(f / R % 50 * kStep);
  SoundBuffer buffer = bufferFrom(s, 1);
  PeakRequest r = request(1000 * R, 4.0 * R, 0, 512);  // records 1000..3047
  OverviewReadStats stats;
  Picture before = fromOverview(buffer, r, &stats);
  EXPECT_EQ(stats.bytesRead, 512 * 4 * 2);
  EXPECT_EQ(before.columns(0, 2), (Columns{{3, 0}, {7, 0}}));
  ASSERT_TRUE(sys::deleteFile(blockSamplePath(buffer.spans()[0].block())));
  EXPECT_EQ(fromSamples(buffer, r).upper[1], 0);  // the samples are gone indeed
  EXPECT_EQ(fromOverview(buffer, r).columns(0, 512), before.columns(0, 512));
}

TEST(Peaks, ShortOrMissingOverviewFilesDrawNothingThere) {
  SoundBuffer buffer = bufferFrom(std::vector<Sample>(8 * R, 100 * kStep), 1);
  std::string peaks = blockPeakPath(buffer.spans()[0].block());
  {
    sys::File file = sys::File::open(peaks, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::OpenExisting);
    ASSERT_TRUE(file.isOpen() && file.seek(2 * 3 + 1) && file.truncateHere());  // three records and a half
  }
  EXPECT_EQ(fromOverview(buffer, request(0, 512, 0, 4)).columns(0, 4), (Columns{{100, 0}, {100, 0}, {0, 0}, {0, 0}}));
  ASSERT_TRUE(sys::deleteFile(peaks));
  EXPECT_EQ(fromOverview(buffer, request(0, 512, 0, 4)).columns(0, 4), (Columns(4, {0, 0})));
}

TEST(Peaks, StopFlagEndsTheDrawing) {
  std::vector<Sample> s(64 * R, 50 * kStep);
  MemorySource source(s, 1);
  std::atomic<bool> stop{false};
  source.afterRead = [&](int reads) { stop = reads == 3; };
  EXPECT_EQ(fromSamples(source, request(0, 256, 0, 64), stop).columns(0, 4),
            (Columns{{50, 0}, {50, 0}, {50, 0}, {kUntouched, kUntouched}}));
  EXPECT_EQ(source.reads, 3);

  OverviewReadStats stats;
  Picture far = fromOverview(bufferFrom(s, 1), request(0, 512, 0, 32), &stats, stop);
  EXPECT_LE(stats.bytesRead, 2 * 511);
  EXPECT_LE(32 - std::count(far.upper.begin(), far.upper.begin() + 32, 0), 1);
}

}  // namespace
