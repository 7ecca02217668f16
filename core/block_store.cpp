#include "core/block_store.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>

#include "sys/folder_lock.h"
#include "sys/folders.h"

namespace {

// The store's state: the reference-count table, its lock, and the folders.
std::array<uint16_t, 65536> blockRefTable{};
std::mutex blockRefLock;
// No number below this one is free; saves rescanning a full table.
uint32_t lowestPossiblyFree = 0;
std::string chosenFolder;
std::string sessionFolder;
sys::FolderLock sessionLock;
bool purgeRegistered = false;

// Session folders are numbered; a second editor takes the next free one.
constexpr int kMaxSessions = 64;

bool isBlockFileName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == 0 || dot == std::string::npos || dot > 5) return false;
  for (size_t i = 0; i < dot; ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  std::string extension = name.substr(dot);
  return extension == ".aud" || extension == ".grf";
}

void deleteBlockFiles(const std::string& folder) {
  for (const auto& name : sys::listFiles(folder))
    if (isBlockFileName(name)) sys::deleteFile(sys::joinPath(folder, name));
}

void leaveSession() {
  if (sessionFolder.empty()) return;
  deleteBlockFiles(sessionFolder);
  sessionLock.release();
  sys::removeEmptyFolder(sessionFolder);
  sessionFolder.clear();
}

}  // namespace

std::string blockPathIn(const std::string& folder, const std::string& name) {
  std::string path = sys::joinPath(folder, name);
  if (path.size() > static_cast<size_t>(kMaxBlockPath)) path.resize(kMaxBlockPath);
  return path;
}

bool setWorkingFolder(const std::string& folder) {
  {
    std::lock_guard hold(blockRefLock);
    for (uint16_t count : blockRefTable)
      if (count != 0) return false;  // blocks of the old folder are still in use
  }
  leaveSession();
  chosenFolder = folder;
  if (!sys::createFolder(folder)) return false;
  for (int session = 1; session <= kMaxSessions; ++session) {
    std::string candidate = blockPathIn(folder, "Session" + std::to_string(session));
    if (!sys::createFolder(candidate) || !sessionLock.take(candidate)) continue;
    // Whatever block files are here were left by a run that ended abnormally.
    deleteBlockFiles(candidate);
    sessionFolder = candidate;
    if (!purgeRegistered) {
      purgeRegistered = true;
      std::atexit(purgeWorkingFolder);
    }
    return true;
  }
  return false;
}

std::string blockFolder() { return sessionFolder; }

BlockNumber allocateBlock() {
  std::lock_guard hold(blockRefLock);
  for (uint32_t n = lowestPossiblyFree; n < NoBlock; ++n) {
    if (blockRefTable[n] == 0) {
      blockRefTable[n] = 1;
      lowestPossiblyFree = n + 1;
      return static_cast<BlockNumber>(n);
    }
  }
  lowestPossiblyFree = NoBlock;
  return NoBlock;
}

void addBlockRef(BlockNumber block) {
  if (block == NoBlock) return;
  std::lock_guard hold(blockRefLock);
  if (blockRefTable[block] != kSaturatedRefCount) ++blockRefTable[block];
}

void releaseBlock(BlockNumber block) {
  if (block == NoBlock) return;
  {
    std::lock_guard hold(blockRefLock);
    uint16_t& count = blockRefTable[block];
    if (count == kSaturatedRefCount) return;
    if (count >= 2) {
      --count;
      return;
    }
    // The count stays at 1 while the files go, so that the number is not
    // handed to a new writer whose fresh files we would then delete.
    count = 1;
  }
  sys::deleteFile(blockSamplePath(block));
  sys::deleteFile(blockPeakPath(block));
  std::lock_guard hold(blockRefLock);
  blockRefTable[block] = 0;
  lowestPossiblyFree = std::min<uint32_t>(lowestPossiblyFree, block);
}

uint16_t blockRefCount(BlockNumber block) {
  std::lock_guard hold(blockRefLock);
  return blockRefTable[block];
}

std::string blockSamplePath(BlockNumber block) {
  if (block == NoBlock) return {};
  return blockPathIn(sessionFolder, std::to_string(block) + ".aud");
}

std::string blockPeakPath(BlockNumber block) {
  if (block == NoBlock) return {};
  return blockPathIn(sessionFolder, std::to_string(block) + ".grf");
}

void purgeWorkingFolder() { leaveSession(); }
