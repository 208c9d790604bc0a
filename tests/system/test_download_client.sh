# The download client, its failure messages and the version manifest (the unit tests that need
# a server) against helmsight-download-server on 127.0.0.1: plain HTTP and HTTPS with an
# untrusted self-signed certificate. On Linux they run once more without any network.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"

unit_tests=$bindir/helmsight-unit-tests$exe_suffix
filter='DownloadClientTest.*:DownloadFailureTest.*:ManifestTest.*'
mkdir -p "$sandbox/servers" "$sandbox/served"
make_test_certificate "$sandbox/tls"
plain=$sandbox/servers/plain
secure=$sandbox/servers/secure
url=$(start_download_server "$plain" "$sandbox/served")
tls_url=$(start_download_server "$secure" "$sandbox/served" \
  --tls-cert "$sandbox/tls/cert.pem" --tls-key "$sandbox/tls/key.pem")

export HELMSIGHT_TEST_SERVER_URL=$url
export HELMSIGHT_TEST_TLS_URL=$tls_url
HELMSIGHT_TEST_SERVER_ROOT=$(native_path "$sandbox/served")
HELMSIGHT_TEST_SERVER_RULES=$(native_path "$plain/rules")
HELMSIGHT_TEST_SERVER_LOG=$(native_path "$plain/log")
HELMSIGHT_TEST_SERVER_RELEASE=$(native_path "$plain/release")
export HELMSIGHT_TEST_SERVER_ROOT HELMSIGHT_TEST_SERVER_RULES HELMSIGHT_TEST_SERVER_LOG
export HELMSIGHT_TEST_SERVER_RELEASE

run_with_limit 600 "$unit_tests" --gtest_color=no --gtest_filter="$filter" \
  || fail "the download tests failed against the server"

if [ "$kind" = linux ]; then
  # A network namespace of its own has no usable interface, not even loopback: no connection.
  if unshare -n true 2>/dev/null; then
    export HELMSIGHT_TEST_OFFLINE=1
    run_with_limit 300 unshare -n "$unit_tests" --gtest_color=no \
      --gtest_filter='NetworkOfflineTest.*' \
      || fail "the download tests failed without a network"
  else
    echo "download client: no network namespace here, the offline cases are not run"
  fi
fi
echo "download client: ok"
