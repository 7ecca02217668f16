// Decoder components: separate programs started hidden with the command line
// of their route, waited for while the interface stays alive.

#include <chrono>

#include "formats/import_messages.h"
#include "formats/importers.h"
#include "sys/folders.h"
#include "sys/process.h"

namespace {

using Clock = std::chrono::steady_clock;

// Between polls of Cancel; short, so that the interface stays responsive.
constexpr int kPollMs = 20;
// Fine enough that every step of the creep shows in the value.
constexpr int64_t kBarRange = 1000000;
// The bar starts at 3 % and each slice takes 1 % of what is left, so that it
// creeps towards full without reaching it: the decoders say nothing of their
// progress.
constexpr double kFirstRemaining = 0.97;
constexpr double kRemainingPerSlice = 0.99;

int64_t elapsedMs(Clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

ImportOutcome failed(std::string message) { return {JobResult::Failed, std::move(message)}; }

bool outputIsComplete(const ImportRoute& route, const std::string& output) {
  auto bytes = openFileBytes(output);
  if (!bytes) return false;
  return route.rawOutput || decodedWaveIsComplete(*bytes);
}

}  // namespace

ImportOutcome runDecoder(const std::string& commandLine, const ImportRoute& route, const std::string& input,
                         const std::string& output, ImportHost& host, const DecoderLimits& limits) {
  sys::Process decoder;
  if (!decoder.startAlone(commandLine, true)) return failed(import_messages::cannotOpen(input));

  const Clock::time_point start = Clock::now();
  Clock::time_point sliceStart = start;
  double remaining = kFirstRemaining;
  while (!decoder.wait(kPollMs)) {
    if (host.cancelled()) {
      // A decoder left running would go on filling the temporary folder
      // for a file nobody opens.
      decoder.terminate();
      sys::deleteFile(output);
      return {JobResult::Cancelled, {}};
    }
    if (elapsedMs(sliceStart) >= limits.sliceMs) {
      host.setProgress(kBarRange - static_cast<int64_t>(remaining * kBarRange), kBarRange);
      remaining *= kRemainingPerSlice;
      sliceStart = Clock::now();
    }
    if (elapsedMs(start) >= limits.longestMs) {
      decoder.terminate();
      sys::deleteFile(output);
      return failed(import_messages::cannotOpen(input));
    }
  }
  // A decoder that stopped part-way says so by its exit code; what it wrote
  // is not the whole file.
  if (decoder.exitCode() != 0 || !outputIsComplete(route, output)) {
    sys::deleteFile(output);
    return failed(import_messages::corrupt(input));
  }
  return {JobResult::Done, {}};
}

ImportOutcome importWithComponent(const ImportRoute& route, const std::string& input, const std::string& output,
                                  ImportHost& host, const DecoderLimits& limits) {
  std::string program = host.componentPath(route.component);
  if (program.empty()) {
    JobResult installed = host.installComponent(route.component);
    if (installed == JobResult::Cancelled) return {JobResult::Cancelled, {}};
    program = host.componentPath(route.component);
    if (program.empty()) return failed(import_messages::componentNotInstalled(route.component));
    // The download showed texts of its own.
    host.showImport(route.title, input);
  }
  return runDecoder(decoderCommandLine(route, program, input, output), route, input, output, host, limits);
}
