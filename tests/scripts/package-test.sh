#!/usr/bin/env bash
# scripts/package-windows.sh or scripts/package-linux.sh on a built folder:
# the archive holds exactly the release layout, the modules in it export what
# hosts look for, and what is in it works from where it was unpacked.
# Usage: package-test.sh windows|linux BUILD-DIR
set -euo pipefail
platform=$1
build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL (package $platform): $*" >&2
  exit 1
}

version=$(cat "$build/VERSION")
case "$platform" in
  windows)
    name=TOLVEN-$version-windows-x86_64
    archive=$work/$name.zip
    vst2=TOLVEN.dll
    files="LICENSE NOTICE README.txt TOLVEN.dll TOLVEN.vst3/Contents/x86_64-win/TOLVEN.vst3 tolven-render.exe"
    ;;
  linux)
    name=TOLVEN-$version-linux-x86_64
    archive=$work/$name.tar.gz
    vst2=TOLVEN.so
    lv2="TOLVEN.lv2/manifest.ttl TOLVEN.lv2/TOLVEN.ttl TOLVEN.lv2/presets.ttl TOLVEN.lv2/TOLVEN.so TOLVEN.lv2/TOLVEN_ui.so"
    files="LICENSE NOTICE README.txt TOLVEN.so TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so $lv2 install-plugins.sh tolven-render tolven-snapshot"
    ;;
  *) fail "unknown platform" ;;
esac

"$root/scripts/package-$platform.sh" --from "$build" --out "$work" >"$work/log" 2>&1 ||
  { cat "$work/log" >&2; fail "the package script failed"; }
[ -f "$archive" ] || fail "no $archive"

expected=$(for f in $files; do echo "$name/$f"; done | sort)
listing=$(cmake -E tar tf "$archive" | grep -v '/$' | sort)
if [ "$listing" != "$expected" ]; then
  echo "archive holds:" >&2
  echo "$listing" >&2
  fail "expected exactly: $(echo $expected)"
fi

(cd "$work" && cmake -E tar xf "$archive")
d=$work/$name
cmp -s "$root/LICENSE" "$d/LICENSE" || fail "LICENSE differs from the source tree's"
grep -q "GNU GENERAL PUBLIC LICENSE" "$d/LICENSE" && grep -q "Version 3" "$d/LICENSE" ||
  fail "LICENSE is not the GPL version 3"
grep -q "TOLVEN $version" "$d/README.txt" || fail "README.txt does not name version $version"
! grep -q "@" "$d/README.txt" || fail "README.txt has an unfilled placeholder"

checks=$root/tests/host
case "$platform" in
  windows)
    bash "$checks/check-vst2-exports.sh" "$d/TOLVEN.dll" >/dev/null || fail "TOLVEN.dll exports"
    bash "$checks/check-vst3-exports.sh" windows "$d/TOLVEN.vst3/Contents/x86_64-win/TOLVEN.vst3" \
      >/dev/null || fail "TOLVEN.vst3 exports"
    for f in TOLVEN.dll TOLVEN.vst3/Contents/x86_64-win/TOLVEN.vst3 tolven-render.exe; do
      x86_64-w64-mingw32-objdump -f "$d/$f" | grep -q 'file format pei-x86-64' ||
        fail "$f is not a 64-bit Windows binary"
      # Self-contained: nothing from the MinGW runtime is needed beside it.
      ! x86_64-w64-mingw32-objdump -p "$d/$f" | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)' ||
        fail "$f needs MinGW runtime DLLs"
    done
    # The unpacked renderer loads the unpacked bundle and the VST2 module.
    run=("$root/scripts/wine-run.sh" "$d/tolven-render.exe")
    ;;
  linux)
    bash "$checks/check-vst2-exports.sh" "$d/TOLVEN.so" >/dev/null || fail "TOLVEN.so exports"
    bash "$checks/check-vst3-exports.sh" linux "$d/TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so" \
      >/dev/null || fail "the VST3 module's exports"
    bash "$root/tests/lv2/check-lv2-bundle.sh" "$d/TOLVEN.lv2" >/dev/null ||
      fail "the packaged LV2 bundle is not valid or its modules export more"
    "$d/tolven-snapshot" --response "$work/response.png" >/dev/null || fail "tolven-snapshot does not run"
    # The install steps of README.txt, from the unpacked folder.
    mkdir "$work/home"
    (cd "$d" && HOME=$work/home ./install-plugins.sh --build . >/dev/null) ||
      fail "install-plugins.sh --build . fails in the package"
    cmp -s "$d/TOLVEN.so" "$work/home/.lxvst/TOLVEN.so" &&
      diff -r "$d/TOLVEN.lv2" "$work/home/.lv2/TOLVEN.lv2" >/dev/null ||
      fail "the packaged install went elsewhere"
    run=("$d/tolven-render")
    ;;
esac
for module in TOLVEN.vst3 "$vst2"; do
  listed=$("${run[@]}" --plugin "$d/$module" --list-params 2>&1) ||
    fail "tolven-render cannot load the packaged $module: $listed"
  grep -q "High Gain 1" <<<"$listed" || fail "the packaged $module lists no parameters: $listed"
done
echo "ok: $(basename "$archive") holds $(echo $files)"
