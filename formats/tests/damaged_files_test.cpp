// Damaged and hostile files through every reader: each must give a clear
// status, never crash or hang, and never allocate more than a file of that
// size could need (a header claiming gigabytes allocates nothing of the sort).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "testkit/file_images.h"
#include "testkit/testkit.h"

namespace {

// The largest single allocation made while a watch is running.
std::atomic<bool> allocationWatched{false};
std::atomic<size_t> largestAllocation{0};

}  // namespace

// Counts allocations for the watch; otherwise the ordinary allocator.
void* operator new(std::size_t bytes) {
  if (allocationWatched.load(std::memory_order_relaxed)) {
    size_t seen = largestAllocation.load(std::memory_order_relaxed);
    while (bytes > seen && !largestAllocation.compare_exchange_weak(seen, bytes)) {
    }
  }
  if (void* memory = std::malloc(bytes ? bytes : 1)) return memory;
  throw std::bad_alloc();
}
// Kept out of line: inlined, the compiler would see free() meet a pointer
// from operator new and warn about a mismatch that is not one.
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using testkit::AiffImage;
using testkit::AuImage;
using testkit::bigEndianChunk;
using testkit::littleEndianChunk;
using testkit::patternBytes;
using testkit::putLe32;
using testkit::putText;
using testkit::WaveImage;
using Bytes = std::vector<uint8_t>;
using Reader = std::function<SampleSourceRef(std::unique_ptr<ByteSource>)>;

// No damaged file here is more than a few kilobytes; the readers' fixed
// working buffers for one or two channels stay far below this.
constexpr size_t kAllocationAllowance = 256 << 10;

class AllocationWatch {
 public:
  AllocationWatch() {
    largestAllocation = 0;
    allocationWatched = true;
  }
  ~AllocationWatch() { allocationWatched = false; }
  size_t largest() const { return largestAllocation; }
};

struct Outcome {
  SourceStatus status = SourceStatus::Good;
  int32_t length = 0;
  size_t largestAllocation = 0;
};

// Opens the image, reads all of it in chunks, then reads across the end and
// from the frame limit; every read must give silence outside the sound.
Outcome openAndRead(const Reader& reader, const Bytes& image) {
  std::vector<Sample> chunk(32768);
  Outcome outcome;
  AllocationWatch watch;
  {
    SampleSourceRef source = reader(std::make_unique<MemoryByteSource>(image));
    outcome.status = source->status();
    outcome.length = source->length();
    const int32_t chunkFrames = static_cast<int32_t>(chunk.size()) / source->channels();
    for (int32_t at = 0; at < outcome.length; at += chunkFrames) source->read(chunk.data(), chunkFrames);
    for (int32_t start : {outcome.length, INT32_MAX - 10}) {
      const size_t samples = 100u * source->channels();
      source->seek(start);
      std::fill_n(chunk.begin(), samples, 1);
      source->read(chunk.data(), 100);
      EXPECT_TRUE(std::all_of(chunk.begin(), chunk.begin() + samples, [](Sample s) { return s == 0; }))
          << "samples past the end, from frame " << start;
    }
  }
  outcome.largestAllocation = watch.largest();
  return outcome;
}

struct DamagedCase {
  std::string what;
  Bytes image;
  SourceStatus status;
  int32_t length;  // frames, for a good source
};

void expectOutcomes(const Reader& reader, const std::vector<DamagedCase>& cases) {
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = openAndRead(reader, c.image);
    EXPECT_EQ(outcome.status, c.status);
    // A failed source is empty.
    EXPECT_EQ(outcome.length, c.status == SourceStatus::Good ? c.length : 0);
    EXPECT_LE(outcome.largestAllocation, kAllocationAllowance);
  }
}

// ---- WAVE ----

Reader waveReader() { return [](std::unique_ptr<ByteSource> bytes) { return openWaveSource(std::move(bytes)); }; }

