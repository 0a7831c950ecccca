#!/usr/bin/env bash
# The main job: renders the built-in demo signal through the channel strip,
# once at the default settings and once driven harder with the equaliser in
# use, and says where the files are.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/linux-release}
render=$build/tolven-render
if [ ! -x "$render" ]; then
  echo "demo.sh: $render is missing; build first (cmake --build --preset linux-release)" >&2
  exit 1
fi
out=$build/demo
mkdir -p "$out"

echo "== The demo signal at the default settings"
"$render" --force --demo-input "$out/demo-input.wav" "$out/demo-output.wav"
echo
echo "== The same driven 12 dB harder, treble and bass lifted, presence cut"
"$render" --set "Input 1=12" --set "Output 1=-11" --set "High Gain 1=0.7" \
  --set "Low Gain 1=0.65" --set "Mid Gain 1=0.4" "$out/demo-input.wav" "$out/demo-driven.wav"
echo
echo "== Pictures: the editor at these settings, and the equaliser's response"
snapshot=$build/tolven-snapshot
settings=(--set "High Gain 1=0.64" --set "Mid Gain 1=0.40" --set "Low Gain 1=0.70")
"$snapshot" "$out/editor.png" "${settings[@]}" --set "Input 1=3" --set "Output 1=-2" --meter 0.58
"$snapshot" --response "$out/response.png" "${settings[@]}"
echo
echo "Listen to them side by side:"
echo "  input:   $out/demo-input.wav"
echo "  output:  $out/demo-output.wav"
echo "  driven:  $out/demo-driven.wav"
echo "Look at:"
echo "  editor:   $out/editor.png"
echo "  response: $out/response.png"
echo "Render your own file with: $render [--set \"NAME=VALUE\"]... IN.wav OUT.wav"
echo "(--list-params shows the parameters, --help the options)"
