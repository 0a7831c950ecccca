#!/usr/bin/env bash
# Puts the Linux plug-in modules where Linux hosts look for them, or takes
# them away again. An older TOLVEN is replaced as a whole; nothing else in the
# plug-in folders is touched, and a failed install leaves the old state.
# Usage: scripts/install-plugins.sh [--system] [--uninstall] [--build DIR]
#   (default)    for this user: ~/.vst3/TOLVEN.vst3/, ~/.lxvst/TOLVEN.so, ~/.lv2/TOLVEN.lv2/
#   --system     for everyone: /usr/lib/vst3/, /usr/lib/lxvst/, /usr/lib/lv2/ (as root)
#   --uninstall  removes exactly what an install puts there
#   --build DIR  the build folder to install from (default build/linux-release)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

# What goes where: the item in the build folder, its format, the folder it
# goes into for this user (under HOME) and for everyone, and for a bundle
# folder the names it holds at its top (shell patterns, comma-separated; "-"
# for a single file), by which an older TOLVEN is told from anything else.
plugins=(
  "TOLVEN.vst3 VST3 .vst3 /usr/lib/vst3 Contents"
  "TOLVEN.so VST2 .lxvst /usr/lib/lxvst -"
  "TOLVEN.lv2 LV2 .lv2 /usr/lib/lv2 *.ttl,*.so"
)

die() {
  echo "install-plugins.sh: $*" >&2
  exit 1
}

system=0
uninstall=0
build=$here/build/linux-release
while [ $# -gt 0 ]; do
  case "$1" in
    --system) system=1 ;;
    --uninstall) uninstall=1 ;;
    --build)
      [ $# -ge 2 ] || die "--build needs a folder"
      build=$2
      shift
      ;;
    -h | --help)
      sed -n '2,9s/^# \{0,1\}//p' "$0"
      exit 0
      ;;
    *) die "unknown option $1 (try --help)" ;;
  esac
  shift
done

if [ "$system" -eq 0 ]; then
  [ -n "${HOME:-}" ] || die "HOME is not set: set it, or install for everyone with --system"
  [ -d "$HOME" ] || die "HOME ($HOME) is not a folder"
fi

# Fills in name, format, top (see the table), dest (the folder) and target
# (the installed path).
select_plugin() {
  local user_dir system_dir
  read -r name format user_dir system_dir top <<<"$1"
  if [ "$system" -eq 1 ]; then dest=$system_dir; else dest=$HOME/$user_dir; fi
  target=$dest/$name
}

# Refuses to replace or remove what an install of ours cannot have left: a
# symbolic link, a file where a bundle goes, a folder where a module goes, or
# a bundle holding anything else at its top than the table says.
check_ours() {
  local entry pattern patterns matched
  [ -L "$target" ] && die "$target is a symbolic link, not an installed TOLVEN; remove it yourself"
  [ -e "$target" ] || return 0
  if [ "$top" != - ]; then
    [ -d "$target" ] || die "$target is a file, not a TOLVEN bundle; remove it yourself"
    IFS=, read -ra patterns <<<"$top"
    while IFS= read -r -d '' entry; do
      matched=0
      for pattern in "${patterns[@]}"; do
        # shellcheck disable=SC2254 # the table's patterns
        case "${entry##*/}" in $pattern) matched=1 ;; esac
      done
      [ "$matched" -eq 1 ] || die "$target holds ${entry##*/}: not a TOLVEN bundle; remove it yourself"
    done < <(find "$target" -mindepth 1 -maxdepth 1 -print0)
    [ -z "$(find "$target" -type l | head -n 1)" ] ||
      die "$target holds symbolic links, not a TOLVEN bundle; remove it yourself"
  else
    [ -f "$target" ] || die "$target is not a file, not an installed TOLVEN; remove it yourself"
  fi
}

# The folder, or the nearest one above it that exists, must be writable.
check_writable() {
  local d=$1
  while [ ! -e "$d" ]; do d=$(dirname "$d"); done
  [ -d "$d" ] || die "$d is not a folder"
  [ -w "$d" ] && [ -x "$d" ] || die "cannot write to $d${2:+ ($2)}"
}

hint=""
[ "$system" -eq 1 ] && [ "$(id -u)" -ne 0 ] && hint="run as root for --system"

if [ "$uninstall" -eq 1 ]; then
  removed=()
  for p in "${plugins[@]}"; do
    select_plugin "$p"
    check_ours
    [ -e "$target" ] && check_writable "$dest" "$hint"
  done
  for p in "${plugins[@]}"; do
    select_plugin "$p"
    [ -e "$target" ] || continue
    rm -rf -- "$target" || die "cannot remove $target"
    removed+=("$target")
    # The plug-in folder goes too when TOLVEN was all it held.
    rmdir -- "$dest" 2>/dev/null || true
  done
  if [ "${#removed[@]}" -eq 0 ]; then
    echo "TOLVEN is not installed there; nothing removed."
  else
    printf 'removed %s\n' "${removed[@]}"
  fi
  exit 0
fi

# Everything is checked before anything is written.
for p in "${plugins[@]}"; do
  select_plugin "$p"
  src=$build/$name
  if [ "$top" != - ]; then [ -d "$src" ]; else [ -f "$src" ]; fi ||
    die "$src is missing; build first (cmake --build --preset linux-release)"
  check_ours
  check_writable "$dest" "$hint"
done

# Copies go in beside their targets under hidden names, and only when all of
# them are complete do they replace the old ones (a rename in one folder).
stamp=$$
created=()
staged=()
finished=0
cleanup() {
  [ "$finished" -eq 1 ] && return
  local s d
  for s in "${staged[@]}"; do rm -rf -- "$s"; done
  for ((d = ${#created[@]} - 1; d >= 0; d--)); do rmdir -- "${created[d]}" 2>/dev/null || true; done
  echo "install-plugins.sh: nothing was installed" >&2
}
trap cleanup EXIT

for p in "${plugins[@]}"; do
  select_plugin "$p"
  missing=()
  d=$dest
  while [ ! -e "$d" ]; do missing=("$d" "${missing[@]}"); d=$(dirname "$d"); done
  for d in "${missing[@]}"; do
    mkdir -- "$d" || die "cannot create $d"
    created+=("$d")
  done
  new=$dest/.$name.new-$stamp
  staged+=("$new")
  error=$(cp -R -- "$build/$name" "$new" 2>&1) ||
    die "cannot copy $name into $dest: ${error:-the write failed (is the disk full?)}"
  chmod -R u+rwX,go+rX,go-w -- "$new" || die "cannot set the permissions of $new"
done

installed=()
for p in "${plugins[@]}"; do
  select_plugin "$p"
  new=$dest/.$name.new-$stamp
  old=$dest/.$name.old-$stamp
  if [ -e "$target" ]; then
    mv -T -- "$target" "$old" || die "cannot move the older $target aside"
    staged+=("$old")
  fi
  if ! mv -T -- "$new" "$target"; then
    [ -e "$old" ] && mv -T -- "$old" "$target"
    die "cannot put $target in place"
  fi
  rm -rf -- "$old"
  installed+=("$(printf '  %-5s %s' "$format" "$target")")
done
finished=1

echo "Installed TOLVEN:"
printf '%s\n' "${installed[@]}"
echo "Hosts look in these folders when they scan for plug-ins: restart the host or"
echo "let it rescan. To remove TOLVEN again: $0 --uninstall$([ "$system" -eq 1 ] && echo ' --system')"