TEST(DamagedFiles, WaveHeadersGiveClearStatusesAndSizesAreKeptToTheFile) {
  const auto wave = [](auto change) {
    WaveImage image;
    change(image);
    return image.build();
  };
  const SourceStatus corrupt = SourceStatus::Corrupt;
  const SourceStatus good = SourceStatus::Good;
  expectOutcomes(waveReader(), {
      {"intact", wave([](WaveImage&) {}), good, 10},
      {"no channels", wave([](WaveImage& w) { w.channels = 0; }), corrupt, 0},
      {"256 channels", wave([](WaveImage& w) { w.channels = 256; }), corrupt, 0},
      {"rate 0", wave([](WaveImage& w) { w.rate = 0; }), corrupt, 0},
      {"rate 196,001", wave([](WaveImage& w) { w.rate = 196001; }), corrupt, 0},
      {"rate 0xFFFFFFFF", wave([](WaveImage& w) { w.rate = 0xFFFFFFFF; }), corrupt, 0},
      {"rate 196,000", wave([](WaveImage& w) { w.rate = 196000; }), good, 10},
      {"fmt chunk of 15 bytes", wave([](WaveImage& w) { w.fmtBytes = 15; }), corrupt, 0},
      {"fmt chunk of 8,193 bytes", wave([](WaveImage& w) { w.fmtBytes = 8193; }), corrupt, 0},
      {"fmt chunk of 8,192 bytes", wave([](WaveImage& w) { w.fmtBytes = 8192; }), good, 10},
      {"fmt chunk far beyond the file", wave([](WaveImage& w) { w.fmtBytes = 0x7FFFFFF0; }), corrupt, 0},
      // The count is cut to the chunk; a PCM record needs no extra bytes.
      {"extra-bytes count beyond the fmt chunk",
       wave([](WaveImage& w) { w.fmtBytes = 20, w.extraBytes = 0xFFFF; }), good, 10},
      {"float samples of 16 bits", wave([](WaveImage& w) { w.tag = 3; }), corrupt, 0},
      {"odd-length data, mono", wave([](WaveImage& w) { w.samples = patternBytes(7); }), good, 3},
      {"odd-length data, stereo", wave([](WaveImage& w) { w.channels = 2, w.samples = patternBytes(7); }), good, 1},
      {"data size 0xFFFFFFFF", wave([](WaveImage& w) { w.dataBytes = 0xFFFFFFFF; }), good, 10},
      {"data size 0", wave([](WaveImage& w) { w.dataBytes = 0; }), good, 0},
      // 56 bytes of samples after the 44-byte header: 28 frames, not 2 G.
      {"100-byte file claiming 4 GB", wave([](WaveImage& w) { w.dataBytes = 0xF0000000, w.samples = patternBytes(56); }),
       good, 28},
      {"chunk before the data far beyond the file",
       wave([](WaveImage& w) { w.beforeData = littleEndianChunk("LIST", 0xFFFFFFF0, 4); }), corrupt, 0},
      {"odd chunk before the data, padded",
       wave([](WaveImage& w) { w.beforeData = littleEndianChunk("LIST", 3, 4); }), good, 10},
      // The sizes of the RIFF header itself are not relied on (a recording
      // that was never closed leaves them wrong); the chunks are.
      {"RIFF size 0", wave([](WaveImage& w) { w.riffBytes = 0; }), good, 10},
      {"RIFF size 4", wave([](WaveImage& w) { w.riffBytes = 4; }), good, 10},
      {"RIFF size 0xFFFFFFFF", wave([](WaveImage& w) { w.riffBytes = 0xFFFFFFFF; }), good, 10},
      // A top-level chunk in front is skipped by its size, which must at
      // least step past its own form type.
      {"chunk in front of size 0", wave([](WaveImage& w) { w.inFront = littleEndianChunk("JUNK", 0, 4); }), corrupt, 0},
      {"chunk in front of size 3", wave([](WaveImage& w) { w.inFront = littleEndianChunk("JUNK", 3, 4); }), corrupt, 0},
      {"chunk in front of size 4", wave([](WaveImage& w) { w.inFront = littleEndianChunk("JUNK", 4, 4); }), corrupt, 0},
      {"chunk in front of size 6", wave([](WaveImage& w) { w.inFront = littleEndianChunk("JUNK", 6, 6); }), good, 10},
      {"chunk in front far beyond the file",
       wave([](WaveImage& w) { w.inFront = littleEndianChunk("JUNK", 0xFFFFFFF0, 4); }), corrupt, 0},
      {"no RIFF header at all", Bytes(100, 0), corrupt, 0},
  });
}

