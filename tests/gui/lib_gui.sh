# Shared by the GUI tests: a private X server (Xvfb), the setup program's window found and
# driven with xdotool at the controls' client coordinates, pages recognised by which controls
# are drawn, and screenshots under build/<preset>/screenshots/. Sourced with the arguments
# kind (linux|win32), runner, binaries folder.
source "$(dirname "${BASH_SOURCE[0]}")/../system/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../system/download_server.sh"

shots=$(cd "$bindir/.." && pwd)/screenshots
mkdir -p "$shots"

# The download server on 127.0.0.1 with the version manifest of package version 2.8.0.0 and
# its package (the stand-in application and installers; see also place_stand_in_application).
source "$(dirname "${BASH_SOURCE[0]}")/../system/sample_site.sh"
package_version=2.8.0.0
site=$sandbox/site
make_sample_site "$site" "$package_version"
server_url=$(start_download_server "$sandbox/servers/site" "$site")

if [ "$kind" = win32 ]; then
  # A prefix of the GUI tests' own, so that what they install never reaches the other tests.
  export WINEPREFIX
  WINEPREFIX=$(cd "$bindir/.." && pwd)/gui-wineprefix
  program_files="$WINEPREFIX/drive_c/Program Files (x86)"
else
  program_files=$HELMSIGHT_SYSROOT/opt
fi
install_folder="$program_files/Korvane/SSD Helmsight"

xvfb_pid=""
setup_pid=""
cleanup_gui() {
  if [ -n "$setup_pid" ] && kill -0 "$setup_pid" 2>/dev/null; then
    # The timeout below the subshell passes the signal on to the program.
    local child
    for child in $(pgrep -P "$setup_pid" || true); do
      kill "$child" 2>/dev/null || true
    done
    kill "$setup_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
  fi
  if [ -n "${run_folder:-}" ]; then
    rm -rf "$run_folder"
  fi
  stop_download_servers
  cleanup_sandbox
}
trap cleanup_gui EXIT

start_xvfb() {
  local displayfile=$sandbox/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" \
    >"$sandbox/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local waited=0
  while [ ! -s "$displayfile" ]; do
    sleep 0.1
    waited=$((waited + 1))
    [ "$waited" -lt 100 ] || fail "Xvfb did not start: $(cat "$sandbox/xvfb.log")"
  done
  export DISPLAY=:$(head -n 1 "$displayfile")
  unset WAYLAND_DISPLAY
}

# Removes every trace of an earlier run from the GUI tests' own prefix (Windows build); the
# Linux build starts from an empty sandbox anyway.
reset_product_state() {
  if [ "$kind" = win32 ]; then
    rm -rf "$program_files/Korvane" "$program_files/Vantrel"
    local regfile=$sandbox/reset.reg
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      local key
      for key in 'Software\Korvane' 'Software\Vantrel' 'Software\KVR' 'Software\KVR SSD Helmsight' \
        'Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane SSD Helmsight' \
        'Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel SSD Helmsight'; do
        printf '[-HKEY_LOCAL_MACHINE\\%s]\r\n' "$key"
        printf '[-HKEY_LOCAL_MACHINE\\%s]\r\n' "${key/Software\\/Software\\Wow6432Node\\}"
      done
    } >"$regfile"
    run_with_limit 120 regedit /S "$(native_path "$regfile")" >/dev/null 2>&1 || true
  fi
}

# The program relaunches itself from a copy in the temporary folder unless it already runs
# from there: the tests start such a copy, so the window belongs to the process they follow.
prepare_run_copy() {
  local temp_folder
  if [ "$kind" = linux ]; then
    temp_folder=$TMPDIR
  else
    temp_folder=$(run_with_limit 120 cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
    temp_folder=$(run_with_limit 120 winepath -u "$temp_folder" 2>/dev/null)
  fi
  [ -d "$temp_folder" ] || fail "no temporary folder found"
  run_folder=$temp_folder/helmsight-gui-$$
  mkdir -p "$run_folder"
  run_copy=$run_folder/$(basename "$setup_program")
  cp "$setup_program" "$run_copy"
}

# Starts the setup program in the background; its exit code lands in $sandbox/setup.rc.
start_setup() {
  [ -n "${run_copy:-}" ] || prepare_run_copy
  rm -f "$sandbox/setup.rc"
  (
    set +e
    run_with_limit 240 "$run_copy" "$@" >"$sandbox/setup.out" 2>&1
    echo $? >"$sandbox/setup.rc"
  ) &
  setup_pid=$!
}

# Waits for the setup program to end; prints its exit code.
wait_for_exit() {
  local seconds=$1 waited=0
  while [ ! -s "$sandbox/setup.rc" ]; do
    sleep 0.2
    waited=$((waited + 1))
    if [ "$waited" -ge $((seconds * 5)) ]; then
      echo "timeout"
      return
    fi
  done
  cat "$sandbox/setup.rc"
}

# The window's client area on the screen: sets origin_x and origin_y.
find_window() {
  local seconds=${1:-60} waited=0 id=""
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name '^Helmsight Installer$' 2>/dev/null | head -n 1 || true)
    if [ -z "$id" ]; then
      [ ! -s "$sandbox/setup.rc" ] || fail "the setup program ended ($(cat "$sandbox/setup.rc")) without a window: $(cat "$sandbox/setup.out")"
      sleep 0.2
      waited=$((waited + 1))
      [ "$waited" -lt $((seconds * 5)) ] || fail "no window after $seconds s: $(cat "$sandbox/setup.out")"
    fi
  done
  window_id=$id
  eval "$(xdotool getwindowgeometry --shell "$id")"
  origin_x=$X
  origin_y=$Y
  client_width=$WIDTH
  client_height=$HEIGHT
}

