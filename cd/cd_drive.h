#pragma once
// A drive that audio tracks are read from: a real CD drive, or a disc image.
// Reads are requests: one is started, then waited for, so that the next
// can be under way while the previous chunk is stored.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/disc_record.h"

namespace cd {

enum class ReadWait { Done, Cancelled, Failed };

// What a wait for a read asks of the caller: whether to give up, polled
// while it waits (and the interface kept alive by it).
class ReadWaiter {
 public:
  virtual ~ReadWaiter() = default;
  virtual bool cancelled() = 0;
};

class CdDrive {
 public:
  virtual ~CdDrive() = default;
  // The name shown in the drive list.
  virtual std::string name() const = 0;
  virtual bool readTableOfContents(TableOfContents& toc) = 0;
  // Starts reading count raw sectors (2,352 bytes each) from first into
  // destination, which stays untouched by the caller until the wait returns.
  // False when the request cannot be started.
  virtual bool startRead(int32_t first, int32_t count, uint8_t* destination) = 0;
  // Waits for the started read; Failed on an error or after timeoutMs.
  // Unless Done, the request has been abandoned when this returns: the
  // destination is no longer written to.
  virtual ReadWait waitRead(uint32_t timeoutMs, ReadWaiter& waiter) = 0;
  // Stops a started read that is no longer wanted and returns once the
  // destination is no longer written to.
  virtual void abandonRead() = 0;
};

}  // namespace cd
