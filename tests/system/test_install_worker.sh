# Installations from start to end (the install worker's unit tests that need a server) against
# helmsight-download-server on 127.0.0.1 serving fixture packages that the tests pack with
# 7-Zip. Under Wine they run in the shared prefix, against its registry, cmd and taskkill, and
# remove what they wrote.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"
state=$sandbox/servers/site
mkdir -p "$sandbox/served"
server_url=$(start_download_server "$state" "$sandbox/served")

export HELMSIGHT_TEST_SERVER_URL=$server_url
HELMSIGHT_TEST_SERVER_ROOT=$(native_path "$sandbox/served")
HELMSIGHT_TEST_SERVER_RULES=$(native_path "$state/rules")
HELMSIGHT_TEST_SERVER_RELEASE=$(native_path "$state/release")
export HELMSIGHT_TEST_SERVER_ROOT HELMSIGHT_TEST_SERVER_RULES HELMSIGHT_TEST_SERVER_RELEASE

run_with_limit 800 "$bindir/helmsight-unit-tests$exe_suffix" --gtest_color=no \
  --gtest_filter='InstallRunTest.*' || fail "the installation runs failed"
echo "install worker: ok"
