// tolven-editor-picture OUT.png: the VST2 module's editor open in a host
// window, as a Windows DAW shows it, after some audio has moved the needle;
// the whole window (frame and caption included) is written as a PNG. Run
// under Wine with a display (scripts/editor-windows-picture.sh).
#include "EditorWindowSupport.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tolven-editor-picture OUT.png\n");
    return 2;
  }
  Vst2Module module(TOLVEN_VST2_MODULE);
  if (!module.IsLoaded()) {
    std::fprintf(stderr, "cannot load %s: %s\n", TOLVEN_VST2_MODULE, module.Error().c_str());
    return 1;
  }
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(module.EntryPoint()));
  if (!fx.IsValid()) {
    std::fprintf(stderr, "the module made no instance\n");
    return 1;
  }
  fx.Start(44100.0f, 512);
  // A setting a musician might leave: a little air, a dip in the mids, some drive.
  fx.SetParameter(0, 0.68f);
  fx.SetParameter(1, 0.38f);
  fx.SetParameter(2, 0.57f);
  fx.SetParameter(3, 0.62f);
  fx.SetParameter(4, 0.46f);

  ERect* rect = nullptr;
  fx.Dispatch(effEditGetRect, 0, 0, &rect);
  RECT frame = {0, 0, rect ? rect->right : 135, rect ? rect->bottom : 662};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  editorwin::HostWindow window(60, 40, frame.right - frame.left, frame.bottom - frame.top,
                               "TOLVEN");
  if (fx.Dispatch(effEditOpen, 0, 0, window.Handle()) != 1) {
    std::fprintf(stderr, "the editor did not open\n");
    return 1;
  }
  // A second of a drum-like signal, so the needle stands where music leaves it.
  std::vector<float> l(512), r(512), ol(512), orr(512);
  for (int block = 0; block < 86; ++block) {
    for (int n = 0; n < 512; ++n) {
      const int t = block * 512 + n;
      const double beat = std::exp(-(t % 11025) / 1500.0);
      l[n] = r[n] =
          static_cast<float>(0.5 * beat * std::sin(t * 0.031) + 0.1 * std::sin(t * 0.0093));
    }
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    fx.ProcessFloat(in, out, 512);
  }
  editorwin::Pump(300);
  const editorwin::Picture picture = editorwin::Capture(window.Handle(), true);
  fx.Dispatch(effEditClose);
  if (picture.width == 0 || !editorwin::SavePng(picture, argv[1])) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %d x %d\n", argv[1], picture.width, picture.height);
  return 0;
}
