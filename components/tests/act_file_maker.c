/* act_file_maker < samples.raw > out.act
 * Writes a dictaphone ACT file (G.729 at 8,000 Hz) of 16-bit little-endian
 * mono samples read from standard input, encoded with Debian's bcg729, so
 * that actdec has files of a known sound to decode. A native test helper.
 *
 * Layout: a 512-byte header (a WAVE format record, zeros, the marker 0x84
 * at 256 and the length as milliseconds, seconds and minutes from 257),
 * then 512-byte blocks of 51 frames of 10 bytes and 2 unused bytes. Each
 * frame holds the odd bytes of the G.729 frame, then the even ones. */
#include <bcg729/encoder.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

enum { kFrameSamples = 80, kFrameBytes = 10, kBlockBytes = 512, kFramesPerBlock = 51 };

static void put16(uint8_t* at, unsigned v) { at[0] = v & 0xFF; at[1] = (v >> 8) & 0xFF; }
static void put32(uint8_t* at, unsigned long v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); }

int main(void) {
  static uint8_t data[1 << 24];
  size_t dataBytes = 0, frames = 0;
  bcg729EncoderChannelContextStruct* encoder = initBcg729EncoderChannel(0);
  uint8_t raw[2 * kFrameSamples];
  size_t got;
  while ((got = fread(raw, 1, sizeof raw, stdin)) > 0) {
    int16_t pcm[kFrameSamples] = {0};
    for (size_t i = 0; i < got / 2; ++i) pcm[i] = (int16_t)(raw[2 * i] | (raw[2 * i + 1] << 8));
    uint8_t bits[kFrameBytes];
    uint8_t length = 0;
    bcg729Encoder(encoder, pcm, bits, &length);
    if (length != kFrameBytes || dataBytes + kBlockBytes > sizeof data) return 1;
    uint8_t* frame = data + dataBytes;
    for (int i = 0; i < 5; ++i) {
      frame[i] = bits[2 * i + 1];
      frame[5 + i] = bits[2 * i];
    }
    dataBytes += kFrameBytes;
    if (++frames % kFramesPerBlock == 0) {
      memset(data + dataBytes, 0, 2);
      dataBytes += 2;
    }
  }
  closeBcg729EncoderChannel(encoder);

  uint8_t header[kBlockBytes] = {0};
  const unsigned long ms = frames * 10;
  memcpy(header, "RIFF", 4);
  put32(header + 4, (unsigned long)(kBlockBytes - 8 + dataBytes));
  memcpy(header + 8, "WAVEfmt ", 8);
  put32(header + 16, 16);
  put16(header + 20, 1);         /* format tag */
  put16(header + 22, 1);         /* channels */
  put32(header + 24, 8000);      /* sample rate */
  put32(header + 28, 16000);     /* bytes a second */
  put16(header + 32, 2);         /* block align */
  put16(header + 34, 16);        /* bits */
  header[256] = 0x84;
  put16(header + 257, ms % 1000);
  header[259] = (uint8_t)(ms / 1000 % 60);
  put32(header + 260, ms / 60000);
  return fwrite(header, 1, sizeof header, stdout) != sizeof header ||
         fwrite(data, 1, dataBytes, stdout) != dataBytes;
}
