#pragma once
// Folders, file names and the special places of the platform.

#include <cstdint>
#include <string>
#include <vector>

namespace sys {

// Creates the folder and any missing parents; true when it exists afterwards.
bool createFolder(const std::string& path);
bool folderExists(const std::string& path);
bool fileExists(const std::string& path);
bool deleteFile(const std::string& path);
bool removeEmptyFolder(const std::string& path);
// Names (not paths) of the plain files directly inside the folder.
std::vector<std::string> listFiles(const std::string& folder);
// The folder joined with a name, with one separator of the platform.
std::string joinPath(const std::string& folder, const std::string& name);
// Paths in either separator ('\\' or '/'), whatever the platform.
// The name after the last separator: the whole path when there is none,
// empty when the path ends in one.
std::string fileNameOf(const std::string& path);
// The folder holding that name: empty when there is no separator; a root
// keeps its separator ("C:\\a.wav" gives "C:\\", "/a.wav" gives "/").
std::string folderOf(const std::string& path);
// Replaces target by source in one step (the target is never missing or
// half-written) and writes the change through to the disk. On failure both
// files are left as they were.
bool replaceFile(const std::string& source, const std::string& target);
// Creates a new, empty file in the folder of target, hidden from casual view
// by its name (".<name>.<n>.tmp"), for writing what will replace target.
// Its path, or empty on failure. ending replaces ".tmp" for the programs that
// choose their output's kind by its name (".tmp.m4a").
std::string createFileBeside(const std::string& target, const std::string& ending = ".tmp");
// Bytes free for the current user on the volume holding path, or -1.
int64_t freeDiskSpace(const std::string& path);
// The per-user application-data folder, empty when unknown.
std::string userAppDataFolder();
// The system's temporary folder, ending without a separator.
std::string tempFolder();
// Creates a new folder inside parent whose name starts with prefix and that
// did not exist before (never an existing one); its path, or empty on failure.
std::string createUniqueFolder(const std::string& parent, const std::string& prefix);

}  // namespace sys
