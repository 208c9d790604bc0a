# Redirects from the download server: a secure request that is redirected to plain HTTP, or any
# request redirected to a scheme other than HTTP and HTTPS, is refused (the run ends with 2 and
# nothing of what the redirect led to is used), whatever case the base URL's scheme is written
# in. The test certificate is made trusted for the program alone: it runs in a mount namespace
# of its own where the system's CA bundle is that certificate.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"

served=$sandbox/served
manifest_path=kvrHelmsight/config/orvel_updater.xml
mkdir -p "$served/kvrHelmsight/config" "$sandbox/servers"
printf '<updater><version>5.3.2.4</version></updater>' >"$served/$manifest_path"
make_test_certificate "$sandbox/tls"
secure_state=$sandbox/servers/secure
plain_state=$sandbox/servers/plain
secure_url=$(start_download_server "$secure_state" "$served" \
  --tls-cert "$sandbox/tls/cert.pem" --tls-key "$sandbox/tls/key.pem")
plain_url=$(start_download_server "$plain_state" "$served")
secure_port=$(cat "$secure_state/port")
# By name: Wine's WinINet matches a certificate's DNS names, not its IP addresses.
secure_url=https://localhost:$secure_port/

if [ "$kind" = linux ]; then
  run_dir=$TMPDIR/helmsight-run
else
  temp=$("$runner" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
  run_dir=$("$runner" winepath -u "$temp" 2>/dev/null)/helmsight-redirect-$$
fi
mkdir -p "$run_dir"
program=$run_dir/$(basename "$setup_program")
cp "$setup_program" "$program"
trap 'rm -rf "$run_dir"; stop_download_servers; cleanup_sandbox' EXIT

# Runs the program with the test certificate as the only trusted root; sets code and output.
run_trusting_test_certificate() {
  : >"$secure_state/log"
  : >"$plain_state/log"
  set +e
  output=$(DISPLAY= timeout -k 5 120 unshare -m bash -c \
    'mount --bind "$1" /etc/ssl/certs/ca-certificates.crt && shift && exec "$@"' _ \
    "$sandbox/tls/cert.pem" ${runner:+"$runner"} "$program" "$@" 2>&1 >/dev/null)
  code=$?
  set -e
  [ "$code" != 124 ] && [ "$code" != 137 ] || fail "the program did not end in time ($*)"
}

redirect_manifest_to() {
  printf '/%s=redirect:%s\n' "$manifest_path" "$1" >"$secure_state/rules"
}

package_requested() {
  grep -q '/application/' "$secure_state/log" "$plain_state/log"
}

# The trusted server's own redirect to itself is followed: the run reaches the package request.
redirect_manifest_to "${secure_url}kvrHelmsight/config/moved.xml"
cp "$served/$manifest_path" "$served/kvrHelmsight/config/moved.xml"
run_trusting_test_certificate -silent -test "$secure_url"
grep -q 'moved\.xml' "$secure_state/log" || fail "the secure redirect was not followed: $output"
package_requested || fail "a secure redirect to the same server stopped the run: $output"
echo "secure to secure: followed"

for base in "$secure_url" "HTTPS://localhost:$secure_port/"; do
  for target in "${plain_url}$manifest_path" "ftp://127.0.0.1:$secure_port/$manifest_path"; do
    redirect_manifest_to "$target"
    run_trusting_test_certificate -silent -test "$base"
    [ "$code" = 2 ] || fail "$base redirected to $target: exit code $code, expected 2: $output"
    ! package_requested || fail "$base redirected to $target: the run went on to the package"
    if [ "$kind" = linux ]; then
      # curl does not follow the redirect at all.
      [ ! -s "$plain_state/log" ] || fail "the plain server was asked: $(cat "$plain_state/log")"
      grep -q 'orvel_updater\.xml' <<<"$output" || fail "no message names the manifest: $output"
    fi
    echo "$base to $target: refused"
  done
done
echo "redirects: ok"
