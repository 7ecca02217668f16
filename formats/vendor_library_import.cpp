// Formats decoded by other vendors' libraries, loaded at run time when the
// user has them: VoiceIt (".sri"), the RealAudio engine and the DSS decoder.
// None of them ships with the system; each missing one has its own message.

#include "formats/import_messages.h"
#include "formats/importers.h"
#include "sys/folders.h"
#include "sys/library.h"
#include "sys/settings_store.h"

namespace {

// The RealAudio player records the folder of its common libraries here.
constexpr const char* kRealAudioKey = "Software\\RealNetworks\\Preferences\\DT_Common";
constexpr const char* kRealAudioEngine = "pnen3260.dll";

ImportOutcome failed(std::string message) { return {JobResult::Failed, std::move(message)}; }

ImportOutcome voiceIt(const std::string& input, const std::string& output) {
  sys::Library library = sys::Library::load("SrPump.dll");
  // One calling convention on x64; the name keeps its 32-bit decoration.
  using Convert = int (*)(const char* input, const char* output);
  auto convert = reinterpret_cast<Convert>(library.symbol("_Sr_CvtSri2WaveFile@8"));
  if (!convert) return failed(import_messages::voiceItMissing());
  convert(input.c_str(), output.c_str());
  // The converter's own answer is not documented: its output tells.
  auto bytes = openFileBytes(output);
  if (!bytes || !decodedWaveIsComplete(*bytes)) {
    bytes.reset();
    sys::deleteFile(output);
    return failed(import_messages::corrupt(input));
  }
  return {JobResult::Done, {}};
}

// The engine is found through the player's registration and loaded by full
// path. Its client interfaces are not published, so with the engine present
// the file is still one this program cannot open through it.
ImportOutcome realAudio() {
  std::string folder = sys::readMachineThenUser(kRealAudioKey, "");
  sys::Library engine = folder.empty() ? sys::Library() : sys::Library::load(sys::joinPath(folder, kRealAudioEngine));
  if (!engine.symbol("CreateEngine") || !engine.symbol("CloseEngine")) return failed(import_messages::realAudioMissing());
  return failed(import_messages::realAudioCannotOpen());
}

// The decoder's calling conventions are not published either: with the
// library present, decoding cannot be started.
ImportOutcome dss() {
  sys::Library library = sys::Library::load("dss32.dll");
  if (!library.symbol("DSSInitDecoder") || !library.symbol("DSSStartDecoding") || !library.symbol("DSSDecodeToPCM"))
    return failed(import_messages::dssMissing());
  return failed(import_messages::dssCannotStart());
}

}  // namespace

ImportOutcome importWithVendorLibrary(ImportMechanism mechanism, const std::string& input,
                                      const std::string& output) {
  switch (mechanism) {
    case ImportMechanism::VoiceIt: return voiceIt(input, output);
    case ImportMechanism::RealAudio: return realAudio();
    case ImportMechanism::Dss: return dss();
    default: return failed(import_messages::unsupported(input));
  }
}
