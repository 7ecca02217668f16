// Opening a file that has no reader of its own: its route's importer
// decodes it into a temporary file, which is then read like any other.

#include "core/silence_source.h"
#include "formats/extension.h"
#include "formats/import_messages.h"
#include "formats/import_output.h"
#include "formats/importers.h"
#include "sys/folders.h"

namespace {

// What a component decoder writes instead of WAVE: 16-bit samples, 8,000 a
// second, one channel.
const RawFormat kRawDecoderOutput{8000, 1, RawCodec::Pcm16LE};

// Messages about the temporary file name the file the user opened.
class OriginalPathUi final : public FileUi {
 public:
  OriginalPathUi(FileUi& inner, std::string temporary, std::string original)
      : m_inner(inner), m_temporary(std::move(temporary)), m_original(std::move(original)) {}
  void showError(const std::string& text) override {
    std::string shown = text;
    for (size_t at = shown.find(m_temporary); at != std::string::npos;
         at = shown.find(m_temporary, at + m_original.size()))
      shown.replace(at, m_temporary.size(), m_original);
    m_inner.showError(shown);
  }
  bool chooseRawFormat(const std::string& path, RawFormat& format) override {
    return m_inner.chooseRawFormat(path, format);
  }

 private:
  FileUi& m_inner;
  std::string m_temporary;
  std::string m_original;
};

OpenedSound failedWith(const FormatContext& context, SourceStatus status, const std::string& message) {
  if (context.ui && !message.empty()) context.ui->showError(message);
  return {makeSilenceSource(status), 2};
}

ImportOutcome decode(const ImportRoute& route, const std::string& input, const std::string& output,
                     ImportHost& host) {
  switch (route.mechanism) {
    case ImportMechanism::Component: return importWithComponent(route, input, output, host);
    case ImportMechanism::MediaFramework: return importWithMediaFramework(input, output, host);
    case ImportMechanism::Dictation: return importDictation(input);
    case ImportMechanism::VoiceIt:
    case ImportMechanism::RealAudio:
    case ImportMechanism::Dss: return importWithVendorLibrary(route.mechanism, input, output);
  }
  return {JobResult::Failed, import_messages::unsupported(input)};
}

}  // namespace

OpenedSound importSoundFile(const std::string& path, const FormatContext& context) {
  const ImportRoute route = importRouteFor(lowerExtension(path));
  if (!sys::fileExists(path)) return failedWith(context, SourceStatus::CannotOpen, import_messages::missing(path));
  // Without a program around it (no dialog, no components) nothing imports.
  if (!context.importer) return failedWith(context, SourceStatus::CodecMissing, import_messages::unsupported(path));
  ImportHost& host = *context.importer;
  host.showImport(route.title, path);

  std::string output = claimImportOutput(host.outputFolder(), route.rawOutput ? ".raw" : ".wav");
  if (output.empty()) return failedWith(context, SourceStatus::CannotCreate, import_messages::cannotOpen(path));
  ImportOutcome outcome = decode(route, path, output, host);
  if (outcome.result == JobResult::Cancelled) return {makeSilenceSource(SourceStatus::Good), 1};
  if (outcome.result != JobResult::Done) return failedWith(context, SourceStatus::Corrupt, outcome.message);

  if (route.rawOutput) {
    auto source = openRawSource(openFileBytes(output), kRawDecoderOutput);
    if (source->good()) return {std::move(source), 0};
    return failedWith(context, source->status(), import_messages::corrupt(path));
  }
  FormatContext waveContext = context;
  waveContext.importer = nullptr;
  std::unique_ptr<OriginalPathUi> ui;
  if (context.ui) {
    ui = std::make_unique<OriginalPathUi>(*context.ui, output, path);
    waveContext.ui = ui.get();
  }
  return openSoundFile(output, waveContext);
}
