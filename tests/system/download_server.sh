# Starting and stopping helmsight-download-server for system tests; source after lib.sh.
# The server is a Linux program in both builds: the Windows build under Wine reaches it over
# 127.0.0.1 too.
#
#   start_download_server DIR ROOT [server options...]
# starts a server for the folder ROOT with its state in DIR (port, request log "log", rules
# file "rules", release file "release", its output in "output") and prints its base URL
# (http://127.0.0.1:PORT/, https:// with --tls-cert). Servers end with the test.
#   make_test_certificate DIR     writes DIR/cert.pem and DIR/key.pem, self-signed for 127.0.0.1
#                                 (and for localhost, the name Wine's WinINet can match)

download_server_binary() {
  local here linux_bindir
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  if [ "$kind" = linux ]; then
    linux_bindir=$bindir
  else
    linux_bindir=$(cd "$bindir/../.." && pwd)/linux/bin
  fi
  local server=$linux_bindir/helmsight-download-server
  [ -x "$server" ] || fail "no $server: build the linux preset first (scripts/test does)"
  printf '%s\n' "$server"
}

start_download_server() {
  local dir=$1 root=$2
  shift 2
  local server scheme=http
  server=$(download_server_binary)
  mkdir -p "$dir"
  : >"$dir/rules"
  : >"$dir/log"
  case " $* " in *" --tls-cert "*) scheme=https ;; esac
  timeout -k 5 900 "$server" --root "$root" --port-file "$dir/port" --log "$dir/log" \
    --rules-file "$dir/rules" --release "$dir/release" "$@" >"$dir/output" 2>&1 </dev/null &
  echo $! >"$dir/pid"
  local waited=0
  while [ ! -s "$dir/port" ]; do
    if ! kill -0 "$(cat "$dir/pid")" 2>/dev/null || [ "$waited" -ge 300 ]; then
      cat "$dir/output" >&2
      fail "the download server did not start"
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  printf '%s://127.0.0.1:%s/\n' "$scheme" "$(cat "$dir/port")"
}

stop_download_servers() {
  local pid_file
  for pid_file in "$sandbox"/*/pid "$sandbox"/servers/*/pid; do
    [ -f "$pid_file" ] || continue
    kill "$(cat "$pid_file")" 2>/dev/null || true
    rm -f "$pid_file"
  done
}
trap 'stop_download_servers; cleanup_sandbox' EXIT

make_test_certificate() {
  local dir=$1
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout "$dir/key.pem" -out "$dir/cert.pem" \
    >/dev/null 2>&1 || fail "openssl could not make a test certificate"
}
