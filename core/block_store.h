#pragma once
// The sample block store: blocks of samples in files of the working folder,
// shared by reference count. One process-wide table guarded by one lock.
//
// A block n is two files: "n.aud" (frames of 32-bit little-endian Samples)
// and "n.grf" (one peak record per 256 frames, two bytes per channel).
// The files live in a session folder that this process holds with a lock
// inside the working folder the user chose, so that two editors never share
// block files and the purge at exit touches nothing but our own names.

#include <cstdint>
#include <string>

using BlockNumber = uint16_t;
constexpr BlockNumber NoBlock = 65535;
constexpr uint16_t kSaturatedRefCount = 65535;
constexpr int kMaxBlockPath = 259;
constexpr int kFramesPerPeakRecord = 256;

// Chooses the working folder: creates it when missing and takes a session
// folder inside it. False when neither can be made; blocks then fail to be
// written and say so through their writers' status.
bool setWorkingFolder(const std::string& folder);
// The folder the block files go to (the session folder), empty before set.
std::string blockFolder();

BlockNumber allocateBlock();
void addBlockRef(BlockNumber block);
void releaseBlock(BlockNumber block);
uint16_t blockRefCount(BlockNumber block);

std::string blockSamplePath(BlockNumber block);
std::string blockPeakPath(BlockNumber block);

// Deletes the block files of our own naming in the session folder, lets go of
// it and removes it when empty. Registered to run at exit by setWorkingFolder.
void purgeWorkingFolder();

// Path rule shared with callers that build their own names: folder, one
// separator unless it already ends in one, the name; cut at 259 characters.
std::string blockPathIn(const std::string& folder, const std::string& name);
