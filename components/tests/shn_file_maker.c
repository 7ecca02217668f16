/* shn_file_maker CHANNELS < samples.raw > out.shn
 * Writes a Shorten (version 2) file of 16-bit little-endian interleaved
 * samples read from standard input, so that shndec has files of a known
 * sound to decode: the WAVE header kept verbatim, then blocks of 256
 * samples a channel, each predicted from the sample before it (first-order
 * difference) with Rice-coded residuals, then the quit command. A native
 * test helper; no Shorten encoder is packaged by Debian. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kBlock = 256, kMaxChannels = 8 };
enum { FN_DIFF1 = 1, FN_QUIT = 4, FN_BLOCKSIZE = 5, FN_VERBATIM = 9 };

static unsigned char* out;
static size_t outBytes, outCapacity;
static unsigned bitBuffer, bitCount;

static void putBit(unsigned bit) {
  bitBuffer = (bitBuffer << 1) | (bit & 1);
  if (++bitCount == 8) {
    if (outBytes == outCapacity) out = realloc(out, outCapacity = outCapacity * 2 + 4096);
    out[outBytes++] = (unsigned char)bitBuffer;
    bitBuffer = bitCount = 0;
  }
}
/* Rice code: value >> k as that many zeros and a one, then the low k bits. */
static void putUvar(uint32_t value, int k) {
  for (uint32_t zeros = value >> k; zeros > 0; --zeros) putBit(0);
  putBit(1);
  for (int i = k - 1; i >= 0; --i) putBit(value >> i);
}
static void putSvar(int32_t value, int k) {
  putUvar(((uint32_t)value << 1) ^ (uint32_t)(value >> 31), k + 1);
}
/* A number with its own Rice parameter in front. */
static void putUlong(uint32_t value) {
  int k = 0;
  while (k < 32 && (value >> k) != 0) ++k;
  putUvar((uint32_t)k, 2);
  putUvar(value, k);
}
static void put16(unsigned char* at, unsigned v) { at[0] = v & 0xFF; at[1] = (v >> 8) & 0xFF; }
static void put32(unsigned char* at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); }

int main(int argc, char** argv) {
  const int channels = argc > 1 ? atoi(argv[1]) : 1;
  if (channels < 1 || channels > kMaxChannels) return 2;
  size_t capacity = 1 << 20, count = 0;
  int16_t* samples = malloc(capacity * sizeof *samples);
  unsigned char pair[2];
  while (fread(pair, 1, 2, stdin) == 2) {
    if (count == capacity) samples = realloc(samples, (capacity *= 2) * sizeof *samples);
    samples[count++] = (int16_t)(pair[0] | (pair[1] << 8));
  }
  const size_t frames = count / channels;

  unsigned char wave[44] = "RIFF____WAVEfmt ";
  put32(wave + 4, (uint32_t)(36 + frames * channels * 2));
  put32(wave + 16, 16);
  put16(wave + 20, 1);
  put16(wave + 22, channels);
  put32(wave + 24, 44100);
  put32(wave + 28, 44100u * channels * 2);
  put16(wave + 32, channels * 2);
  put16(wave + 34, 16);
  memcpy(wave + 36, "data", 4);
  put32(wave + 40, (uint32_t)(frames * channels * 2));

  const char magic[] = "ajkg";
  for (int i = 0; i < 4; ++i)
    for (int b = 7; b >= 0; --b) putBit((unsigned)magic[i] >> b);
  for (int b = 7; b >= 0; --b) putBit(2u >> b); /* version */
  putUlong(5);                                   /* signed 16-bit, low byte first */
  putUlong((uint32_t)channels);
  putUlong(kBlock);
  putUlong(0); /* no LPC */
  putUlong(0); /* no running mean */
  putUlong(0); /* no bytes to skip */
  putUvar(FN_VERBATIM, 2);
  putUvar(sizeof wave, 5);
  for (size_t i = 0; i < sizeof wave; ++i) putUvar(wave[i], 8);

  int32_t previous[kMaxChannels] = {0};
  size_t blockSize = kBlock;
  for (size_t first = 0; first < frames; first += blockSize) {
    const size_t n = frames - first < kBlock ? frames - first : kBlock;
    if (n != blockSize) {
      putUvar(FN_BLOCKSIZE, 2);
      putUlong((uint32_t)n);
      blockSize = n;
    }
    for (int c = 0; c < channels; ++c) {
      int32_t residual[kBlock];
      uint64_t magnitude = 0;
      int32_t last = previous[c];
      for (size_t i = 0; i < n; ++i) {
        const int32_t sample = samples[(first + i) * channels + c];
        residual[i] = sample - last;
        magnitude += (uint64_t)(residual[i] < 0 ? -residual[i] : residual[i]);
        last = sample;
      }
      previous[c] = last;
      int k = 0;
      while (k < 20 && ((uint64_t)1 << (k + 1)) * n < magnitude) ++k;
      putUvar(FN_DIFF1, 2);
      putUvar((uint32_t)k, 3);
      for (size_t i = 0; i < n; ++i) putSvar(residual[i], k);
    }
  }
  putUvar(FN_QUIT, 2);
  for (int i = 0; i < 64; ++i) putBit(0); /* pad the last byte and a little more */
  fwrite(out, 1, outBytes, stdout);
  return 0;
}
