# Shared by the system tests: the build under test, a sandbox per test, and running binaries
# with a time limit. Sourced with the arguments kind (linux|win32), runner, binaries folder.
set -euo pipefail

kind=$1
runner=$2
bindir=$3

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/helmsight-test.XXXXXX")

# The Wine prefix is shared by the Windows tests: each test starts from, and leaves, a
# registry without the product's keys.
forget_wine_registry() {
  local key
  for key in 'HKLM\SOFTWARE\Korvane' 'HKLM\SOFTWARE\Vantrel' 'HKLM\SOFTWARE\KVR' \
    'HKLM\SOFTWARE\KVR SSD Helmsight' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane SSD Helmsight' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel SSD Helmsight' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KVR SSD Helmsight'; do
    "$runner" reg delete "$key" /f /reg:32 >/dev/null 2>&1 || true
  done
}

cleanup_sandbox() {
  if [ "$kind" = win32 ]; then
    forget_wine_registry
  fi
  rm -rf "$sandbox"
}
trap cleanup_sandbox EXIT

if [ "$kind" = linux ]; then
  setup_program=$bindir/helmsight-setup
  exe_suffix=""
  mkdir -p "$sandbox/root" "$sandbox/tmp" "$sandbox/home"
  export HELMSIGHT_SYSROOT=$sandbox/root TMPDIR=$sandbox/tmp HOME=$sandbox/home
else
  setup_program=$bindir/HelmsightSetup.exe
  exe_suffix=.exe
  forget_wine_registry
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs a program of the build under test (through Wine for win32) with a time limit.
run_with_limit() {
  local seconds=$1
  shift
  if [ -n "$runner" ]; then
    timeout -k 5 "$seconds" "$runner" "$@"
  else
    timeout -k 5 "$seconds" "$@"
  fi
}

# A path as the program under test sees it.
native_path() {
  if [ "$kind" = win32 ]; then
    "$runner" winepath -w "$1" 2>/dev/null
  else
    printf '%s\n' "$1"
  fi
}

wait_for_file() {
  local file=$1 seconds=$2 waited=0
  while [ ! -e "$file" ]; do
    sleep 0.1
    waited=$((waited + 1))
    [ "$waited" -lt $((seconds * 10)) ] || return 1
  done
}
