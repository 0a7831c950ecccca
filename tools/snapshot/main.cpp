// tolven-snapshot: the channel strip's editor, or its equaliser's response,
// as a PNG picture, without a window.
#include "EditorSnapshot.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"
#include "ResponseMeasurement.h"
#include "ResponsePlot.h"
#include "SnapshotOptions.h"
#include "StripSettings.h"
#include "TOLVEN.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kPlotWidth = 960;
constexpr int kPlotHeight = 600;
constexpr int kPlotPoints = 480;

int Fail(const std::string& message) {
  std::fprintf(stderr, "tolven-snapshot: %s\n", message.c_str());
  return 1;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

ResponseLabels LabelsFor(const TOLVEN& strip, double sampleRate) {
  const double high = strip.GetParam(kHighGain)->Value();
  const double mid = strip.GetParam(kMidGain)->Value();
  const double low = strip.GetParam(kLowGain)->Value();
  const bool bypassed = strip.GetParam(kBypass)->Value() >= 0.5;
  ResponseLabels labels;
  labels.title = "TOLVEN equaliser response";
  labels.subtitle = "High " + Format("%.2f", high) + "   Mid " + Format("%.2f", mid) + "   Low " +
                    Format("%.2f", low) + "   (0.50 is flat)      " +
                    Format("%g", sampleRate / 1000.0) + " kHz, measured through the strip" +
                    (bypassed ? "      BYPASSED" : "");
  labels.totalLegend = "Combined";
  labels.bandLegend[0] = "High shelf " + Format("%.2f", high);
  labels.bandLegend[1] = "Mid peak " + Format("%.2f", mid);
  labels.bandLegend[2] = "Low shelf " + Format("%.2f", low);
  return labels;
}

} // namespace

int main(int argc, char** argv) {
  SnapshotOptions options;
  std::string error;
  if (!ParseSnapshotOptions(argc, argv, options, error))
    return Fail(error + "\n" + SnapshotUsage());
  if (options.showHelp) {
    std::fputs(SnapshotUsage().c_str(), stdout);
    return 0;
  }

  auto strip = std::make_unique<TOLVEN>(IPlugInstanceInfo());
  if (!ApplySettings(*strip, options.settings, error)) return Fail(error);

  LICE_MemBitmap picture;
  if (options.mode == SnapshotOptions::EditorPicture) {
    if (!ComposeEditor(*strip, options.meterLevel, picture, error)) return Fail(error);
  } else {
    std::vector<double> values;
    for (int i = 0; i < strip->NumParams(); ++i)
      values.push_back(strip->GetParam(i)->Value());
    const EqResponse response =
        ResponseMeasurement(options.sampleRate).Measure(values, kPlotPoints);
    if (!DrawResponsePlot(response, LabelsFor(*strip, options.sampleRate), kPlotWidth, kPlotHeight,
                          picture))
      return Fail("no memory for the picture");
  }
  if (!LICE_WritePng(options.outputPath.c_str(), &picture, false))
    return Fail("cannot write " + options.outputPath);
  std::printf("%s: %dx%d\n", options.outputPath.c_str(), picture.Width(), picture.Height());
  return 0;
}
