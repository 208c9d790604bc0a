# Installations from start to end (the install worker's unit tests that need a server) against
# helmsight-download-server on 127.0.0.1 serving fixture packages that the tests pack with
# 7-Zip. Under Wine they run in the shared prefix, against its registry, cmd and taskkill, and
# remove what they wrote.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$kind" = linux ]; then
  server=$bindir/helmsight-download-server
else
  server=$(cd "$bindir/../.." && pwd)/linux/bin/helmsight-download-server
fi
if [ ! -x "$server" ]; then
  # The download server comes with the download client; without it there is nothing to run.
  echo "install worker: no $server, skipped"
  exit 0
fi

state=$sandbox/server
mkdir -p "$state" "$sandbox/served"
: >"$state/rules"
timeout -k 5 900 "$server" --root "$sandbox/served" --port-file "$state/port" \
  --log "$state/log" --rules-file "$state/rules" --release "$state/release" \
  >"$state/output" 2>&1 </dev/null &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true; cleanup_sandbox' EXIT
waited=0
while [ ! -s "$state/port" ]; do
  kill -0 "$server_pid" 2>/dev/null || { cat "$state/output" >&2; fail "the server did not start"; }
  [ "$waited" -lt 300 ] || fail "the server did not start in time"
  sleep 0.1
  waited=$((waited + 1))
done

# Wine's menu builder would mirror the shortcuts into the real home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HELMSIGHT_TEST_SERVER_URL=http://127.0.0.1:$(cat "$state/port")/
HELMSIGHT_TEST_SERVER_ROOT=$(native_path "$sandbox/served")
HELMSIGHT_TEST_SERVER_RULES=$(native_path "$state/rules")
HELMSIGHT_TEST_SERVER_RELEASE=$(native_path "$state/release")
export HELMSIGHT_TEST_SERVER_ROOT HELMSIGHT_TEST_SERVER_RULES HELMSIGHT_TEST_SERVER_RELEASE

run_with_limit 800 "$bindir/helmsight-unit-tests$exe_suffix" --gtest_color=no \
  --gtest_filter='InstallRunTest.*' || fail "the installation runs failed"
echo "install worker: ok"
