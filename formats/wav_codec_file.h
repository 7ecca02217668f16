#pragma once
// "WavCodec.wff": the chosen WAVE format as a wave-format record, zero-padded
// to exactly 1,024 bytes. Valid only when all 1,024 bytes read back.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr size_t kWavCodecFileBytes = 1024;
constexpr const char* kWavCodecFileName = "WavCodec.wff";

// The stored record (18 bytes plus its extra bytes), or nothing.
std::optional<std::vector<uint8_t>> readWavCodecFile(const std::string& dataFolder);
bool writeWavCodecFile(const std::string& dataFolder, const std::vector<uint8_t>& record);
