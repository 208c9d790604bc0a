# The setup program reading the version manifest at start-up, against helmsight-download-server:
# a failed or unusable manifest ends the run with 2 after naming it; "-uninstall" makes no request
# at all. Under Wine the message box cannot open without a display, so the run goes on at once;
# the texts themselves are checked by the unit tests (DownloadClientTest, ManifestTest).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"

served=$sandbox/served
manifest=$served/kvrHelmsight/config/orvel_updater.xml
mkdir -p "$(dirname "$manifest")" "$sandbox/servers"
state=$sandbox/servers/plain
url=$(start_download_server "$state" "$served")

# The program runs from a folder of its own in the temporary folder, as its relaunched copy does.
if [ "$kind" = linux ]; then
  run_dir=$TMPDIR/helmsight-run
else
  temp=$("$runner" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
  run_dir=$("$runner" winepath -u "$temp" 2>/dev/null)/helmsight-run
fi
mkdir -p "$run_dir"
program=$run_dir/$(basename "$setup_program")
cp "$setup_program" "$program"
trap 'rm -rf "$run_dir"; stop_download_servers; cleanup_sandbox' EXIT

# Runs the program; sets code and output (standard error: where Linux shows message boxes).
run_setup() {
  : >"$state/log"
  set +e
  output=$(DISPLAY= run_with_limit 60 "$program" "$@" 2>&1 >/dev/null)
  code=$?
  set -e
  [ "$code" != 124 ] && [ "$code" != 137 ] || fail "the program did not end in time ($*)"
}

requests() {
  grep -c . "$state/log" || true
}

# On Linux the message is on standard error as "caption: text"; once the catalogue gives English
# texts the whole line is known.
expect_message() {
  local english=$1 name=$2
  [ "$kind" = linux ] || return 0
  grep -q "$name" <<<"$output" || fail "the message does not name $name: $output"
  if grep -q '^Error: ' <<<"$output"; then
    grep -qxF "$english" <<<"$output" || fail "expected \"$english\", got: $output"
  fi
}

# Unusable manifests: each ends the run with 2 after one request. A version that would lead the
# package request out of its folder is no version: no package request follows.
for content in '<updater>1.0</updater>' '<version>1.0' '<Version>1.0</Version>' \
  '<version>../../config</version>' '<version>1.0?x=</version>' '<version>1.0%2f..</version>' \
  '<version></version>'; do
  printf '%s' "$content" >"$manifest"
  run_setup -silent -test "$url"
  [ "$code" = 2 ] || fail "manifest '$content': exit code $code, expected 2"
  [ "$(requests)" = 1 ] || fail "manifest '$content': $(requests) requests, expected 1"
  expect_message "Error: Failed to download orvel_updater.xml" orvel_updater.xml
done

head -c $((1024 * 1024)) /dev/zero | tr '\0' ' ' >"$manifest"
printf '<version>1.0</version>' >>"$manifest"
run_setup -silent -test "$url"
[ "$code" = 2 ] || fail "a manifest over 1 MiB: exit code $code, expected 2"
expect_message "Error: Failed to download orvel_updater.xml" orvel_updater.xml

rm -f "$manifest"
run_setup -silent -test "$url"
[ "$code" = 2 ] || fail "missing manifest: exit code $code, expected 2"
[ "$(requests)" = 1 ] || fail "missing manifest: $(requests) requests, expected 1"
grep -qx 'GET /kvrHelmsight/config/orvel_updater.xml' "$state/log" \
  || fail "unexpected request: $(cat "$state/log")"
if [ "$kind" = linux ] && grep -q '^Error: ' <<<"$output"; then
  grep -qxF 'Error: Missing file: orvel_updater.xml' <<<"$output" || fail "got: $output"
fi

run_setup -silent -test "http://127.0.0.1:1/"
[ "$code" = 2 ] || fail "refused connection: exit code $code, expected 2"
expect_message "Error: A connection with the server could not be established(0x2efd): orvel_updater.xml" \
  orvel_updater.xml

# A plain-HTTP server is trusted only on a loopback address: spellings of this machine that the
# check does not take, and that would reach the server, are refused before any request.
printf '<updater><version>5.3.2.4</version></updater>' >"$manifest"
port=$(cat "$state/port")
for untrusted in "http://127.1:$port/" "http://2130706433:$port/" "http://user@127.0.0.1:$port/"; do
  run_setup -silent -test "$untrusted"
  [ "$code" = 2 ] || fail "base URL $untrusted: exit code $code, expected 2"
  [ "$(requests)" = 0 ] || fail "base URL $untrusted: requests were made: $(cat "$state/log")"
  expect_message "Error: Failed to download ${untrusted}kvrHelmsight/config/orvel_updater.xml" \
    orvel_updater.xml
done

run_setup -silent -test "$url"
# The run goes on to the package of the manifest's version (which this site does not have).
! grep -q orvel_updater.xml <<<"$output" || fail "a good manifest was reported: $output"
[ "$(grep -c orvel_updater.xml "$state/log")" = 1 ] ||
  fail "a good manifest: expected one manifest request: $(cat "$state/log")"
grep -q ' /kvrHelmsight/application/5\.3\.2\.4/Helmsight\.zip$' "$state/log" ||
  fail "the run did not go on to the manifest's package: $(cat "$state/log")"

# Uninstalling needs no manifest: not a single request, whatever the server would answer.
run_setup -uninstall -silent -test "$url"
[ "$(requests)" = 0 ] || fail "-uninstall made requests: $(cat "$state/log")"
[ "$code" != 2 ] || fail "-uninstall ended with 2: $output"
echo "manifest: ok"
