#!/usr/bin/env bash
# Builds 7-Zip's standalone console archiver (7za.exe) for 32-bit Windows from Debian's 7zip
# source package, which scripts/setup-deps keeps in /var/cache/helmsight/7zip-source.
# Usage: build-7za.sh OUTPUT_EXE WORK_FOLDER
set -euo pipefail
output=$1
work=$2
source_root=$(ls -d /var/cache/helmsight/7zip-source/7zip-*/ 2>/dev/null | head -n 1)
if [ -z "$source_root" ]; then
  echo "build-7za: 7zip source not found; run scripts/setup-deps" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"
cp -r "$source_root". "$work/"
cd "$work/CPP/7zip/Bundles/Alone"
make -s -j"$(nproc)" -f makefile.gcc IS_MINGW=1 MSYSTEM=1 \
  CC=i686-w64-mingw32-gcc-posix CXX=i686-w64-mingw32-g++-posix \
  RC="i686-w64-mingw32-windres -F pe-i386" >"$work/build.log" 2>&1 ||
  { tail -n 30 "$work/build.log" >&2; exit 1; }
i686-w64-mingw32-strip -o "$output" _o/7za.exe
