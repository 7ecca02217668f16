#include "effects/vst_host.h"

#include <algorithm>
#include <cstring>

#include "sys/folders.h"

namespace {

bool hasDllExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".dll";
}

std::string nameWithoutExtension(const std::string& path) {
  std::string name = sys::fileNameOf(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The record from a module's entry point, when it is a plug-in's. A record
// without the magic is not a plug-in's, so none of its pointers is called.
VstEffect* createdEffect(const sys::Library& module) {
  VstEntryPoint entry = vstEntryPointOf(module);
  if (!entry) return nullptr;
  VstEffect* effect = entry(vstHostCallback);
  if (!effect || effect->magic != kVstMagic || !effect->dispatcher) return nullptr;
  return effect;
}

}  // namespace

intptr_t vstHostCallback(VstEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  switch (opcode) {
    case vsthost::kVersion: return 2;
    case vsthost::kCurrentId: return 1;
    default: return 0;
  }
}

VstEntryPoint vstEntryPointOf(const sys::Library& module) {
  // Older plug-ins export "main"; newer ones add "VSTPluginMain" beside it,
  // and some export only that.
  void* entry = module.symbol("main");
  if (!entry) entry = module.symbol("VSTPluginMain");
  return reinterpret_cast<VstEntryPoint>(entry);
}

std::string vstText(const char* buffer) { return std::string(buffer, strnlen(buffer, kVstNameBytes - 1)); }

VstModuleList& VstModuleList::shared() {
  static VstModuleList list;
  return list;
}

VstEffect* VstModuleList::createEffect(const std::string& path) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = std::find_if(m_modules.begin(), m_modules.end(), [&](const auto& entry) { return entry.first == path; });
  if (found != m_modules.end()) return createdEffect(found->second);
  sys::Library module = sys::Library::load(path);
  if (!module.loaded()) return nullptr;
  VstEffect* effect = createdEffect(module);
  if (effect) m_modules.emplace_back(path, std::move(module));
  return effect;  // a module without an effect is unloaded here
}

size_t VstModuleList::moduleCount() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_modules.size();
}

std::optional<VstPluginEntry> probeVstPlugin(const std::string& path) {
  sys::Library module = sys::Library::load(path);
  if (!module.loaded()) return std::nullopt;
  VstEffect* effect = createdEffect(module);
  if (!effect) return std::nullopt;
  char name[kVstNameBytes] = {};
  effect->dispatcher(effect, vstop::kSetProgram, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, vstop::kGetEffectName, 0, 0, name, 0.0f);
  effect->dispatcher(effect, vstop::kClose, 0, 0, nullptr, 0.0f);
  VstPluginEntry entry{path, vstText(name)};
  if (entry.name.empty()) entry.name = nameWithoutExtension(path);
  return entry;
}

std::vector<VstPluginEntry> listVstPlugins(const std::string& folder) {
  std::vector<std::string> names = sys::listFiles(folder);
  std::sort(names.begin(), names.end());
  std::vector<VstPluginEntry> plugins;
  for (const std::string& name : names) {
    if (!hasDllExtension(name)) continue;
    if (auto entry = probeVstPlugin(sys::joinPath(folder, name))) plugins.push_back(std::move(*entry));
  }
  return plugins;
}

std::shared_ptr<VstPlugin> VstPlugin::open(const std::string& path, int32_t sampleRate, VstModuleList& modules) {
  VstEffect* effect = modules.createEffect(path);
  if (!effect) return nullptr;
  return std::make_shared<VstPlugin>(effect, sampleRate);
}

VstPlugin::VstPlugin(VstEffect* effect, int32_t sampleRate) : m_effect(effect), m_sampleRate(sampleRate) {
  dispatch(vstop::kOpen);
  dispatch(vstop::kMainsChanged, 0, 0);
  dispatch(vstop::kSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  dispatch(vstop::kMainsChanged, 0, 1);
}

VstPlugin::~VstPlugin() {
  dispatch(vstop::kMainsChanged, 0, 0);
  dispatch(vstop::kClose);
}

intptr_t VstPlugin::dispatch(int32_t opcode, int32_t index, intptr_t value, void* data, float option) {
  return m_effect->dispatcher(m_effect, opcode, index, value, data, option);
}

std::string VstPlugin::parameterName(int32_t index) {
  char name[kVstNameBytes] = {};
  dispatch(vstop::kGetParamName, index, 0, name);
  return vstText(name);
}

float VstPlugin::parameter(int32_t index) {
  return m_effect->getParameter ? m_effect->getParameter(m_effect, index) : 0.0f;
}

void VstPlugin::setParameter(int32_t index, float value) {
  if (m_effect->setParameter) m_effect->setParameter(m_effect, index, value);
}
