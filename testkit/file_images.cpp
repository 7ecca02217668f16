#include "testkit/file_images.h"

#include <string>

#include "testkit/testkit.h"

namespace testkit {

namespace {

void storeLe32At(Bytes& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
void storeBe32At(Bytes& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}
uint32_t sizeOr(const SizeField& field, size_t actual) { return field.value_or(static_cast<uint32_t>(actual)); }
void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

}  // namespace

Bytes patternBytes(size_t count) {
  Bytes out(count);
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(i * 37);
  return out;
}

Bytes littleEndianChunk(const char* id, uint32_t size, size_t bodyBytes) {
  Bytes out = bigEndianChunk(id, 0, bodyBytes);
  storeLe32At(out, 4, size);
  return out;
}

Bytes bigEndianChunk(const char* id, uint32_t size, size_t bodyBytes) {
  Bytes out;
  putText(out, id);
  putBe32(out, size);
  out.resize(out.size() + bodyBytes, 0x41);
  return out;
}

Bytes le16Bytes(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t s : samples) putLe16(out, static_cast<uint16_t>(s));
  return out;
}

Bytes WaveImage::build() const {
  Bytes out = inFront;
  const size_t riffAt = out.size();
  putText(out, "RIFF");
  putLe32(out, 0);
  putText(out, "WAVE");
  append(out, beforeFmt);
  putText(out, "fmt ");
  putLe32(out, fmtBytes);
  const uint32_t sampleBytes = (bits + 7u) / 8u;
  Bytes body;
  putLe16(body, tag);
  putLe16(body, channels);
  putLe32(body, rate);
  putLe32(body, rate * channels * sampleBytes);
  putLe16(body, channels * sampleBytes);
  putLe16(body, bits);
  if (fmtBytes >= 18) putLe16(body, extraBytes);
  // A size far beyond the file is only claimed, not written.
  body.resize(fmtBytes <= 8194 ? fmtBytes : body.size(), 0);
  if (body.size() & 1) body.push_back(0);
  append(out, body);
  append(out, beforeData);
  putText(out, "data");
  putLe32(out, sizeOr(dataBytes, samples.size()));
  append(out, samples);
  if (!afterData.empty() && (samples.size() & 1)) out.push_back(0);
  append(out, afterData);
  storeLe32At(out, riffAt + 4, sizeOr(riffBytes, out.size() - riffAt - 8));
  return out;
}

Bytes AiffImage::build() const {
  const bool aifc = std::string(formType) == "AIFC";
  Bytes comm;
  putBe16(comm, channels);
  putBe32(comm, sizeOr(sampleFrames, samples.size() / 2));
  putBe16(comm, bits);
  // The rate as an 80-bit extended number: exponent, then the top 64 bits of
  // the mantissa, of which the low 32 stay 0 here.
  putBe16(comm, rateExponent);
  putBe32(comm, rateMantissa);
  putBe32(comm, 0);
  if (aifc) putText(comm, compression);
  Bytes commChunk;
  putText(commChunk, "COMM");
  putBe32(commChunk, sizeOr(commBytes, comm.size()));
  append(commChunk, comm);

  Bytes soundChunk;
  putText(soundChunk, "SSND");
  putBe32(soundChunk, sizeOr(soundBytes, 8 + beforeSamples.size() + samples.size()));
  putBe32(soundChunk, soundOffset);
  putBe32(soundChunk, 0);
  append(soundChunk, beforeSamples);
  append(soundChunk, samples);

  Bytes out;
  putText(out, "FORM");
  putBe32(out, 0);
  putText(out, formType);
  append(out, inFront);
  append(out, soundFirst ? soundChunk : commChunk);
  append(out, soundFirst ? commChunk : soundChunk);
  storeBe32At(out, 4, sizeOr(formBytes, out.size() - 8));
  return out;
}

Bytes AuImage::build() const {
  Bytes out;
  putBe32(out, magic);
  putBe32(out, dataOffset);
  putBe32(out, sizeOr(dataBytes, samples.size()));
  putBe32(out, encoding);
  putBe32(out, rate);
  putBe32(out, channels);
  append(out, beforeData);
  append(out, samples);
  return out;
}

}  // namespace testkit
