// Shows the VST2 module's editor the way a Linux host does (a top-level
// window with a plain host frame, the editor embedded in it through
// effEditOpen and driven by effEditIdle), lets a tone move the meter, and
// writes the host window's pixels to a PNG.
//
// usage: tolven-x11-screenshot MODULE.so OUT.png
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr int kFrameW = 183, kFrameH = 734; // host window
constexpr int kEditorX = 24, kEditorY = 48; // where the host puts the editor
constexpr int kBlock = 256;

int Fail(const char* message) {
  std::fprintf(stderr, "tolven-x11-screenshot: %s\n", message);
  return 1;
}

void IdleFor(Vst2Instance& fx, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    fx.Dispatch(effEditIdle);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: tolven-x11-screenshot MODULE.so OUT.png");
  Display* display = XOpenDisplay(nullptr);
  if (!display) return Fail("no X display");
  const int screen = DefaultScreen(display);
  const unsigned long frame = 0x2B2D31, bar = 0x3C3F45, slot = 0x17181B;
  const ::Window top = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kFrameW,
                                           kFrameH, 0, 0, frame);
  // The host's slot for the plug-in, a window of its own as hosts do.
  const ::Window holder =
      XCreateSimpleWindow(display, top, kEditorX, kEditorY, 135, 662, 0, 0, slot);
  XMapWindow(display, holder);
  XMapWindow(display, top);
  XSync(display, False);

  Vst2Module module(argv[1]);
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(module.FindEntry("VSTPluginMain")));
  if (!fx.IsValid()) return Fail("cannot load the module");
  fx.Start(44100.0f, kBlock);
  fx.SetParameter(0, 0.62f);
  fx.SetParameter(1, 0.44f);
  fx.SetParameter(2, 0.58f);
  fx.SetParameter(3, 0.55f);
  if (fx.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(holder))) != 1)
    return Fail("the editor did not open");

  // A second of a moderate tone, as a host plays it: the needle settles.
  std::vector<float> in(kBlock), out0(kBlock), out1(kBlock);
  float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {out0.data(), out1.data()};
  for (long long n = 0, block = 0; block < 44100 / kBlock; ++block) {
    for (int i = 0; i < kBlock; ++i, ++n)
      in[i] = 0.25f * static_cast<float>(std::sin(2.0 * M_PI * 220.0 * n / 44100.0));
    fx.ProcessFloat(inputs, outputs, kBlock);
    if (block % 4 == 0) IdleFor(fx, 5);
  }
  IdleFor(fx, 200);

  // The host's own frame: a title bar with the plug-in's name.
  GC gc = XCreateGC(display, top, 0, nullptr);
  XSetForeground(display, gc, bar);
  XFillRectangle(display, top, gc, 0, 0, kFrameW, 32);
  XSetForeground(display, gc, 0xD8DADF);
  const char title[] = "FX: TOLVEN (Track 1)";
  XDrawString(display, top, gc, 10, 20, title, static_cast<int>(std::strlen(title)));
  XFreeGC(display, gc);
  XSync(display, False);
  IdleFor(fx, 100);

  XImage* image = XGetImage(display, top, 0, 0, kFrameW, kFrameH, AllPlanes, ZPixmap);
  if (!image) return Fail("cannot read the window");
  LICE_MemBitmap picture(kFrameW, kFrameH);
  for (int y = 0; y < kFrameH; ++y)
    for (int x = 0; x < kFrameW; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      picture.Pixels()[y * picture.RowSpan() + x] =
          LICE_MakePixel((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, 255);
    }
  XDestroyImage(image);
  fx.Dispatch(effEditClose);
  fx.Close();
  XDestroyWindow(display, top);
  XCloseDisplay(display);
  if (!LICE_WritePng(argv[2], &picture, false)) return Fail("cannot write the picture");
  std::printf("%s: %dx%d\n", argv[2], kFrameW, kFrameH);
  return 0;
}
