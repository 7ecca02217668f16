#pragma once
// How each extension that has no reader of its own is imported: the
// progress title, the mechanism, and for decoder components the component's
// name and command line.

#include <string>

enum class ImportMechanism {
  Component,       // a registered decoder program
  MediaFramework,  // the system's media framework (DirectShow)
  VoiceIt,         // vendor libraries loaded at run time
  RealAudio,
  Dss,
  Dictation,       // our own dictation-file reader
};

// The order of the paths in a decoder's command line.
enum class DecoderArguments { OutputThenInput, InputThenOutput };

struct ImportRoute {
  ImportMechanism mechanism = ImportMechanism::MediaFramework;
  std::string title;
  std::string component;  // for Component
  // The options around the quoted paths: "\"program\"" + before + paths.
  std::string options;
  DecoderArguments order = DecoderArguments::OutputThenInput;
  // The decoder writes headerless 16-bit samples at 8,000 Hz, one channel,
  // instead of a WAVE file.
  bool rawOutput = false;
};

// The route of a lower-case extension with its dot; unknown extensions go
// to the media framework.
ImportRoute importRouteFor(const std::string& extension);

// The decoder's command line: the program quoted, the route's options and
// the two paths quoted in the route's order.
std::string decoderCommandLine(const ImportRoute& route, const std::string& program, const std::string& input,
                               const std::string& output);
