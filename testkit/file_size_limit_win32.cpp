#include "testkit/testkit.h"

namespace testkit {

// Windows has no per-process limit of file sizes: never active.
FileSizeLimit::FileSizeLimit(int64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

}  // namespace testkit