// ---- AIFF ----

Reader aiffReader() { return [](std::unique_ptr<ByteSource> bytes) { return openAiffSource(std::move(bytes)); }; }

TEST(DamagedFiles, AiffHeadersGiveClearStatusesAndSizesAreKeptToTheFile) {
  const auto aiff = [](auto change) {
    AiffImage image;
    change(image);
    return image.build();
  };
  const SourceStatus corrupt = SourceStatus::Corrupt;
  const SourceStatus good = SourceStatus::Good;
  expectOutcomes(aiffReader(), {
      {"intact", aiff([](AiffImage&) {}), good, 10},
      {"neither AIFF nor AIFC", aiff([](AiffImage& a) { a.formType = "WAVE"; }), corrupt, 0},
      {"no channels", aiff([](AiffImage& a) { a.channels = 0; }), corrupt, 0},
      {"rate exponent 0", aiff([](AiffImage& a) { a.rateExponent = 0; }), corrupt, 0},
      {"rate exponent 0x7FFF", aiff([](AiffImage& a) { a.rateExponent = 0x7FFF; }), corrupt, 0},
      {"rate 0", aiff([](AiffImage& a) { a.rateExponent = 0, a.rateMantissa = 0; }), corrupt, 0},
      {"rate 196,001", aiff([](AiffImage& a) { a.rateExponent = 0x4010, a.rateMantissa = 196001u << 14; }),
       corrupt, 0},
      {"rate 0xFFFFFFFF", aiff([](AiffImage& a) { a.rateExponent = 0x401E, a.rateMantissa = 0xFFFFFFFF; }),
       corrupt, 0},
      {"no bits", aiff([](AiffImage& a) { a.bits = 0; }), corrupt, 0},
      {"COMM of 17 bytes", aiff([](AiffImage& a) { a.commBytes = 17; }), corrupt, 0},
      {"odd-length samples", aiff([](AiffImage& a) { a.samples = patternBytes(7); }), good, 3},
      {"sound size 0xFFFFFFFF", aiff([](AiffImage& a) { a.soundBytes = 0xFFFFFFFF; }), good, 10},
      {"100-byte file claiming 2 GB", aiff([](AiffImage& a) { a.soundBytes = 0x7FFFFFF0, a.samples = patternBytes(46); }),
       good, 23},
      {"sound offset past the file", aiff([](AiffImage& a) { a.soundOffset = 0x40000000; }), good, 0},
      {"chunk before COMM far beyond the file",
       aiff([](AiffImage& a) { a.inFront = bigEndianChunk("ANNO", 0xFFFFFFF0, 4); }), corrupt, 0},
      {"AIFC of another compression", aiff([](AiffImage& a) { a.formType = "AIFC", a.compression = "ima4"; }),
       SourceStatus::CodecMissing, 0},
      {"no FORM header at all", Bytes(100, 0), corrupt, 0},
  });
}

// ---- AU ----

Reader auReader() { return [](std::unique_ptr<ByteSource> bytes) { return openAuSource(std::move(bytes)); }; }

