#include "formats/import_messages.h"

namespace import_messages {

namespace {
// Where users are sent for components, add-ons and help on formats.
constexpr const char* kComponentsPage = "https://www.zedirad.com/components/";
constexpr const char* kFormatsHelpPage = "https://www.zedirad.com/help/formats.html";
constexpr const char* kVoiceRecorderCodecPage = "https://www.zedirad.com/help/voice-recorder-codecs.html";
constexpr const char* kVoiceItPage = "https://www.zedirad.com/addons/voiceit.html";
constexpr const char* kDssPage = "https://www.zedirad.com/addons/dss.html";

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }
}  // namespace

std::string corrupt(const std::string& path) {
  return "Cannot open the file " + quotedPath(path) + " because it is corrupt.";
}
std::string missing(const std::string& path) {
  return "Cannot open the file " + quotedPath(path) + ". Check it exists and you have read access.";
}
std::string cannotOpen(const std::string& path) { return "Cannot open the file " + quotedPath(path) + "."; }

std::string componentNotInstalled(const std::string& component) {
  return "This program cannot install the required on-demand component \"" + component +
         "\".\r\n\r\nPlease download it from " + kComponentsPage + " and install it manually.";
}
std::string protectedOrCorruptWma(const std::string& path) {
  return "Cannot open file " + quotedPath(path) +
         ". It is possible that the file does not exist, it is corrupt or the file is protected with Digital "
         "Rights Management (DRM) which limits the recording to limited players.";
}
std::string vendorCodecMissing(const std::string& path) {
  return "Cannot open the file " + quotedPath(path) +
         " because the voice recorder codec it needs is not installed on this PC.\r\n\r\n"
         "The codec comes from the recorder's maker; see " +
         kVoiceRecorderCodecPage + " for where to obtain it.";
}
std::string unsupported(const std::string& path) {
  return "Cannot open the file " + quotedPath(path) +
         " because its format is not supported, or a codec or plug-in that it needs is not installed.\r\n\r\n"
         "See " +
         kFormatsHelpPage + " for the formats that can be opened and the codecs they need.";
}

std::string voiceItMissing() {
  return std::string("Unable to load the VoiceIt file SrPump.dll.\r\nPlease install the VoiceIt add-on from ") +
         kVoiceItPage + ".";
}
std::string realAudioMissing() {
  return "Unable to load Real Audio Core DLL.\r\n\r\nThis software required that the Real Audio Player be "
         "installed on your computer to load these files. Please download and install an uptodate version of "
         "Real Player.";
}
std::string realAudioCannotOpen() {
  return "Unable to open file with Real Player.\r\n\r\nThis might mean you do not have the codec installed.\r\n\r\n"
         "To resolve this, attempt to load the file using Real Player manually.";
}
std::string dssMissing() {
  return std::string("Unable to load the DSS decoder library dss32.dll.\r\nPlease install the DSS add-on from ") +
         kDssPage + ".";
}
std::string dssCannotStart() { return "Unable to start decoding DSS file."; }

std::string dictationLoadError() { return "DCT File load error"; }
std::string dictationCorrupt() { return "DCT File is corrupt"; }

}  // namespace import_messages
