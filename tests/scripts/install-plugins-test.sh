#!/usr/bin/env bash
# scripts/install-plugins.sh (and cmake --install) into a temporary HOME.
# Usage: install-plugins-test.sh CASE BUILD-DIR
#   CASE: fresh | replace | uninstall | cmake-install | system | not-ours | read-only | no-home
#         | disk-full
# Exits 77 (skipped) where a case cannot run here.
set -euo pipefail
case_name=$1
build=$2
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-plugins.sh

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
home=$work/home
mkdir -p "$home"
out=$work/out

fail() {
  echo "FAIL ($case_name): $*" >&2
  [ -f "$out" ] && sed 's/^/  script: /' "$out" >&2
  exit 1
}
run() { HOME=$home "$script" --build "$build" "$@" >"$out" 2>&1; }
# Expects the script to fail, naming the given text in its message.
run_fails() {
  local expect=$1
  shift
  if "$@" >"$out" 2>&1; then fail "succeeded, expected an error about '$expect'"; fi
  grep -qF -- "$expect" "$out" || fail "the error does not mention '$expect'"
}

vst3=$home/.vst3/TOLVEN.vst3
vst3_lib=$vst3/Contents/x86_64-linux/TOLVEN.so
vst2=$home/.lxvst/TOLVEN.so
lv2=$home/.lv2/TOLVEN.lv2

# Other plug-ins and files that must survive every operation unchanged.
add_neighbours() {
  mkdir -p "$home/.vst3/Other.vst3/Contents/x86_64-linux" "$home/.lxvst" "$home/.lv2/Other.lv2"
  echo other >"$home/.lv2/Other.lv2/manifest.ttl"
  echo other >"$home/.vst3/Other.vst3/Contents/x86_64-linux/Other.so"
  echo other >"$home/.lxvst/Other.so"
  echo notes >"$home/notes.txt"
}
# Every file under HOME but TOLVEN's, with its checksum.
neighbours() {
  (cd "$home" && find . -path ./.vst3/TOLVEN.vst3 -prune -o -path ./.lxvst/TOLVEN.so -prune -o \
    -path ./.lv2/TOLVEN.lv2 -prune -o -type f -print0 | sort -z | xargs -0r sha256sum)
}
expect_installed() {
  cmp -s "$build/TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so" "$vst3_lib" ||
    fail "the VST3 module is not the built one"
  cmp -s "$build/TOLVEN.so" "$vst2" || fail "the VST2 module is not the built one"
  diff -r "$build/TOLVEN.lv2" "$lv2" >/dev/null || fail "the LV2 bundle is not the built one"
  [ "$(cd "$vst3" && find . | sort | tr '\n' ' ')" = \
    ". ./Contents ./Contents/x86_64-linux ./Contents/x86_64-linux/TOLVEN.so " ] ||
    fail "the bundle holds more than the module: $(cd "$vst3" && find . | tr '\n' ' ')"
}
# No copies in progress or older versions left beside the targets.
expect_no_leftovers() {
  local left
  left=$(find "$home" -name '.TOLVEN*')
  [ -z "$left" ] || fail "left behind: $left"
}
# An older TOLVEN: another module file and a file this version does not have.
add_older() {
  mkdir -p "$(dirname "$vst3_lib")" "$(dirname "$vst2")"
  echo old >"$vst3_lib"
  echo old >"$(dirname "$vst3_lib")/TOLVEN-1.0-extra.so"
  echo old >"$vst2"
  mkdir -p "$lv2"
  echo old >"$lv2/TOLVEN.so"
  echo old >"$lv2/old-presets.ttl"
}