TEST(DamagedFiles, AuHeadersGiveClearStatusesAndSizesAreKeptToTheFile) {
  const auto au = [](auto change) {
    AuImage image;
    change(image);
    return image.build();
  };
  const SourceStatus corrupt = SourceStatus::Corrupt;
  const SourceStatus good = SourceStatus::Good;
  expectOutcomes(auReader(), {
      {"intact", au([](AuImage&) {}), good, 10},
      {"data offset past the file", au([](AuImage& a) { a.dataOffset = 45; }), corrupt, 0},
      {"data offset 0xFFFFFFFF", au([](AuImage& a) { a.dataOffset = 0xFFFFFFFF; }), corrupt, 0},
      {"data offset 23", au([](AuImage& a) { a.dataOffset = 23; }), corrupt, 0},
      {"data offset 0", au([](AuImage& a) { a.dataOffset = 0; }), corrupt, 0},
      {"data offset at the end", au([](AuImage& a) { a.dataOffset = 44; }), good, 0},
      {"no channels", au([](AuImage& a) { a.channels = 0; }), corrupt, 0},
      {"0xFFFFFFFF channels", au([](AuImage& a) { a.channels = 0xFFFFFFFF; }), corrupt, 0},
      {"rate 0", au([](AuImage& a) { a.rate = 0; }), corrupt, 0},
      {"rate 196,001", au([](AuImage& a) { a.rate = 196001; }), corrupt, 0},
      {"rate 0xFFFFFFFF", au([](AuImage& a) { a.rate = 0xFFFFFFFF; }), corrupt, 0},
      {"an encoding without a decoder", au([](AuImage& a) { a.encoding = 23; }), SourceStatus::CodecMissing, 0},
      {"odd-length data", au([](AuImage& a) { a.samples = patternBytes(7); }), good, 3},
      {"data size 0xFFFFFFFF", au([](AuImage& a) { a.dataBytes = 0xFFFFFFFF; }), good, 10},
      {"100-byte file claiming 4 GB", au([](AuImage& a) { a.dataBytes = 0xF0000000, a.samples = patternBytes(76); }), good,
       38},
  });
}

// ---- GSM and raw ----

TEST(DamagedFiles, GsmFilesCountOnlyWholeFramesAndReadAnyBytes) {
  const Reader gsm = [](std::unique_ptr<ByteSource> bytes) { return openGsmSource(std::move(bytes)); };
  Bytes noise(33 * 4 + 5);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 89 + 7);
  Bytes signatures = noise;
  for (size_t frame = 0; frame + 33 <= signatures.size(); frame += 33)
    signatures[frame] = static_cast<uint8_t>(0xD0 | (signatures[frame] & 0x0F));
  expectOutcomes(gsm, {
      {"empty", {}, SourceStatus::Good, 0},
      {"less than a frame", Bytes(32, 0xD5), SourceStatus::Good, 0},
      {"frames without the signature, and a partial one", noise, SourceStatus::Good, 640},
      {"frames of arbitrary parameters", signatures, SourceStatus::Good, 640},
  });
}

TEST(DamagedFiles, RawLayoutsOutOfRangeAreRefusedAndOddLengthsRoundDown) {
  const auto raw = [](int32_t rate, int channels, RawCodec codec) -> Reader {
    RawFormat format{rate, channels, codec};
    return [format](std::unique_ptr<ByteSource> bytes) { return openRawSource(std::move(bytes), format); };
  };
  const Bytes seven(7, 0x5A);
  struct Case {
    const char* what;
    Reader reader;
    SourceStatus status;
    int32_t length;
  };
  const Case cases[] = {
      {"rate 0", raw(0, 1, RawCodec::Pcm16LE), SourceStatus::Corrupt, 0},
      {"rate 196,001", raw(196001, 1, RawCodec::Pcm16LE), SourceStatus::Corrupt, 0},
      {"rate 0xFFFFFFFF", raw(-1, 1, RawCodec::MuLaw), SourceStatus::Corrupt, 0},
      {"no channels", raw(8000, 0, RawCodec::ALaw), SourceStatus::Corrupt, 0},
      {"256 channels", raw(8000, 256, RawCodec::Signed8), SourceStatus::Corrupt, 0},
      {"no channels, ADPCM", raw(8000, 0, RawCodec::DialogicAdpcm), SourceStatus::Corrupt, 0},
      {"a codec number out of range", raw(8000, 1, static_cast<RawCodec>(6)), SourceStatus::Corrupt, 0},
      {"odd length, 16-bit mono", raw(8000, 1, RawCodec::Pcm16LE), SourceStatus::Good, 3},
      {"odd length, 16-bit stereo", raw(8000, 2, RawCodec::Pcm16LE), SourceStatus::Good, 1},
      {"odd length, 8-bit stereo", raw(8000, 2, RawCodec::Unsigned8), SourceStatus::Good, 3},
      {"odd length, ADPCM mono", raw(8000, 1, RawCodec::DialogicAdpcm), SourceStatus::Good, 14},
      {"odd length, ADPCM in 3 channels", raw(8000, 3, RawCodec::DialogicAdpcm), SourceStatus::Good, 4},
  };
  for (const Case& c : cases) expectOutcomes(c.reader, {{c.what, seven, c.status, c.length}});
  for (const Case& c : cases) expectOutcomes(c.reader, {{std::string(c.what) + ", empty", {}, c.status, 0}});
}

