#include "formats/import_route.h"

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

ImportRoute component(const char* title, const char* name, const char* options, DecoderArguments order,
                      bool rawOutput = false) {
  ImportRoute route;
  route.mechanism = ImportMechanism::Component;
  route.title = title;
  route.component = name;
  route.options = options;
  route.order = order;
  route.rawOutput = rawOutput;
  return route;
}

ImportRoute other(ImportMechanism mechanism, const char* title) {
  ImportRoute route;
  route.mechanism = mechanism;
  route.title = title;
  return route;
}

}  // namespace

ImportRoute importRouteFor(const std::string& extension) {
  using enum DecoderArguments;
  const std::string& e = extension;
  if (e == ".dct") return other(ImportMechanism::Dictation, "Loading DCT File");
  // aacdec's two spaces after "-d" are what it has always been given.
  if (e == ".aac" || e == ".m4a") return component("Decoding AAC file", "aacdec", " -d  -o", OutputThenInput);
  if (e == ".ogg") return component("Decoding Ogg file", "oggdec", " -o", OutputThenInput);
  if (e == ".flac") return component("Decoding FLAC file", "flacdec", " -d -f -o", OutputThenInput);
  if (e == ".amr") return component("Loading AMR file", "amrdec", "", InputThenOutput, true);
  if (e == ".dss") return other(ImportMechanism::Dss, "Decoding DSS File");
  if (e == ".ra" || e == ".ram" || e == ".rm" || e == ".rmj")
    return other(ImportMechanism::RealAudio, "Decoding Real Audio");
  if (e == ".sri") return other(ImportMechanism::VoiceIt, "Decoding VoiceIt File");
  if (e == ".act" || e == ".rec" || e == ".rcd")
    return component("Decoding Record file", "actdec", "", InputThenOutput);
  if (e == ".shn") return component("Decoding Shn file", "shndec", " -x", InputThenOutput);
  return other(ImportMechanism::MediaFramework, "Decoding with DirectX");
}

std::string decoderCommandLine(const ImportRoute& route, const std::string& program, const std::string& input,
                               const std::string& output) {
  const std::string& first = route.order == DecoderArguments::OutputThenInput ? output : input;
  const std::string& second = route.order == DecoderArguments::OutputThenInput ? input : output;
  return quoted(program) + route.options + " " + quoted(first) + " " + quoted(second);
}
