# Message boxes with a display: one asked for on a worker thread appears while the UI thread
# dispatches events (GTK is served by the UI thread only) and the worker goes on once it is
# closed; an installation folder that cannot be made shows its error box and ends with 2.
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb

wait_for_window_named() {
  local name=$1 seconds=$2 waited=0 id=""
  while [ -z "$id" ]; do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)
    if [ -z "$id" ]; then
      sleep 0.2
      waited=$((waited + 1))
      [ "$waited" -lt $((seconds * 5)) ] || return 1
    fi
  done
  echo "$id"
}

dismiss() {
  local id=$1
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -silent -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shots/$2-$kind.png"
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  xdotool key --window "$id" Return
  sleep 0.5
  xdotool key Return 2>/dev/null || true
}

rm -f "$sandbox/setup.rc"
(
  set +e
  run_with_limit 120 "$bindir/helmsight-dialog-from-worker$exe_suffix" 90 >"$sandbox/setup.out" 2>&1
  echo $? >"$sandbox/setup.rc"
) &
setup_pid=$!
box=$(wait_for_window_named '^Helmsight dialog test$' 60) || fail "no box for the worker thread: $(cat "$sandbox/setup.out")"
dismiss "$box" message-box-worker
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "the worker's box ended the tool with $code: $(cat "$sandbox/setup.out")"

# A file where the installation folder should be.
reset_product_state
mkdir -p "$program_files/Korvane"
echo "not a folder" >"$install_folder"
start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
click_action
box=$(wait_for_window_named '^Error$' 60) || fail "no error box for the installation folder"
dismiss "$box" message-box-folder
code=$(wait_for_exit 60)
[ "$code" = 2 ] || fail "a folder that cannot be made ended with $code, expected 2"
[ -f "$install_folder" ] || fail "the file in the folder's place was touched"
reset_product_state
echo "message boxes: ok"