// ---- truncation ----

TEST(DamagedFiles, EveryTruncationIsCorruptInTheHeaderAndShortInTheSamples) {
  struct Format {
    const char* name;
    Reader reader;
    Bytes image;
    size_t headerBytes;
    size_t frameBytes;
  };
  const Format formats[] = {
      {"WAVE", waveReader(), WaveImage{}.build(), 44, 2},
      {"WAVE stereo with a chunk before the data",
       waveReader(), [] { WaveImage w; w.channels = 2; w.beforeData = littleEndianChunk("fact", 4, 4); return w.build(); }(),
       56, 4},
      {"AIFF", aiffReader(), AiffImage{}.build(), 54, 2},
      {"AIFC", aiffReader(), [] { AiffImage a; a.formType = "AIFC"; return a.build(); }(), 58, 2},
      {"AU", auReader(), AuImage{}.build(), 24, 2},
  };
  for (const Format& format : formats) {
    for (size_t cut = 0; cut < format.image.size(); ++cut) {
      SCOPED_TRACE(std::string(format.name) + " cut to " + std::to_string(cut) + " bytes");
      const Outcome outcome = openAndRead(format.reader, Bytes(format.image.begin(), format.image.begin() + cut));
      if (cut < format.headerBytes) {
        EXPECT_EQ(outcome.status, SourceStatus::Corrupt);
      } else {
        EXPECT_EQ(outcome.status, SourceStatus::Good);
        EXPECT_EQ(outcome.length, static_cast<int32_t>((cut - format.headerBytes) / format.frameBytes));
      }
      EXPECT_LE(outcome.largestAllocation, kAllocationAllowance);
    }
  }
}

// ---- tags ----

Bytes taggedWave() {
  Bytes out = WaveImage{}.build();
  const auto item = [](Bytes& list, const char* id, const std::string& text) {
    putText(list, id);
    putLe32(list, static_cast<uint32_t>(text.size() + 1));
    list.insert(list.end(), text.begin(), text.end());
    list.push_back(0);
    if (list.size() & 1) list.push_back(0);
  };
  Bytes list;
  putText(list, "INFO");
  item(list, "IART", "Somebody");
  item(list, "ICMT", "A comment");
  putText(out, "LIST");
  putLe32(out, static_cast<uint32_t>(list.size()));
  out.insert(out.end(), list.begin(), list.end());
  putText(out, "DISP");
  putLe32(out, 4 + 6);
  putLe32(out, 1);
  putText(out, "Title");
  out.push_back(0);
  storeLe32(&out[4], static_cast<uint32_t>(out.size() - 8));
  return out;
}

TEST(DamagedFiles, TruncatedTagsGivePrefixesOfTheirTextsOrNothing) {
  const Bytes image = taggedWave();
  const TagSet whole = {{"TITLE", "Title"}, {"ARTIST", "Somebody"}, {"COMMENT", "A comment"}};
  for (size_t cut = 0; cut <= image.size(); ++cut) {
    SCOPED_TRACE("cut to " + std::to_string(cut) + " bytes");
    MemoryByteSource bytes(image.data(), cut);
    TagSet tags;
    AllocationWatch watch;
    EXPECT_EQ(readWaveTags(bytes, tags), cut >= 12);
    EXPECT_LE(watch.largest(), kAllocationAllowance);
    for (const auto& tag : tags) {
      const auto found = std::find_if(whole.begin(), whole.end(), [&](const auto& t) { return t.first == tag.first; });
      ASSERT_NE(found, whole.end()) << tag.first;
      EXPECT_EQ(found->second.substr(0, tag.second.size()), tag.second) << tag.first;
    }
    if (cut == image.size()) {
      TagSet sorted = tags;
      std::sort(sorted.begin(), sorted.end());
      TagSet expected = whole;
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(sorted, expected);
    }
  }
}

