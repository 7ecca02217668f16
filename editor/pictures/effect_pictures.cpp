// The effects toolbar's pictures, 16 by 16: most show a wave and what the
// command does to it.

#include <cmath>
#include <vector>

#include "editor/command_ids.h"
#include "editor/pictures/picture_canvas.h"
#include "editor/pictures/pictures.h"

namespace pictures {

namespace {

constexpr COLORREF kWave = RGB(0, 70, 140);
constexpr COLORREF kSecondWave = RGB(0, 140, 0);
constexpr COLORREF kMark = RGB(200, 0, 0);
constexpr COLORREF kFaint = RGB(140, 140, 140);
constexpr COLORREF kDark = RGB(64, 64, 64);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr int kMiddle = 8;

void fullWave(PictureCanvas& canvas, double amplitude, double cycles = 3, COLORREF colour = kWave) {
  canvas.wave(1, 15, kMiddle, cycles, [=](double) { return amplitude; }, colour);
}

// An arrow along row y from x = from to x = to, its head at `to`.
void horizontalArrow(PictureCanvas& canvas, int from, int to, int y, COLORREF colour) {
  int direction = to > from ? 1 : -1;
  canvas.line({from, y}, {to - 2 * direction, y}, colour);
  canvas.polygon({{to, y}, {to - 3 * direction, y - 3}, {to - 3 * direction, y + 3}}, colour);
}

void verticalArrow(PictureCanvas& canvas, int x, int from, int to, COLORREF colour) {
  int direction = to > from ? 1 : -1;
  canvas.line({x, from}, {x, to - 2 * direction}, colour);
  canvas.polygon({{x, to}, {x - 2, to - 2 * direction}, {x + 2, to - 2 * direction}}, colour);
}

// A quaver whose head sits at (x, y).
void note(PictureCanvas& canvas, int x, int y, COLORREF colour) {
  canvas.ellipse(RECT{x, y, x + 5, y + 4}, colour);
  canvas.line({x + 4, y + 1}, {x + 4, y - 9}, colour);
  canvas.line({x + 4, y - 9}, {x + 7, y - 6}, colour);
}

void page(PictureCanvas& canvas, const RECT& area) {
  canvas.fill(area, kPaper);
  canvas.frame(area, kDark);
}

void copyToNew(PictureCanvas& canvas) {
  page(canvas, RECT{1, 1, 10, 12});
  page(canvas, RECT{5, 4, 15, 15});
  canvas.wave(6, 14, 10, 2, [](double) { return 3.0; }, kWave);
}

void trim(PictureCanvas& canvas) {
  // What stays is the part between the marks.
  canvas.wave(1, 15, kMiddle, 3, [](double) { return 5.0; }, kFaint);
  canvas.wave(5, 11, kMiddle, 1.5, [](double) { return 5.0; }, kWave);
  canvas.line({4, 1}, {4, 15}, kMark);
  canvas.line({11, 1}, {11, 15}, kMark);
}

void split(PictureCanvas& canvas) {
  canvas.wave(1, 7, kMiddle, 1.5, [](double) { return 5.0; }, kWave);
  canvas.wave(9, 15, kMiddle, 1.5, [](double) { return 5.0; }, kSecondWave);
  canvas.fill(RECT{7, 0, 9, 16}, kMark);
}

void mix(PictureCanvas& canvas) {
  fullWave(canvas, 5, 2);
  fullWave(canvas, 3, 4.5, kSecondWave);
}

void insertSilence(PictureCanvas& canvas) {
  canvas.wave(1, 6, kMiddle, 1.5, [](double) { return 5.0; }, kWave);
  canvas.line({5, kMiddle}, {10, kMiddle}, kMark, 2);
  canvas.wave(10, 15, kMiddle, 1.5, [](double) { return 5.0; }, kWave);
}

void amplify(PictureCanvas& canvas) {
  canvas.wave(1, 8, kMiddle, 1.5, [](double) { return 2.0; }, kWave);
  canvas.wave(8, 15, kMiddle, 1.5, [](double) { return 6.0; }, kWave);
  verticalArrow(canvas, 4, 14, 2, kMark);
}

void normalize(PictureCanvas& canvas) {
  for (int x = 0; x < 16; x += 2) {
    canvas.setPixel(x, 1, kMark);
    canvas.setPixel(x, 15, kMark);
  }
  canvas.wave(1, 15, kMiddle, 2.5, [](double t) { return 7.0 - 2.0 * std::abs(0.5 - t); }, kWave);
}

void equalizer(PictureCanvas& canvas) {
  const int knobs[] = {10, 4, 7, 12};
  for (int i = 0; i < 4; ++i) {
    int x = 2 + 4 * i;
    canvas.line({x, 1}, {x, 15}, kFaint);
    canvas.fill(RECT{x - 1, knobs[i] - 1, x + 2, knobs[i] + 2}, kWave);
  }
}

void echo(PictureCanvas& canvas) {
  canvas.wave(1, 6, kMiddle, 1.5, [](double) { return 6.0; }, kWave);
  canvas.wave(6, 11, kMiddle, 1.5, [](double) { return 3.5; }, kWave);
  canvas.wave(11, 16, kMiddle, 1.5, [](double) { return 1.5; }, kWave);
}

void reverb(PictureCanvas& canvas) {
  canvas.wave(1, 15, kMiddle, 6, [](double t) { return 6.5 * std::exp(-3.0 * t); }, kWave);
}

void reverse(PictureCanvas& canvas) {
  horizontalArrow(canvas, 14, 1, 3, kMark);
  canvas.wave(1, 15, 11, 2, [](double t) { return 3.5 * t; }, kWave);
}

void fadeIn(PictureCanvas& canvas) { canvas.wave(1, 15, kMiddle, 4, [](double t) { return 6.5 * t; }, kWave); }

void fadeOut(PictureCanvas& canvas) {
  canvas.wave(1, 15, kMiddle, 4, [](double t) { return 6.5 * (1 - t); }, kWave);
}

void crossFade(PictureCanvas& canvas) {
  canvas.wave(1, 15, kMiddle, 4, [](double t) { return 6.5 * (1 - t); }, kWave);
  canvas.wave(1, 15, kMiddle, 3, [](double t) { return 6.5 * t; }, kSecondWave);
}

void noiseReduction(PictureCanvas& canvas) {
  // Hiss on the left, the clean sound it leaves on the right.
  const int hiss[] = {6, 10, 5, 11, 7, 9, 4, 12};
  std::vector<POINT> points;
  for (int i = 0; i < 8; ++i) points.push_back(POINT{1 + i, hiss[i]});
  canvas.polyline(points, kFaint);
  canvas.wave(9, 15, kMiddle, 1, [](double) { return 5.0; }, kWave);
}

void pitchChange(PictureCanvas& canvas) {
  note(canvas, 1, 10, kWave);
  verticalArrow(canvas, 12, 8, 1, kMark);
  verticalArrow(canvas, 12, 8, 15, kMark);
}

void speedChange(PictureCanvas& canvas) {
  horizontalArrow(canvas, 1, 14, 3, kMark);
  canvas.wave(1, 15, 11, 4, [](double) { return 3.5; }, kWave);
}

void speedAndPitch(PictureCanvas& canvas) {
  note(canvas, 1, 11, kWave);
  horizontalArrow(canvas, 9, 15, 4, kMark);
  verticalArrow(canvas, 12, 14, 8, kMark);
}

void directX(PictureCanvas& canvas) {
  // A plug: the effect comes from outside the program.
  canvas.line({0, 8}, {3, 8}, kDark, 2);
  canvas.fill(RECT{3, 4, 11, 13}, kSecondWave);
  canvas.frame(RECT{3, 4, 11, 13}, kDark);
  canvas.line({11, 6}, {15, 6}, kDark, 2);
  canvas.line({11, 11}, {15, 11}, kDark, 2);
}

void vst(PictureCanvas& canvas) {
  // A rack unit with its knobs.
  canvas.fill(RECT{1, 3, 15, 13}, kDark);
  for (int x : {3, 8}) canvas.ellipse(RECT{x, 5, x + 5, 10}, kPaper);
  canvas.fill(RECT{2, 11, 14, 12}, kMark);
}

void spectrum(PictureCanvas& canvas) {
  const int heights[] = {4, 9, 13, 10, 7, 8, 5};
  for (int i = 0; i < 7; ++i) {
    int x = 1 + 2 * i;
    canvas.fill(RECT{x, 15 - heights[i], x + 2, 15}, i % 2 ? kWave : kSecondWave);
  }
  canvas.line({0, 15}, {15, 15}, kDark);
}

void clickRepair(PictureCanvas& canvas) {
  fullWave(canvas, 3, 3);
  canvas.line({8, 0}, {8, 15}, kMark, 2);
}

void spectrogram(PictureCanvas& canvas) {
  // Time across, frequency up, loudness as colour.
  const COLORREF shades[] = {RGB(0, 0, 96), RGB(0, 90, 200), RGB(230, 200, 0), RGB(220, 40, 0)};
  const int levels[4][4] = {{0, 1, 0, 0}, {1, 2, 1, 0}, {2, 3, 2, 1}, {1, 2, 3, 2}};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      canvas.fill(RECT{2 + column * 3, 2 + row * 3, 5 + column * 3, 5 + row * 3}, shades[levels[row][column]]);
  canvas.frame(RECT{1, 1, 15, 15}, kDark);
}

}  // namespace

ui::Bitmap drawEffectPicture(int command) {
  void (*draw)(PictureCanvas&) = nullptr;
  switch (command) {
    case cmd::CopyToNew: draw = copyToNew; break;
    case cmd::Trim: draw = trim; break;
    case cmd::SplitHere: draw = split; break;
    case cmd::MixFile: draw = mix; break;
    case cmd::InsertSilenceCurrent: draw = insertSilence; break;
    case cmd::Amplify: draw = amplify; break;
    case cmd::Normalize: draw = normalize; break;
    case cmd::Equalizer: draw = equalizer; break;
    case cmd::Echo: draw = echo; break;
    case cmd::Reverb: draw = reverb; break;
    case cmd::Reverse: draw = reverse; break;
    case cmd::FadeIn: draw = fadeIn; break;
    case cmd::FadeOut: draw = fadeOut; break;
    case cmd::CrossFade: draw = crossFade; break;
    case cmd::NoiseGating: draw = noiseReduction; break;
    case cmd::PitchChange: draw = pitchChange; break;
    case cmd::SpeedChange: draw = speedChange; break;
    case cmd::SpeedAndPitch: draw = speedAndPitch; break;
    case cmd::DirectX: draw = directX; break;
    case cmd::Vst: draw = vst; break;
    case cmd::Fft: draw = spectrum; break;
    case cmd::AutoClickRepair: draw = clickRepair; break;
    case cmd::Tfft: draw = spectrogram; break;
    default: return {};
  }
  PictureCanvas canvas(kEffectSize, kEffectSize);
  draw(canvas);
  return canvas.release();
}

}  // namespace pictures
