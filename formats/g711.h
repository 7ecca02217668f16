#pragma once
// ITU-T G.711 mu-law and A-law, one byte per sample, to and from 16-bit linear.

#include <cstdint>

int16_t muLawToLinear(uint8_t code);
int16_t aLawToLinear(uint8_t code);
uint8_t linearToMuLaw(int16_t sample);
uint8_t linearToALaw(int16_t sample);
