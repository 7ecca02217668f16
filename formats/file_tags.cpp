// Tags by file type: only MP3 and WAVE files carry them.

#include <algorithm>

#include "formats/extension.h"
#include "formats/formats.h"

bool canCarryTags(const std::string& path) {
  const std::string extension = lowerExtension(path);
  return extension == ".mp3" || extension == ".wav";
}

bool carriesAnyTag(const FileTags& tags) {
  return !tags.id3Frames.empty() ||
         std::any_of(tags.values.begin(), tags.values.end(), [](const auto& tag) { return !tag.second.empty(); });
}

bool readFileTags(const std::string& path, FileTags& tags) {
  const std::string extension = lowerExtension(path);
  if (extension == ".wav") return readWaveTags(path, tags.values);
  if (extension != ".mp3") return false;
  auto bytes = openFileBytes(path);
  return bytes && readMp3Tags(*bytes, tags);
}

bool writeFileTags(const std::string& path, const FileTags& tags) { return writeFileTagsAs(path, path, tags); }

bool writeFileTagsAs(const std::string& path, const std::string& targetPath, const FileTags& tags) {
  const std::string extension = lowerExtension(targetPath);
  if (extension == ".wav") return writeWaveTags(path, tags.values);
  if (extension == ".mp3") return writeMp3Tags(path, tags);
  return false;
}
