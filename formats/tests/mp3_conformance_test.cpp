// The MPEG audio Layer III conformance bitstreams against their reference
// decodings, and damaged versions of one of them: the reader must decode
// what is good and never crash, hang or call garbage music.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/testkit.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kConformance = ZED_MP3_CONFORMANCE_DIR;

std::string conformanceFile(const std::string& name) { return kConformance + "/" + name; }

// Every sample of the source from frame 0, as 16-bit values, read in pieces
// of an odd size so that reads cross the decoder's frame boundaries.
std::vector<int16_t> decodeAll(SampleSource& source) {
  std::vector<int16_t> pcm;
  std::vector<Sample> piece(static_cast<size_t>(1000) * source.channels());
  source.seek(0);
  for (int32_t at = 0; at < source.length(); at += 1000) {
    source.read(piece.data(), 1000);
    const size_t frames = std::min<int32_t>(1000, source.length() - at);
    for (size_t i = 0; i < frames * source.channels(); ++i) pcm.push_back(static_cast<int16_t>(piece[i] >> 4));
  }
  return pcm;
}

SampleSourceRef openBytes(const Bytes& bytes) { return openMp3Source(std::make_unique<MemoryByteSource>(bytes)); }

double psnr(const std::vector<int16_t>& decoded, size_t from, const std::vector<int16_t>& reference) {
  double squares = 0;
  for (size_t i = 0; i < reference.size(); ++i) {
    const size_t at = from + i;
    const double difference = double(at < decoded.size() ? decoded[at] : 0) - reference[i];
    squares += difference * difference;
  }
  if (squares == 0) return 1000;
  return 10 * std::log10(32767.0 * 32767.0 / (squares / reference.size()));
}

// The decoder gives a frame of silence for each leading frame whose audio
// data would lie before the start of the stream; the reference decodings
// leave such frames out. The best match over up to two frames of them.
struct Match {
  size_t skipped = 0;  // samples of ours before the reference's first
  double psnr = 0;
};
Match bestMatch(const std::vector<int16_t>& decoded, const std::vector<int16_t>& reference, size_t frameSamples) {
  Match best;
  for (size_t skip = 0; skip <= 2 * frameSamples; skip += frameSamples) {
    const double value = psnr(decoded, skip, reference);
    if (value > best.psnr) best = {skip, value};
  }
  return best;
}

struct Stream {
  const char* name;
  int samplesPerFrame;  // per channel: 1,152 for MPEG-1, 576 for MPEG-2
};
const Stream kStreams[] = {
    {"l3-compl", 1152},           {"l3-he_32khz", 1152},         {"l3-he_44khz", 1152},
    {"l3-he_48khz", 1152},        {"l3-he_free", 1152},          {"l3-hecommon", 1152},
    {"l3-si", 1152},              {"l3-si_block", 1152},         {"l3-si_huff", 1152},
    {"l3-sin1k0db", 1152},        {"M2L3_bitrate_16_all", 576},
    {"M2L3_bitrate_22_all", 576}, {"M2L3_bitrate_24_all", 576},  {"M2L3_compl24", 576},
    {"M2L3_noise", 576},
};

bool haveConformance() { return !testkit::readAll(conformanceFile("l3-sin1k0db.bit")).empty(); }

SampleSourceRef openConformance(const std::string& name) {
  return openMp3Source(openFileBytes(conformanceFile(name + ".bit")));
}

TEST(Mp3Conformance, EveryBitstreamDecodesToItsReferenceAboveNinetySixDecibels) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams in " << kConformance;
  for (const Stream& stream : kStreams) {
    SCOPED_TRACE(stream.name);
    auto source = openConformance(stream.name);
    ASSERT_TRUE(source->good());
    const auto reference = testkit::readPcm16(conformanceFile(std::string(stream.name) + ".pcm"));
    const auto decoded = decodeAll(*source);
    const size_t frameSamples = static_cast<size_t>(stream.samplesPerFrame) * source->channels();
    const Match match = bestMatch(decoded, reference, frameSamples);
    EXPECT_GT(match.psnr, 96.0);
    // Some references also leave out a last frame cut short by the end of
    // the file, which the decoder gives with what it has.
    EXPECT_GE(decoded.size(), match.skipped + reference.size());
    EXPECT_LE(decoded.size(), match.skipped + reference.size() + frameSamples);
  }
}

