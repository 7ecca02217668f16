// The DirectX effect host against media objects built by the project for
// these tests (effects/tests/plugins/half_gain_dmo.cpp), registered in the
// test's prefix for the length of the suite: listed by the system's
// enumeration, created through COM, driven by the effect stage.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>

#include "effects/filter_job.h"
#include "effects/tests/edit_test_support.h"
#include "effects/win32/directx_effects.h"
#include "sys/win32/wide_text.h"

using namespace edittest;

namespace {

const CLSID kStreamingHalfGain = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x01}};
const CLSID kInPlaceHalfGain = {0x6A1D3C1E, 0x4B0F, 0x4F5E, {0x9C, 0x3A, 0x2E, 0x7B, 0x1D, 0x0A, 0x5F, 0x02}};

using ServerFunction = HRESULT(WINAPI*)();

class RegisteredHalfGain : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    s_module = LoadLibraryW(sys::win32::widen(ZED_TEST_HALF_GAIN_DMO).c_str());
    ASSERT_NE(s_module, nullptr);
    auto registerServer = reinterpret_cast<ServerFunction>(reinterpret_cast<void*>(GetProcAddress(s_module, "DllRegisterServer")));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_TRUE(SUCCEEDED(registerServer()));
  }
  static void TearDownTestSuite() {
    if (!s_module) return;
    if (auto unregister = reinterpret_cast<ServerFunction>(reinterpret_cast<void*>(GetProcAddress(s_module, "DllUnregisterServer"))))
      unregister();
  }
  static HMODULE s_module;
};

HMODULE RegisteredHalfGain::s_module = nullptr;

JobResult applyEffect(SoundBuffer& sound, int32_t start, int32_t end, const CLSID& classId) {
  std::shared_ptr<MediaObjectPort> object = openDirectXEffect(classId);
  return runFilter(sound, start, end, "DirectX Effects",
                   [&](SampleSourceRef input) { return makeRef<DmoEffectStage>(std::move(input), object); }, nullptr);
}

std::vector<Sample> pcmNoise(int32_t samples) {
  std::vector<Sample> noise;
  uint32_t state = 7;
  for (int32_t i = 0; i < samples; ++i) {
    state = state * 1664525u + 1013904223u;
    noise.push_back((static_cast<int32_t>(state >> 16) - 32768) * 16);
  }
  return noise;
}

}  // namespace

TEST_F(RegisteredHalfGain, TheSystemsListHoldsTheRegisteredEffectsByName) {
  std::vector<DirectXEffectEntry> effects = listDirectXEffects();
  auto named = [&](const std::string& name, const CLSID& classId) {
    return std::any_of(effects.begin(), effects.end(), [&](const DirectXEffectEntry& effect) {
      return effect.name == name && IsEqualCLSID(effect.classId, classId);
    });
  };
  EXPECT_TRUE(named("Zed Test Half Gain (streams)", kStreamingHalfGain));
  EXPECT_TRUE(named("Zed Test Half Gain (in place)", kInPlaceHalfGain));
}

TEST_F(RegisteredHalfGain, TheProcessedSelectionIsTheGainAppliedThroughStreamsOrInPlace) {
  for (const CLSID& classId : {kStreamingHalfGain, kInPlaceHalfGain}) {
    for (int channels : {1, 2}) {
      SCOPED_TRACE(channels);
      // 20,000 frames: blocks of 8,192, 8,192 and 3,616, each given back in
      // pieces by the streaming object.
      const std::vector<Sample> before = pcmNoise(20000 * channels + 100 * channels);
      SoundBuffer sound = soundFrom(before, channels, 32000);
      ASSERT_EQ(applyEffect(sound, 50, 20050, classId), JobResult::Done);
      const std::vector<Sample> after = samplesOf(sound);
      ASSERT_EQ(after.size(), before.size());
      int wrong = 0;
      for (size_t i = 0; i < before.size(); ++i) {
        const size_t frame = i / channels;
        const Sample expected = frame >= 50 && frame < 20050 ? before[i] / 16 / 2 * 16 : before[i];
        if (after[i] != expected) ++wrong;
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

TEST_F(RegisteredHalfGain, AFormatTheObjectRefusesFailsTheEffectAndChangesNothing) {
  const std::vector<Sample> before = pcmNoise(6 * 1000);  // six channels: more than the object takes
  SoundBuffer sound = soundFrom(before, 6);
  EXPECT_EQ(applyEffect(sound, 0, 1000, kStreamingHalfGain), JobResult::Failed);
  EXPECT_EQ(samplesOf(sound), before);
  SoundBuffer unknown = soundFrom(before, 6);
  EXPECT_EQ(applyEffect(unknown, 0, 1000, CLSID{0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}}), JobResult::Failed);
}
