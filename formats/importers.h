#pragma once
// The importers behind openSoundFile for the formats without a reader of
// their own: each turns the input into a temporary file and says what went
// wrong in a message of its own.

#include <cstdint>
#include <string>

#include "core/source_status.h"
#include "formats/byte_source.h"
#include "formats/formats.h"
#include "formats/import_host.h"
#include "formats/import_route.h"

struct ImportOutcome {
  JobResult result = JobResult::Failed;
  std::string message;  // for Failed: what the user is told
};

struct DecoderLimits {
  int sliceMs = 500;              // the bar creeps on after each slice
  int64_t longestMs = 3600000;    // a decoder still running after this has failed
};

// Runs the route's decoder component (installing it on demand) into output.
ImportOutcome importWithComponent(const ImportRoute& route, const std::string& input, const std::string& output,
                                  ImportHost& host, const DecoderLimits& limits = {});
// Runs the started decoder's command line and waits for it: the creeping bar,
// Cancel (which ends the decoder and deletes its output), the exit code and
// the output's check.
ImportOutcome runDecoder(const std::string& commandLine, const ImportRoute& route, const std::string& input,
                         const std::string& output, ImportHost& host, const DecoderLimits& limits);
ImportOutcome importWithMediaFramework(const std::string& input, const std::string& output, ImportHost& host);
ImportOutcome importWithVendorLibrary(ImportMechanism mechanism, const std::string& input,
                                      const std::string& output);
ImportOutcome importDictation(const std::string& input);

// A decoder's WAVE output is usable only when its header is whole and its data
// size was filled in: 0xFFFFFFFF is what a writer leaves when it stops before
// its end, and the samples after that point are missing.
bool decodedWaveIsComplete(ByteSource& bytes);
// The dictation header check on bytes: the message of what is wrong with them.
std::string dictationProblem(ByteSource& bytes);

// The whole import of a file with no reader of its own, with the messages
// of its route; openSoundFile hands such files here.
OpenedSound importSoundFile(const std::string& path, const FormatContext& context);
