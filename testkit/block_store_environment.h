#pragma once
// The block store of a test program in a folder of its own below the test
// scratch root (ZED_TEST_TMP, or the system's temporary folder), set once
// before the first test. Header-only: for the test programs of modules that
// link the core, which testkit itself does not.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/block_store.h"
#include "sys/folders.h"

namespace testkit {

class BlockStoreEnvironment : public ::testing::Environment {
 public:
  explicit BlockStoreEnvironment(std::string name) : m_name(std::move(name)) {}
  void SetUp() override {
    if (!blockFolder().empty()) return;  // another set-up of the program came first
    const char* root = std::getenv("ZED_TEST_TMP");
    ASSERT_TRUE(setWorkingFolder(sys::joinPath(root && *root ? root : sys::tempFolder(), m_name)));
  }

 private:
  std::string m_name;
};

// Registers the set-up; meant for a namespace-scope initialiser:
//   [[maybe_unused]] const bool blocks = testkit::useBlockStoreFolder("core-blocks");
inline bool useBlockStoreFolder(const char* name) {
  ::testing::AddGlobalTestEnvironment(new BlockStoreEnvironment(name));
  return true;
}

}  // namespace testkit