click_at() {
  xdotool mousemove --sync $((origin_x + $1)) $((origin_y + $2)) click 1
}

# The controls' places in client coordinates.
click_action() { click_at 406 276; }
click_cancel() { click_at 297 276; }
click_link() { click_at 420 229; }
click_language_box() { click_at 120 180; }

# The darkest grey level (0 black .. 1 white) in a client rectangle: x y width height.
darkest() {
  import -silent -window root -crop "$3x$4+$((origin_x + $1))+$((origin_y + $2))" png:- 2>/dev/null |
    convert - -colorspace gray -format '%[fx:minima]' info:
}
drawn() { awk -v v="$(darkest "$@")" 'BEGIN { exit !(v < 0.8) }'; }

# Which page is showing, from what is drawn: the progress bar's right part (never covered by
# another control), the two push buttons, the language box's right end and the check box.
current_page() {
  local bar=0 action=0 cancel=0 combo=0 check=0
  drawn 300 172 150 14 && bar=1
  drawn 352 258 110 36 && action=1
  drawn 242 258 110 36 && cancel=1
  drawn 205 165 57 32 && combo=1
  drawn 45 152 25 40 && check=1
  if [ $bar = 1 ]; then
    if [ $action = 0 ] && [ $cancel = 1 ]; then echo installing; return; fi
    if [ $action = 0 ] && [ $cancel = 0 ]; then echo uninstalling; return; fi
  elif [ $action = 1 ] && [ $combo = 1 ]; then
    echo welcome
    return
  elif [ $action = 1 ] && [ $cancel = 0 ] && [ $combo = 0 ]; then
    if [ $check = 1 ]; then echo finish-launch; else echo finish; fi
    return
  fi
  echo "unknown(bar=$bar action=$action cancel=$cancel combo=$combo check=$check)"
}

wait_for_page() {
  local wanted=$1 seconds=$2 page="" waited=0 start
  start=$(date +%s)
  while :; do
    page=$(current_page)
    [ "$page" = "$wanted" ] && return 0
    [ ! -s "$sandbox/setup.rc" ] || fail "the program ended ($(cat "$sandbox/setup.rc")) while waiting for the $wanted page: $(cat "$sandbox/setup.out")"
    waited=$(($(date +%s) - start))
    [ "$waited" -lt "$seconds" ] || fail "no $wanted page after $seconds s (last seen: $page)"
    sleep 0.2
  done
}

# Saves the window's client area as <name>-<kind>.png in the screenshots folder.
screenshot() {
  import -silent -window root -crop "${client_width}x${client_height}+${origin_x}+${origin_y}" \
    "$shots/$1-$kind.png"
}

# Processor time of a process in clock ticks (user + system).
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# The process of the setup program itself (below timeout and, for Windows, the Wine runner).
setup_process() {
  local timeout_pid
  timeout_pid=$(pgrep -P "$setup_pid" -x timeout | head -n 1)
  [ -n "$timeout_pid" ] || return 1
  pgrep -P "$timeout_pid" | head -n 1
}

# A stand-in application in the installation folder: writes <its path>.launched when started.
place_stand_in_application() {
  mkdir -p "$install_folder"
  cp "$bindir/helmsight-touch-marker$exe_suffix" "$install_folder/Helmsight.exe"
  chmod +x "$install_folder/Helmsight.exe"
  rm -f "$install_folder/Helmsight.exe.launched"
}
