#!/usr/bin/env bash
# Compiles the help project with chmcmd. Usage: compile_help.sh <source folder> <output .chm>
#
# chmcmd 3.2.2 writes the topic names of the context map as the project's folder followed by
# the file name, absolute build paths that no help viewer finds in the file. A project that
# lies in / gives exactly the names the file holds ("/index.html"), so chmcmd runs with the
# staged project as its root, in a private mount namespace with the system folders bound in.
set -euo pipefail
source=$1
output=$2
chmcmd_bin=$(readlink -f "$(command -v chmcmd)")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cp "$source"/*.hhp "$source"/*.html "$stage"/
project=$(basename "$(ls "$source"/*.hhp)")
mkdir -p "$stage/usr" "$stage/lib" "$stage/lib64" "$stage/tmp"
unshare --user --map-root-user --mount sh -c '
  for d in usr lib lib64; do mount --rbind "/$d" "$1/$d"; done
  cd "$1" && exec chroot . "$2" --no-html-scan "/$3"' sh "$stage" "$chmcmd_bin" "$project" >/dev/null
chm="$stage/$(sed -n 's/^Compiled file=//p' "$stage/$project" | tr -d '\r')"
[ -s "$chm" ] || { echo "compile_help: chmcmd wrote no help file" >&2; exit 1; }
mkdir -p "$(dirname "$output")"
cp "$chm" "$output"
