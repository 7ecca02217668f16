#pragma once
// The host side of VST 2 plug-ins: the callback every plug-in gets, the
// process-wide list of loaded plug-in modules, the listing of a folder's
// plug-ins, and one opened plug-in ready to process at a sample rate.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "effects/vst_interface.h"
#include "sys/library.h"

// Answers the version request with 2 and the current-id request with 1;
// everything else with 0.
intptr_t vstHostCallback(VstEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* data, float option);

// Plug-in modules by file path. A module stays loaded until the program ends
// (effects of it may still be alive anywhere), so choosing the same file
// twice loads it once.
class VstModuleList {
 public:
  // The list the program uses.
  static VstModuleList& shared();
  // A new effect record from the module at path, loading the module the
  // first time. Null when the module cannot be loaded, has no entry point, or
  // gives no record carrying the plug-in magic; such a module is unloaded.
  VstEffect* createEffect(const std::string& path);
  size_t moduleCount() const;

 private:
  mutable std::mutex m_lock;
  std::vector<std::pair<std::string, sys::Library>> m_modules;
};

// The exported entry point of a plug-in module; null when it has none.
VstEntryPoint vstEntryPointOf(const sys::Library& module);

struct VstPluginEntry {
  std::string path;
  std::string name;  // the plug-in's own name, or the file's name without its extension
};

// Every "*.dll" of the folder that is a VST effect, sorted by file name. Each
// is loaded for the look and unloaded again.
std::vector<VstPluginEntry> listVstPlugins(const std::string& folder);
// One module's entry; nothing when it is no VST effect.
std::optional<VstPluginEntry> probeVstPlugin(const std::string& path);

// One plug-in effect, opened and switched on at a sample rate; closed when
// the last holder lets it go. The configuration dialog and the effect stage
// share one, so that what the user set is what processes.
class VstPlugin {
 public:
  // Null when the module gives no effect.
  static std::shared_ptr<VstPlugin> open(const std::string& path, int32_t sampleRate,
                                         VstModuleList& modules = VstModuleList::shared());
  explicit VstPlugin(VstEffect* effect, int32_t sampleRate);
  ~VstPlugin();
  VstPlugin(const VstPlugin&) = delete;
  VstPlugin& operator=(const VstPlugin&) = delete;

  VstEffect& effect() { return *m_effect; }
  int32_t sampleRate() const { return m_sampleRate; }
  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* data = nullptr, float option = 0.0f);
  bool hasEditor() const { return (m_effect->flags & kVstFlagHasEditor) != 0; }
  int32_t parameterCount() const { return m_effect->numParams; }
  std::string parameterName(int32_t index);
  float parameter(int32_t index);
  void setParameter(int32_t index, float value);

 private:
  VstEffect* m_effect;
  int32_t m_sampleRate;
};

// A name a plug-in wrote into a buffer of kVstNameBytes: up to its first NUL.
std::string vstText(const char* buffer);
