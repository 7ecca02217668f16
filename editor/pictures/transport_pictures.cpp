// The transport buttons' pictures. Play and Stop each come in two kinds: the
// lit one (coloured) marks the state the player is in, playing or stopped.

#include "editor/pictures/picture_canvas.h"
#include "editor/pictures/pictures.h"

namespace pictures {

namespace {

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kRecordInk = RGB(200, 0, 0);
constexpr COLORREF kPlayingInk = RGB(0, 160, 0);
constexpr COLORREF kStoppedInk = RGB(0, 80, 200);

void triangle(PictureCanvas& canvas, int x, bool pointsRight, COLORREF ink) {
  canvas.polygon({{x, 3}, {x, 13}, {pointsRight ? x + 7 : x - 7, 8}}, ink);
}

void bar(PictureCanvas& canvas, int x, COLORREF ink) { canvas.fill(RECT{x, 3, x + 3, 14}, ink); }

}  // namespace

ui::Bitmap drawTransportPicture(TransportPicture picture) {
  PictureCanvas canvas(kTransportWidth, kTransportHeight);
  switch (picture) {
    case TransportPicture::Play: triangle(canvas, 8, true, kInk); break;
    case TransportPicture::PlayActive: triangle(canvas, 8, true, kPlayingInk); break;
    case TransportPicture::Pause: bar(canvas, 7, kInk); bar(canvas, 12, kInk); break;
    case TransportPicture::Stop: canvas.fill(RECT{6, 3, 16, 13}, kInk); break;
    case TransportPicture::StopActive: canvas.fill(RECT{6, 3, 16, 13}, kStoppedInk); break;
    case TransportPicture::Start: bar(canvas, 5, kInk); triangle(canvas, 16, false, kInk); break;
    case TransportPicture::Rewind: triangle(canvas, 11, false, kInk); triangle(canvas, 18, false, kInk); break;
    case TransportPicture::Forward: triangle(canvas, 4, true, kInk); triangle(canvas, 11, true, kInk); break;
    case TransportPicture::End: triangle(canvas, 6, true, kInk); bar(canvas, 14, kInk); break;
    case TransportPicture::Record: canvas.ellipse(RECT{6, 3, 16, 13}, kRecordInk); break;
  }
  return canvas.release();
}

}  // namespace pictures