TEST(Mp3Conformance, StreamsThatSwitchChannelModesOpenAsStereo) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams";
  // 128 frames, single-channel ones among stereo, joint and dual-channel
  // ones (the reference decoding keeps each frame's own channel count, so it
  // is not one sound to compare with).
  auto source = openConformance("l3-he_mode");
  ASSERT_TRUE(source->good());
  EXPECT_EQ(source->channels(), 2);
  EXPECT_EQ(source->length(), 128 * 1152);
  // Intensity stereo at the low rates: libmpg123 decodes it to every
  // sample's length but not to full accuracy (33 to 37 dB here).
  for (const char* name : {"l3-test45", "l3-test46"}) {
    SCOPED_TRACE(name);
    auto intensity = openConformance(name);
    ASSERT_TRUE(intensity->good());
    const auto reference = testkit::readPcm16(conformanceFile(std::string(name) + ".pcm"));
    const auto decoded = decodeAll(*intensity);
    EXPECT_EQ(decoded.size(), reference.size());
    EXPECT_GT(psnr(decoded, 0, reference), 30.0);
  }
}

TEST(Mp3Conformance, AReadAfterASeekGivesTheSamplesOfAStraightRead) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams";
  auto source = openConformance("l3-sin1k0db");
  ASSERT_TRUE(source->good());
  const auto straight = decodeAll(*source);
  const int channels = source->channels();
  // Backwards, forwards, inside a frame, on a frame boundary, at the end.
  for (int32_t target : {source->length() - 500, 633, 1152 * 40, 0, 1152 * 40 + 1, 200000, source->length() - 1}) {
    SCOPED_TRACE(target);
    source->seek(target);
    const int32_t frames = std::min(source->length() - target, 3000);
    std::vector<Sample> piece(static_cast<size_t>(frames) * channels);
    source->read(piece.data(), frames);
    bool same = true;
    for (size_t i = 0; i < piece.size(); ++i)
      same = same && (piece[i] >> 4) == straight[static_cast<size_t>(target) * channels + i];
    EXPECT_TRUE(same);
  }
}

Bytes sineStream() { return testkit::readAll(conformanceFile("l3-sin1k0db.bit")); }

