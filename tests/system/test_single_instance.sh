# One instance per program file name: a second process of the same name ends at once with 0
# and shows nothing; a copy under another name is not stopped.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

name=$(basename "$setup_program")
other=$sandbox/OtherSetup$exe_suffix
cp "$setup_program" "$other"
dead_server=http://127.0.0.1:9/

ready=$sandbox/ready
stop=$sandbox/stop
run_with_limit 120 "$bindir/helmsight-lock-holder$exe_suffix" "$name" \
  "$(native_path "$ready")" "$(native_path "$stop")" 90 &
holder=$!
wait_for_file "$ready" 60 || fail "the lock holder did not take the lock"

set +e
output=$(run_with_limit 60 "$setup_program" -silent -test "$dead_server" 2>&1)
code=$?
set -e
[ "$code" = 0 ] || fail "second instance ended with $code, expected 0"
[ -z "$output" ] || fail "second instance printed: $output"

if [ "$kind" = linux ] && [ "$(id -u)" = 0 ]; then
  # Root's lock lives below the sysroot, whatever the temporary folder of the run says.
  [ -f "$HELMSIGHT_SYSROOT/run/helmsight/$name.lock" ] ||
    fail "root's lock file is not in <sysroot>/run/helmsight"
  mkdir -p "$sandbox/other-tmp"
  set +e
  output=$(TMPDIR=$sandbox/other-tmp run_with_limit 60 "$setup_program" -silent \
    -test "$dead_server" 2>&1)
  code=$?
  set -e
  [ "$code" = 0 ] && [ -z "$output" ] ||
    fail "a second instance with another temporary folder was not stopped ($code): $output"
fi

set +e
run_with_limit 60 "$other" -silent -test "$dead_server" >/dev/null 2>&1
other_code=$?
set -e
[ "$other_code" != 0 ] || fail "a copy under another name was stopped by the lock"
[ "$other_code" != 124 ] || fail "a copy under another name did not end in time"

touch "$stop"
wait "$holder" || fail "the lock holder failed"

set +e
run_with_limit 60 "$setup_program" -silent -test "$dead_server" >/dev/null 2>&1
code=$?
set -e
[ "$code" != 0 ] || fail "with the lock released the program still ended at the lock"
echo "single instance: ok"
