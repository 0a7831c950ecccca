#!/usr/bin/env bash
# Checks the built LV2 bundle as a packager would: every Turtle file valid
# against the LV2 specifications' schemas (sord_validate; the schemas ship
# with lv2-dev in LV2_SPECS), the DSP module exporting lv2_descriptor only and
# the UI module lv2ui_descriptor only.
# Usage: check-lv2-bundle.sh BUNDLE [LV2_SPECS]
set -euo pipefail
bundle=$1
specs=${2:-/usr/lib/lv2}
for f in manifest.ttl TOLVEN.ttl presets.ttl TOLVEN.so TOLVEN_ui.so; do
  [ -f "$bundle/$f" ] || { echo "missing $bundle/$f"; exit 1; }
done
mapfile -t schemas < <(find "$specs" -name '*.ttl' | sort)
[ "${#schemas[@]}" -gt 20 ] || { echo "no LV2 schemas under $specs"; exit 1; }
report=$(sord_validate "${schemas[@]}" "$bundle"/*.ttl 2>&1) || { echo "$report"; exit 1; }
echo "$report" | tail -1
# sord_validate reports warnings without failing; the bundle must have none.
if echo "$report" | grep -qiE '^(warning|error)'; then
  echo "$report"
  exit 1
fi
check_exports() {
  local exports
  exports=$(nm -D --defined-only "$bundle/$1" | awk '{print $NF}' | sort)
  if [ "$exports" != "$2" ]; then
    echo "expected exactly $2, $1 exports:"
    echo "$exports"
    exit 1
  fi
}
check_exports TOLVEN.so lv2_descriptor
check_exports TOLVEN_ui.so lv2ui_descriptor
