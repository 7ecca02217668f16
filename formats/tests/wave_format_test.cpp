// The WAVE header layout that the writers build and the reader parses.

#include <gtest/gtest.h>

#include <vector>

#include "formats/wave_format.h"
#include "testkit/testkit.h"

namespace {

std::vector<uint8_t> withData(std::vector<uint8_t> header, size_t dataBytes) {
  header.resize(header.size() + dataBytes, 0x5A);
  return header;
}

TEST(WaveFormat, PcmRecordsHoldTheFieldsWorkedOutByHand) {
  struct Case {
    int channels;
    int32_t rate;
    int bits;
    size_t recordBytes;
    std::vector<uint8_t> expected;
  } cases[] = {
      // 44,100 * 6 = 264,600 = 0x00040998 bytes a second, 6 bytes a frame.
      {2, 44100, 24, 16, {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x98, 0x09, 0x04, 0, 6, 0, 24, 0}},
      // The full record ends in an extra-bytes count of 0.
      {1, 8000, 8, 18, {1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recordBytes);
    EXPECT_EQ(pcmWaveRecord(c.channels, c.rate, c.bits, c.recordBytes), c.expected);
  }
}

TEST(WaveFormat, HeadersTheWritersBuildParseBackToTheirRecordAndData) {
  std::vector<uint8_t> codecRecord = pcmWaveRecord(1, 8000, 4, 18);
  codecRecord[0] = 0x11;  // a compressed format with two extra bytes
  codecRecord[16] = 2;
  codecRecord.push_back(0xF9);
  codecRecord.push_back(0x01);
  const std::vector<uint8_t> records[] = {pcmWaveRecord(2, 22050, 16, 16), pcmWaveRecord(1, 8000, 8, 18), codecRecord};
  for (const auto& record : records) {
    SCOPED_TRACE(record.size());
    const std::vector<uint8_t> header = waveFileHeader(record, 6);
    ASSERT_EQ(header.size(), 28 + record.size());
    ASSERT_EQ(waveFileHeaderBytes(record.size()), header.size());
    EXPECT_EQ(le32(&header[4]), header.size() - 8 + 6);  // the RIFF size counts the samples too
    MemoryByteSource bytes(withData(header, 6));
    WaveLayout layout;
    ASSERT_EQ(parseWaveLayout(bytes, layout), SourceStatus::Good);
    EXPECT_EQ(layout.dataStart, static_cast<int64_t>(header.size()));
    EXPECT_EQ(layout.dataBytes, 6u);
    EXPECT_EQ(layout.format.tag, le16(&record[0]));
    EXPECT_EQ(layout.format.channels, le16(&record[2]));
    EXPECT_EQ(layout.format.sampleRate, le32(&record[4]));
    EXPECT_EQ(layout.format.blockAlign, le16(&record[12]));
    EXPECT_EQ(layout.format.bitsPerSample, le16(&record[14]));
    // The reader keeps every record in its full form, with the count.
    std::vector<uint8_t> full = record;
    full.resize(std::max<size_t>(full.size(), 18), 0);
    EXPECT_EQ(layout.format.record, full);
  }
}

TEST(WaveFormat, TheRiffSizeSaturatesAndAnUnknownDataSizeLeavesBothUnknown) {
  const std::vector<uint8_t> record = pcmWaveRecord(1, 8000, 16, 18);  // a 46-byte header: RIFF = data + 38
  const struct {
    uint32_t dataBytes;
    uint32_t riffBytes;
  } cases[] = {
      {0, 38},
      {0xFFFFFFFFu - 38, 0xFFFFFFFFu},
      {0xFFFFFFFFu - 37, 0xFFFFFFFFu},
      {0xFFFFFFFFu, 0xFFFFFFFFu},  // a recording still being written
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dataBytes);
    const std::vector<uint8_t> header = waveFileHeader(record, c.dataBytes);
    EXPECT_EQ(le32(&header[4]), c.riffBytes);
    EXPECT_EQ(le32(&header[42]), c.dataBytes);
  }
}

}  // namespace