TEST(DamagedFiles, TagSizesBeyondTheFileReadOnlyWhatIsThere) {
  struct Case {
    const char* what;
    uint32_t listBytes;
    uint32_t itemBytes;
    const char* artist;  // expected
  };
  const Case cases[] = {
      {"list size far beyond the file", 0xFFFFFFF0, 4, "Ann"},
      {"item size far beyond the file", 16, 0xFFFFFFF0, "Ann"},
      {"item size 0xFFFFFFFF", 16, 0xFFFFFFFF, "Ann"},
      {"item size 0", 16, 0, nullptr},
      {"list too short for its form type", 2, 4, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes image = WaveImage{}.build();
    putText(image, "LIST");
    putLe32(image, c.listBytes);
    putText(image, "INFOIART");
    putLe32(image, c.itemBytes);
    putText(image, "Ann");
    image.push_back(0);
    MemoryByteSource bytes(image);
    TagSet tags;
    AllocationWatch watch;
    EXPECT_TRUE(readWaveTags(bytes, tags));
    EXPECT_LE(watch.largest(), kAllocationAllowance);
    if (c.artist) {
      EXPECT_EQ(tags, (TagSet{{"ARTIST", c.artist}}));
    } else {
      EXPECT_TRUE(tags.empty());
    }
  }
}

// ---- ID3 ----

TEST(DamagedFiles, TruncatedId3TagsGivePrefixesOfTheirTextsAndAllocateLittle) {
  // A version 2.3 tag of a title and a picture, claiming 256 MB of padding.
  Bytes frames;
  auto frame = [&](const char* id, const std::string& payload) {
    putText(frames, id);
    for (int shift = 24; shift >= 0; shift -= 8) frames.push_back(static_cast<uint8_t>(payload.size() >> shift));
    frames.insert(frames.end(), {0, 0});
    frames.insert(frames.end(), payload.begin(), payload.end());
  };
  frame("TIT2", std::string(1, '\0') + "Title");
  frame("APIC", std::string("\0image/png\0\3\0", 14) + std::string(100, 'p'));
  frame("TPE1", std::string(1, '\0') + "Somebody");
  Bytes image = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
  image.insert(image.end(), frames.begin(), frames.end());
  const Bytes audio = patternBytes(600);
  image.insert(image.end(), audio.begin(), audio.end());
  const TagSet whole = {{"TITLE", "Title"}, {"ARTIST", "Somebody"}};
  for (size_t cut = 0; cut <= image.size(); ++cut) {
    SCOPED_TRACE("cut to " + std::to_string(cut) + " bytes");
    MemoryByteSource bytes(image.data(), cut);
    FileTags tags;
    AllocationWatch watch;
    EXPECT_TRUE(readMp3Tags(bytes, tags));
    EXPECT_LE(watch.largest(), kAllocationAllowance);
    for (const auto& tag : tags.values) {
      const auto found = std::find_if(whole.begin(), whole.end(), [&](const auto& t) { return t.first == tag.first; });
      ASSERT_NE(found, whole.end()) << tag.first;
      EXPECT_EQ(found->second.substr(0, tag.second.size()), tag.second) << tag.first;
    }
    if (cut == image.size()) {
      EXPECT_EQ(tags.values, whole);
      ASSERT_EQ(tags.id3Frames.size(), 3u);
      EXPECT_EQ(tags.id3Frames[1].payload.size(), 114u);
    }
  }
}

}  // namespace
