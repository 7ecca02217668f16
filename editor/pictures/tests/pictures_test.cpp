// The button pictures as pixels: what is drawn, where, and on which
// background.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "editor/command_ids.h"
#include "editor/pictures/pictures.h"

namespace {

// A picture read back as 0x00RRGGBB values, row by row from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> values;

  uint32_t at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Pixels&) const = default;
};

uint32_t rgb(COLORREF colour) { return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour); }

Pixels readPicture(const ui::Bitmap& picture) {
  HBITMAP bitmap = picture.get();
  Pixels pixels;
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return pixels;
  pixels.width = info.bmWidth;
  pixels.height = info.bmHeight;
  pixels.values.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = -info.bmHeight;  // top-down rows
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.values.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != info.bmHeight) pixels.values.clear();
  for (uint32_t& value : pixels.values) value &= 0xFFFFFF;
  return pixels;
}

// Pixels that are not the button face, in columns [from, to).
int inkIn(const Pixels& pixels, int from, int to) {
  uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
  int count = 0;
  for (int y = 0; y < pixels.height; ++y)
    for (int x = from; x < to; ++x) count += pixels.at(x, y) != face;
  return count;
}

int ink(const Pixels& pixels) { return inkIn(pixels, 0, pixels.width); }

bool hasColour(const Pixels& pixels, COLORREF colour) {
  for (uint32_t value : pixels.values)
    if (value == rgb(colour)) return true;
  return false;
}

const int kEffectsToolbar[] = {cmd::CopyToNew,     cmd::Trim,          cmd::SplitHere,   cmd::MixFile,
                               cmd::InsertSilenceCurrent, cmd::Amplify, cmd::Normalize,  cmd::Equalizer,
                               cmd::Echo,          cmd::Reverb,        cmd::Reverse,     cmd::FadeIn,
                               cmd::FadeOut,       cmd::CrossFade,     cmd::NoiseGating, cmd::PitchChange,
                               cmd::SpeedChange,   cmd::SpeedAndPitch, cmd::DirectX,     cmd::Vst,
                               cmd::Fft,           cmd::AutoClickRepair, cmd::Tfft};

TEST(EffectPictures, EveryToolbarCommandHasItsOwnPictureOnTheButtonFace) {
  uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
  std::map<int, Pixels> drawn;
  for (int command : kEffectsToolbar) {
    SCOPED_TRACE(command);
    Pixels pixels = readPicture(pictures::drawEffectPicture(command));
    ASSERT_EQ(pixels.width, pictures::kEffectSize);
    ASSERT_EQ(pixels.height, pictures::kEffectSize);
    ASSERT_EQ(pixels.values.size(), 16u * 16u);
    // The toolbar masks the face colour: some of it must be left, and
    // enough ink to be seen.
    EXPECT_GT(ink(pixels), 12);
    EXPECT_LT(ink(pixels), 16 * 16) << "no background left for the mask";
    EXPECT_EQ(pixels.at(15, 0), face) << "the top right corner is not background";
    for (const auto& [other, otherPixels] : drawn) EXPECT_NE(pixels, otherPixels) << "same picture as " << other;
    drawn[command] = pixels;
  }
}

TEST(EffectPictures, CommandsOutsideTheToolbarHaveNone) {
  for (int command : {0, cmd::Play, cmd::Undo, cmd::HelpContents, cmd::Envelope, -1})
    EXPECT_FALSE(pictures::drawEffectPicture(command)) << command;
}

TEST(EffectPictures, FadesGrowTowardsTheirLoudEnd) {
  // The wave's height shows as ink in the outer rows: a fade in is tall on
  // the right, a fade out on the left.
  auto outerInk = [](const Pixels& pixels, int from, int to) {
    uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
    int count = 0;
    for (int y : {0, 1, 2, 3, 12, 13, 14, 15})
      for (int x = from; x < to; ++x) count += pixels.at(x, y) != face;
    return count;
  };
  Pixels in = readPicture(pictures::drawEffectPicture(cmd::FadeIn));
  Pixels out = readPicture(pictures::drawEffectPicture(cmd::FadeOut));
  ASSERT_EQ(in.values.size(), 256u);
  ASSERT_EQ(out.values.size(), 256u);
  EXPECT_EQ(outerInk(in, 0, 6), 0);
  EXPECT_GT(outerInk(in, 10, 16), 0);
  EXPECT_GT(outerInk(out, 0, 6), 0);
  EXPECT_EQ(outerInk(out, 10, 16), 0);
}

TEST(TransportPictures, LitPlayAndStopKeepTheShapeInAnotherColour) {
  using pictures::TransportPicture;
  const std::pair<TransportPicture, TransportPicture> pairs[] = {
      {TransportPicture::Play, TransportPicture::PlayActive},
      {TransportPicture::Stop, TransportPicture::StopActive},
  };
  uint32_t face = rgb(GetSysColor(COLOR_BTNFACE));
  for (const auto& [plain, lit] : pairs) {
    SCOPED_TRACE(static_cast<int>(plain));
    Pixels plainPixels = readPicture(pictures::drawTransportPicture(plain));
    Pixels litPixels = readPicture(pictures::drawTransportPicture(lit));
    ASSERT_EQ(plainPixels.width, pictures::kTransportWidth);
    ASSERT_EQ(plainPixels.height, pictures::kTransportHeight);
    ASSERT_EQ(litPixels.width, plainPixels.width);
    ASSERT_EQ(litPixels.height, plainPixels.height);
    ASSERT_FALSE(plainPixels.values.empty());
    ASSERT_FALSE(litPixels.values.empty());
    EXPECT_TRUE(hasColour(plainPixels, RGB(0, 0, 0)));
    EXPECT_FALSE(hasColour(litPixels, RGB(0, 0, 0))) << "the lit picture is still black";
    // Same place, other colour: background where the plain one has none.
    for (size_t i = 0; i < plainPixels.values.size(); ++i)
      EXPECT_EQ(plainPixels.values[i] == face, litPixels.values[i] == face) << "pixel " << i;
  }
}

TEST(TransportPictures, EachButtonHasInkAndTheyDiffer) {
  using pictures::TransportPicture;
  const TransportPicture all[] = {TransportPicture::Play,  TransportPicture::PlayActive, TransportPicture::Pause,
                                  TransportPicture::Stop,  TransportPicture::StopActive, TransportPicture::Start,
                                  TransportPicture::Rewind, TransportPicture::Forward,   TransportPicture::End,
                                  TransportPicture::Record};
  std::vector<Pixels> drawn;
  for (TransportPicture picture : all) {
    SCOPED_TRACE(static_cast<int>(picture));
    Pixels pixels = readPicture(pictures::drawTransportPicture(picture));
    ASSERT_EQ(pixels.values.size(), static_cast<size_t>(pictures::kTransportWidth * pictures::kTransportHeight));
    EXPECT_GT(ink(pixels), 20);
    for (const Pixels& other : drawn) EXPECT_NE(pixels, other);
    drawn.push_back(pixels);
  }
  // Rewind points left: its flat sides stand on the right, where Fast
  // Forward has only its tip, and the other way round on the left.
  Pixels rewind = readPicture(pictures::drawTransportPicture(TransportPicture::Rewind));
  Pixels forward = readPicture(pictures::drawTransportPicture(TransportPicture::Forward));
  EXPECT_GT(inkIn(rewind, 17, 18), inkIn(forward, 17, 18) + 5);
  EXPECT_GT(inkIn(forward, 4, 5), inkIn(rewind, 4, 5) + 5);
}

}  // namespace
