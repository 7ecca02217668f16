#pragma once
// Writing one recording as a backup: a working copy in the temporary folder
// is decoded, made mono at 8,000 Hz, and encoded as GSM 6.10 (bare, or
// inside a WAVE file) or as MP3 at a constant 8 or 16 kbps through the
// encoder component. The target is replaced only by a complete file.

#include <string>

#include "core/sample_source.h"
#include "formats/formats.h"
#include "recorder/model/backup_plan.h"

namespace recorder {

// The GSM 6.10 wave-format record: mono, 8,000 Hz, 65-byte blocks of 320 samples.
std::vector<uint8_t> gsm610WaveRecord();

// workFolder holds the working copy while it is read. Done, Cancelled, or
// Failed (the target is then left as it was).
JobResult writeBackupFile(const std::string& source, const std::string& target, BackupCompression compression,
                          const FormatContext& formats, const std::string& workFolder, ProgressCallback* progress);

}  // namespace recorder
