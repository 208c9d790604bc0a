# helmsight-reg, the Linux build's reg.exe: reg.exe's output layout and exit codes, where the
# two databases live, and several processes writing one key at the same time.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$kind" != linux ]; then
  echo "registry tool: the Windows build uses Wine's own reg"
  exit 0
fi

reg() { timeout -k 5 60 "$bindir/helmsight-reg" "$@"; }
key='HKLM\SOFTWARE\Korvane\SSD Helmsight'

set +e
reg query "$key" >/dev/null 2>&1
code=$?
set -e
[ "$code" = 1 ] || fail "query of a missing key ended with $code"

reg add "$key" /v CurrentCulture /t REG_SZ /d de-DE /f >/dev/null
reg add "$key" /v IsInstalled /t REG_DWORD /d 3 /f >/dev/null
reg add "$key" /v Big /t REG_DWORD /d 0xFFFFFFFF /f >/dev/null
reg add "$key" /v Folder /t REG_EXPAND_SZ /d '%ProgramFiles%\Korvane' /f >/dev/null
reg add "$key" /v Empty /d '' /f >/dev/null
reg add "$key\\Sub" /f >/dev/null

expected=$(printf '\n%s\n%s\n%s\n%s\n%s\n%s\n\n%s' 'HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\SSD Helmsight' \
  '    Big    REG_DWORD    0xffffffff' \
  '    CurrentCulture    REG_SZ    de-DE' \
  '    Empty    REG_SZ    ' \
  '    Folder    REG_EXPAND_SZ    %ProgramFiles%\Korvane' \
  '    IsInstalled    REG_DWORD    0x3' \
  'HKEY_LOCAL_MACHINE\SOFTWARE\Korvane\SSD Helmsight\Sub')
got=$(reg query "$key")
[ "$got" = "$expected" ] || fail "query printed:
$got
expected:
$expected"

got=$(reg query 'hklm\software\KORVANE\\SSD Helmsight\' /v currentculture /reg:32)
[ "$got" = "$(printf '\n%s\n%s' 'HKEY_LOCAL_MACHINE\software\KORVANE\\SSD Helmsight\' \
  '    CurrentCulture    REG_SZ    de-DE')" ] || fail "query of one value printed: $got"

set +e
reg query "$key" /v Missing >/dev/null 2>&1
[ $? = 1 ] || fail "query of a missing value did not end with 1"
reg delete "$key" /v Missing /f >/dev/null 2>&1
[ $? = 1 ] || fail "delete of a missing value did not end with 1"
reg add "$key" /v IsInstalled /t REG_DWORD /d 1 </dev/null >/dev/null 2>&1
[ $? = 1 ] || fail "overwriting without /f and without an answer did not end with 1"
reg add "$key" /v Bad /t REG_DWORD /d twelve /f >/dev/null 2>&1
[ $? = 1 ] || fail "a DWORD that is no number was accepted"
set -e
reg query "$key" /v IsInstalled | grep -q '0x3$' || fail "IsInstalled was overwritten unasked"

reg delete "$key" /v IsInstalled /f >/dev/null
set +e
reg query "$key" /v IsInstalled >/dev/null 2>&1
[ $? = 1 ] || fail "the deleted value is still there"
set -e
reg delete 'HKLM\SOFTWARE\Korvane' /f >/dev/null
set +e
reg query "$key\\Sub" >/dev/null 2>&1
[ $? = 1 ] || fail "deleting the maker key left its subkeys"
set -e

# The machine-wide keys below the sysroot, the user's below the user's data folder.
[ -f "$HELMSIGHT_SYSROOT/var/lib/helmsight/registry.db" ] || fail "no machine database"
reg add 'HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' /v KorvaneSSDHelmsight /d x /f \
  >/dev/null
[ -f "$HOME/.local/share/helmsight/registry.db" ] || fail "no user database below HOME"
XDG_DATA_HOME=$sandbox/data reg add 'HKCU\SOFTWARE\Test' /v V /d x /f >/dev/null
[ -f "$sandbox/data/helmsight/registry.db" ] || fail "XDG_DATA_HOME is not used"
set +e
reg query 'HKCU\SOFTWARE\Test' >/dev/null 2>&1
[ $? = 1 ] || fail "the two user databases are not separate"
reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' >/dev/null 2>&1
[ $? = 1 ] || fail "HKCU and HKLM are not separate"
set -e

# Eight processes add twenty values each to one key at the same time; none is lost.
pids=()
for p in 1 2 3 4 5 6 7 8; do
  (for v in $(seq 1 20); do
    reg add 'HKLM\SOFTWARE\Race' /v "P${p}V$v" /t REG_DWORD /d "$v" /f >/dev/null || exit 1
  done) &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid" || fail "a concurrent writer failed"
done
count=$(reg query 'HKLM\SOFTWARE\Race' | grep -c 'REG_DWORD')
[ "$count" = 160 ] || fail "$count of 160 values written concurrently are there"
echo "registry tool: ok"
