# The relaunch from a temporary copy: a silent run started outside the temporary folder ends
# with the copy's exit code, the copy keeps the program's file name, a window-mode start ends
# at once with 0, and a run without administrator rights stops with exit code 2.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

name=$(basename "$setup_program")
dead_server=http://127.0.0.1:9/

if [ "$kind" = linux ]; then
  temp_folder=$TMPDIR
else
  temp_folder=$("$runner" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  temp_folder=$("$runner" winepath -u "$temp_folder" 2>/dev/null)
fi
[ -d "$temp_folder" ] || fail "no temporary folder found"

# The reference: the same program started inside the temporary folder is not relaunched.
inside=$temp_folder/reference-$$
mkdir -p "$inside"
cp "$setup_program" "$inside/$name"
set +e
run_with_limit 120 "$inside/$name" -silent -test "$dead_server" >/dev/null 2>&1
expected=$?
set -e
[ "$expected" != 124 ] || fail "the program did not end in time"
rm -rf "$inside"

list_copies() { find "$temp_folder" -mindepth 2 -maxdepth 2 -name "$name" | sort; }
before=$(list_copies)
set +e
run_with_limit 120 "$setup_program" -silent -test "$dead_server" >/dev/null 2>&1
code=$?
set -e
[ "$code" = "$expected" ] || fail "silent relaunch ended with $code, the copy's code is $expected"
new_copies=$(comm -13 <(printf '%s\n' "$before") <(list_copies))
[ "$(printf '%s\n' "$new_copies" | grep -c .)" = 1 ] ||
  fail "expected one new copy named $name in the temporary folder, found: $new_copies"
cmp -s "$new_copies" "$setup_program" || fail "the temporary copy differs from the program"

# Window mode: the first process does not wait for the copy.
set +e
run_with_limit 120 "$setup_program" -test "$dead_server" >/dev/null 2>&1
code=$?
set -e
[ "$code" = 0 ] || fail "window-mode relaunch ended with $code, expected 0"

# Without administrator rights (Linux: a user who may not write the sysroot).
if [ "$kind" = linux ] && command -v setpriv >/dev/null && [ "$(id -u)" = 0 ]; then
  chmod 755 "$sandbox" "$HELMSIGHT_SYSROOT"
  chmod 1777 "$TMPDIR"
  plain=$TMPDIR/plain
  mkdir -p "$plain" && cp "$setup_program" "$plain/$name" && chmod -R a+rx "$plain"
  set +e
  output=$(HOME=$TMPDIR run_with_limit 60 setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$plain/$name" -silent -test "$dead_server" 2>&1)
  code=$?
  set -e
  [ "$code" = 2 ] || fail "a run without administrator rights ended with $code, expected 2: $output"
fi
echo "relaunch: ok"