TEST(Mp3DamagedFiles, WhatIsNotMpegAudioIsRefusedAsCorrupt) {
  Bytes id3Only = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
  id3Only.resize(id3Only.size() + 20, 0);
  Bytes wave;
  testkit::putText(wave, "RIFF");
  testkit::putLe32(wave, 36 + 8000);
  testkit::putText(wave, "WAVEfmt ");
  for (uint32_t v : {16u, 0x10001u, 44100u, 88200u, 0x100002u}) testkit::putLe32(wave, v);
  testkit::putText(wave, "data");
  testkit::putLe32(wave, 8000);
  // PCM full of values that look like frame syncs to a decoder that hunts.
  for (int i = 0; i < 4000; ++i) testkit::putLe16(wave, i % 3 ? 0xFBFF : 0x9044);
  std::mt19937 random(5);
  Bytes noise(20000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  const std::pair<const char*, Bytes> cases[] = {
      {"zero bytes", {}},
      {"only an ID3v2 tag", id3Only},
      {"a PCM WAVE file", wave},
      {"a text", Bytes(2000, 'x')},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    auto source = openBytes(bytes);
    EXPECT_EQ(source->status(), SourceStatus::Corrupt);
    Sample sample[2] = {1, 1};
    source->read(sample, 1);
    EXPECT_EQ(sample[0], 0);
  }
  EXPECT_EQ(openMp3Source(nullptr)->status(), SourceStatus::CannotOpen);
}

TEST(Mp3DamagedFiles, DamageKeepsTheGoodAudioAroundIt) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams";
  const Bytes whole = sineStream();
  auto original = openBytes(whole);
  ASSERT_TRUE(original->good());
  const auto clean = decodeAll(*original);
  const size_t middle = whole.size() / 2 + 77;  // inside a frame

  Bytes cut(whole.begin(), whole.begin() + middle);
  Bytes garbage = whole;
  std::mt19937 random(11);
  for (size_t i = middle; i < middle + 3000; ++i) garbage[i] = static_cast<uint8_t>(random());
  Bytes tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0};  // 128 bytes of tag body
  tagged.resize(tagged.size() + 128, 0);
  tagged.insert(tagged.end(), whole.begin(), whole.end());

  struct Case {
    const char* what;
    Bytes bytes;
    double keptAtLeast;  // share of the clean samples that must come out unchanged from the start
  };
  const Case cases[] = {
      {"cut inside a frame", cut, 0.45},
      {"garbage in the middle", garbage, 0.45},
      {"a leading ID3v2 tag", tagged, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto source = openBytes(c.bytes);
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->sampleRate(), original->sampleRate());
    EXPECT_LE(source->length(), original->length());
    const auto decoded = decodeAll(*source);
    size_t same = 0;
    while (same < decoded.size() && same < clean.size() && decoded[same] == clean[same]) ++same;
    EXPECT_GE(same, static_cast<size_t>(c.keptAtLeast * clean.size()));
  }
  // After the garbage the decoder finds the frames again: more than half of
  // the stream remains.
  auto resynced = openBytes(garbage);
  EXPECT_GT(resynced->length(), original->length() * 8 / 10);
}

TEST(Mp3DamagedFiles, DamageIsOwnedUpToOnceReadAndOnlyWhereThereIsSome) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams";
  // A stream of whole frames; the suite's l3-compl ends inside a frame.
  const Bytes whole = testkit::readAll(conformanceFile("l3-he_44khz.bit"));
  const size_t middle = whole.size() / 2 + 77;
  Bytes garbage = whole;
  std::mt19937 random(13);
  for (size_t i = middle; i < middle + 700; ++i) garbage[i] = static_cast<uint8_t>(random());
  Bytes tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 1, 0};
  tagged.resize(tagged.size() + 128, 0);
  tagged.insert(tagged.end(), whole.begin(), whole.end());
  testkit::putText(tagged, "TAG");  // and an ID3v1 tag at the end
  tagged.resize(tagged.size() + 125, ' ');
  const struct {
    const char* what;
    Bytes bytes;
    bool damaged;
  } cases[] = {
      {"whole frames", whole, false},
      {"ID3 tags before and after", tagged, false},
      {"cut inside a frame", Bytes(whole.begin(), whole.begin() + static_cast<long>(middle)), true},
      {"garbage in the middle", garbage, true},
      {"a conformance stream cut off", testkit::readAll(conformanceFile("l3-compl.bit")), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto source = openBytes(c.bytes);
    ASSERT_TRUE(source->good());
    EXPECT_EQ(source->damage(), SourceStatus::Good);  // nothing is known before decoding
    decodeAll(*source);
    EXPECT_EQ(source->damage(), c.damaged ? SourceStatus::Corrupt : SourceStatus::Good);
  }
}

TEST(Mp3DamagedFiles, RandomDamageNeverBreaksTheReader) {
  if (!haveConformance()) GTEST_SKIP() << "no conformance bitstreams";
  const Bytes whole = sineStream();
  std::mt19937 random(23);
  for (int round = 0; round < 40; ++round) {
    Bytes damaged = whole;
    for (int hits = 0; hits < 20; ++hits) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
    damaged.resize(random() % damaged.size());
    auto source = openBytes(damaged);
    if (!source->good()) continue;
    // Every frame it promises can be read; the length never exceeds what
    // the bytes could hold (1,152 samples from at least 24 bytes each).
    EXPECT_LE(source->length(), static_cast<int64_t>(damaged.size()) / 24 * 1152 + 1152);
    decodeAll(*source);
  }
}

}  // namespace
