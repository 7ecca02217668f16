#pragma once
// An effect job that is nothing but a source filter: the name, and how to
// wrap the selection's reader. The delay and filter effects are all of this
// kind; stages of one effect wrap one another.

#include <functional>
#include <string>
#include <utility>

#include "effects/effect_job.h"

class FilterJob final : public EffectJob {
 public:
  using Wrap = std::function<SampleSourceRef(SampleSourceRef input)>;
  FilterJob(std::string name, Wrap wrap) : m_name(std::move(name)), m_wrap(std::move(wrap)) {}
  std::string name() const override { return m_name; }
  SampleSourceRef process(SampleSourceRef input) override { return m_wrap(std::move(input)); }

 private:
  std::string m_name;
  Wrap m_wrap;
};

// Runs the filter that wrap makes over frames start..end-1 of sound.
inline JobResult runFilter(SoundBuffer& sound, int32_t start, int32_t end, const char* name, FilterJob::Wrap wrap,
                           ProgressCallback* progress) {
  FilterJob job(name, std::move(wrap));
  return runEffectJob(sound, start, end, job, progress);
}