case "$case_name" in
  fresh)
    add_neighbours
    before=$(neighbours)
    run || fail "install failed"
    expect_installed
    expect_no_leftovers
    [ "$(neighbours)" = "$before" ] || fail "other files changed"
    [ "$(stat -c %a "$vst3_lib")" = 755 ] && [ "$(stat -c %a "$vst2")" = 755 ] &&
      [ "$(stat -c %a "$lv2/TOLVEN_ui.so")" = 755 ] && [ "$(stat -c %a "$lv2/manifest.ttl")" = 644 ] ||
      fail "the modules are not readable and executable for everyone"
    grep -qF "$vst3" "$out" && grep -qF "$vst2" "$out" && grep -qF "$lv2" "$out" || fail "the script does not say where they went"
    ;;
  replace)
    add_neighbours
    add_older
    before=$(neighbours)
    run || fail "install over an older version failed"
    expect_installed
    run || fail "installing the same version again failed"
    expect_installed
    expect_no_leftovers
    [ "$(neighbours)" = "$before" ] || fail "other files changed"
    ;;
  uninstall)
    run || fail "install failed"
    run --uninstall || fail "uninstall failed"
    [ -z "$(ls -A "$home")" ] || fail "uninstall left $(cd "$home" && find . -mindepth 1)"
    add_neighbours
    before=$(neighbours)
    run || fail "install failed"
    run --uninstall || fail "uninstall failed"
    [ ! -e "$vst3" ] && [ ! -e "$vst2" ] && [ ! -e "$lv2" ] || fail "TOLVEN is still there"
    [ "$(neighbours)" = "$before" ] || fail "other files changed"
    run --uninstall || fail "uninstalling what is not there is not an error"
    grep -q "nothing removed" "$out" || fail "a second uninstall does not say that nothing was there"
    ;;
  cmake-install)
    add_neighbours
    before=$(neighbours)
    HOME=$home cmake --install "$build" >"$out" 2>&1 || fail "cmake --install failed"
    expect_installed
    [ "$(neighbours)" = "$before" ] || fail "other files changed"
    ;;
  system)
    # --system into /usr/lib, seen through a private mount namespace in which
    # /usr/lib is an overlay whose changes land in a scratch folder. Root
    # only, and only where mounts are allowed.
    [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null || { echo "skipped: needs root"; exit 77; }
    mkdir -p "$work/upper" "$work/overlay-work"
    status=0
    # shellcheck disable=SC2016 # expanded by the inner shell
    unshare --mount --propagation private bash -c '
      mount -t overlay overlay -o "lowerdir=/usr/lib,upperdir=$1,workdir=$2" /usr/lib || exit 77
      "$3" --build "$4" --system || exit 10
      cmp -s "$4/TOLVEN.so" /usr/lib/lxvst/TOLVEN.so || exit 11
      cmp -s "$4/TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so" \
        /usr/lib/vst3/TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so || exit 11
      diff -r "$4/TOLVEN.lv2" /usr/lib/lv2/TOLVEN.lv2 >/dev/null || exit 11
      "$3" --uninstall --system || exit 12
      [ ! -e /usr/lib/vst3/TOLVEN.vst3 ] && [ ! -e /usr/lib/lxvst/TOLVEN.so ] &&
        [ ! -e /usr/lib/lv2/TOLVEN.lv2 ] || exit 13' \
      _ "$work/upper" "$work/overlay-work" "$script" "$build" >"$out" 2>&1 || status=$?
    case "$status" in
      0) ;;
      77) echo "skipped: no overlay mounts here"; exit 77 ;;
      10) fail "--system failed" ;;
      11) fail "--system put other files into /usr/lib/vst3, /usr/lib/lxvst and /usr/lib/lv2" ;;
      12) fail "--uninstall --system failed" ;;
      13) fail "--uninstall --system left TOLVEN behind" ;;
      *) fail "could not run in a mount namespace (status $status)" ;;
    esac
    ;;
  not-ours)
    # A file, a link and a foreign folder where the bundle goes; a folder
    # where the VST2 module goes. Each is refused, before anything is written.
    mkdir -p "$home/.vst3" "$home/elsewhere"
    echo mine >"$vst3"
    run_fails "is a file" run
    [ "$(cat "$vst3")" = mine ] && [ ! -e "$home/.lxvst" ] || fail "something was written"
    run_fails "is a file" run --uninstall
    rm "$vst3"
    ln -s "$home/elsewhere" "$vst3"
    run_fails "symbolic link" run
    run_fails "symbolic link" run --uninstall
    [ -L "$vst3" ] && [ ! -e "$home/.lxvst" ] || fail "something was written"
    rm "$vst3"
    mkdir -p "$vst3/Contents"
    echo mine >"$vst3/mine.txt"
    run_fails "not a TOLVEN bundle" run
    [ -f "$vst3/mine.txt" ] && [ ! -e "$home/.lxvst" ] || fail "something was written"
    rm -r "$vst3"
    mkdir -p "$vst2"
    run_fails "not a file" run
    [ -d "$vst2" ] && [ ! -e "$vst3" ] || fail "something was written"
    rmdir "$vst2"
    # Someone else's file in the LV2 bundle's folder.
    mkdir -p "$lv2"
    echo mine >"$lv2/mine.txt"
    run_fails "not a TOLVEN bundle" run
    [ -f "$lv2/mine.txt" ] && [ ! -e "$vst3" ] && [ ! -e "$vst2" ] || fail "something was written"
    ;;
  read-only)
    # A plug-in folder the user cannot write to. Root can write anywhere, so
    # root runs the script as nobody.
    add_older
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
      as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
      chmod 755 "$work"
      chown -R nobody:nogroup "$home"
    fi
    chmod 555 "$home/.lxvst"
    before=$(cd "$home" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
    run_fails "cannot write to $home/.lxvst" env HOME="$home" "${as_user[@]}" "$script" --build "$build"
    [ "$(cd "$home" && find . -type f -print0 | sort -z | xargs -0 sha256sum)" = "$before" ] ||
      fail "the older install changed"
    expect_no_leftovers
    run_fails "cannot write to $home/.lxvst" env HOME="$home" "${as_user[@]}" "$script" --uninstall
    [ -f "$vst3_lib" ] || fail "a failed uninstall removed part of TOLVEN"
    ;;
  no-home)
    run_fails "HOME is not set" env -u HOME "$script" --build "$build"
    run_fails "HOME is not set" env HOME= "$script" --build "$build" --uninstall
    run_fails "is not a folder" env HOME="$home/missing" "$script" --build "$build"
    ;;
  disk-full)
    # Writes stop after 64 KiB, as on a full disk: the modules do not fit, the
    # older install stays as it was and no partial copy is left.
    add_older
    add_neighbours
    before=$(cd "$home" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
    run_fails "is the disk full" bash -c 'ulimit -f 64; HOME=$0 exec "$1" --build "$2"' \
      "$home" "$script" "$build"
    grep -q "nothing was installed" "$out" || fail "the script does not say that nothing was installed"
    [ "$(cd "$home" && find . -type f -print0 | sort -z | xargs -0 sha256sum)" = "$before" ] ||
      fail "files changed"
    expect_no_leftovers
    ;;
  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "ok ($case_name)"
