#include "editor/display/tests/display_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "core/block_store.h"
#include "sys/folders.h"

namespace displaytest {

namespace {

class BlockStoreEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(setWorkingFolder(sys::joinPath(outputFolder(), "display-blocks"))); }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new BlockStoreEnvironment);

constexpr wchar_t kTestWindowClass[] = L"ZedDisplayTestWindow";

uint8_t toByte(int64_t magnitude, int shift) {
  return static_cast<uint8_t>(std::min<int64_t>(magnitude >> shift, 255));
}

}  // namespace

std::string outputFolder() {
  const char* root = std::getenv("ZED_TEST_TMP");
  std::string folder = root && *root ? root : sys::tempFolder();
  sys::createFolder(folder);
  return folder;
}

TestSound makeTestSound(int32_t frames) {
  TestSound sound;
  sound.samples.resize(static_cast<size_t>(frames) * 2);
  const double pi = std::acos(-1.0);
  for (int32_t f = 0; f < frames; ++f) {
    double rising = static_cast<double>(f) / frames;
    Sample left =
        static_cast<Sample>(std::lround(0.8 * kSampleFullScale * rising * std::sin(2 * pi * 440 * f / 44100.0)));
    Sample right = static_cast<Sample>(
        std::lround(0.6 * kSampleFullScale * (1 - rising) * std::sin(2 * pi * 97 * f / 44100.0 + 1.0)));
    if (f >= kBurstFrame && f < kBurstFrame + kBurstFrames) {
      left = (f % 7 == 0) ? 0 : static_cast<Sample>(0.95 * kSampleFullScale);
      right = -static_cast<Sample>(0.9 * kSampleFullScale);
    }
    if (f >= kSilenceFrame && f < kSilenceFrame + kSilenceFrames) left = right = 0;
    sound.samples[2 * static_cast<size_t>(f)] = left;
    sound.samples[2 * static_cast<size_t>(f) + 1] = right;
  }
  auto writer = sound.buffer.openWriter(44100, 2);
  writer->write(sound.samples.data(), frames);
  EXPECT_EQ(writer->close(), SourceStatus::Good);
  return sound;
}

ColumnPeaks expectedPeaks(const TestSound& sound, int64_t firstFrame, int64_t framesPerColumn, int columns,
                          int mode, bool verticalZoom) {
  ColumnPeaks peaks;
  const int shift = verticalZoom ? 8 : 11;
  for (int x = 0; x < columns; ++x) {
    int64_t from = std::max<int64_t>(firstFrame + x * framesPerColumn, 0);
    int64_t to = std::min(firstFrame + (x + 1) * framesPerColumn, sound.frames());
    int64_t high = 0, low = 0;
    for (int64_t f = from; f < to; ++f) {
      int64_t left = sound.samples[2 * f], right = sound.samples[2 * f + 1];
      if (mode == 0) {
        high = std::max({high, left, right});
        low = std::max({low, -left, -right});
      } else {
        high = std::max(high, std::abs(left));
        low = std::max(low, std::abs(right));
      }
    }
    peaks.upper.push_back(toByte(high, shift));
    peaks.lower.push_back(toByte(low, shift));
  }
  return peaks;
}

TestWindow::TestWindow(int clientWidth, int clientHeight, POINT position) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (!GetClassInfoExW(instance, kTestWindowClass, &windowClass)) {
    windowClass = WNDCLASSEXW{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kTestWindowClass;
    RegisterClassExW(&windowClass);
  }
  RECT frame{0, 0, clientWidth, clientHeight};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  AdjustWindowRect(&frame, style, FALSE);
  m_window = CreateWindowExW(0, kTestWindowClass, L"Waveform display", style, position.x, position.y,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(m_window, SW_SHOW);
  UpdateWindow(m_window);
}

TestWindow::~TestWindow() { destroy(); }

void TestWindow::destroy() {
  if (m_window && IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
}

void pumpMessages(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

COLORREF Picture::at(int x, int y) const {
  uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

namespace {

// Draws into a top-down 32-bit DIB section and copies its pixels out.
template <class Draw>
Picture drawToPicture(int width, int height, Draw draw) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) {
    DeleteDC(dc);
    return picture;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  draw(dc);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return picture;
}

}  // namespace

Picture printClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return drawToPicture(client.right, client.bottom, [&](HDC dc) {
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
}

Picture captureScreen(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  return drawToPicture(area.right - area.left, area.bottom - area.top, [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  });
}

bool saveBitmap(const Picture& picture, const std::string& path) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = picture.width;
  header.biHeight = -picture.height;  // top-down rows
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  const auto pixelBytes = static_cast<DWORD>(picture.pixels.size() * 4);
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + pixelBytes;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(picture.pixels.data()), pixelBytes);
  return static_cast<bool>(out);
}

}  // namespace displaytest
