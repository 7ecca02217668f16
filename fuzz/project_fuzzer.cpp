// Any bytes as a project file: whatever the read hands on must be a sound
// the file could hold.

#include <cstddef>
#include <cstdint>

#include "core/block_store.h"
#include "editor/model/project_file.h"
#include "fuzz/source_exercise.h"
#include "sys/folders.h"

namespace {

struct Checked : ProjectLoadTarget {
  size_t size = 0;
  void check(const SoundBuffer& sound) {
    if (sound.channels() < 1 || sound.sampleRate() < 1 || sound.sampleRate() > kMaxProjectSampleRate)
      fuzz::brokenPromise("a sound of a format the reader refuses");
    if (int64_t{sound.totalFrames()} * sound.channels() * 4 > static_cast<int64_t>(size))
      fuzz::brokenPromise("a sound longer than the file");
  }
  void documentLoaded(ProjectDocument document) override {
    if (document.bookmarks.size() > kMaxProjectItems) fuzz::brokenPromise("more bookmarks than a count byte holds");
    if (document.path.size() > size) fuzz::brokenPromise("a path longer than the file");
    check(document.sound);
  }
  void bookmarkLoaded(Bookmark bookmark) override {
    if (bookmark.name.size() > size) fuzz::brokenPromise("a name longer than the file");
  }
  void regionLoaded(Region region) override { check(region.sound); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The sounds read go to blocks, as in the editor.
  setWorkingFolder(sys::joinPath(sys::tempFolder(), "project-fuzzer-blocks"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryByteSource bytes(data, size);
  Checked target;
  target.size = size;
  ProjectReadStatus status = readProject(bytes, target);
  if (size == 0 && status != ProjectReadStatus::WrongVersion) fuzz::brokenPromise("an empty file read as a project");
  return 0;
}
