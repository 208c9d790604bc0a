# A full installation through the window: the install welcome page, the installing page (the
# release-notes link works meanwhile, and following the worker keeps no processor busy), the
# finish page with the launch check box, the setup program copied into the installation folder,
# and Finish launching the application and ending with 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb
reset_product_state
# The release notes go to the desktop's handler: here one that writes down what it was given.
mkdir -p "$sandbox/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$sandbox/opened" >"$sandbox/bin/xdg-open"
chmod +x "$sandbox/bin/xdg-open"
export PATH=$sandbox/bin:$PATH

start_setup -test "$server_url"
find_window 90
[ "$client_width" = 490 ] || [ "$kind" = win32 ] || fail "window width $client_width, expected 490"
[ "$client_height" = 357 ] || [ "$kind" = win32 ] || fail "window height $client_height, expected 357"
# Centred on the 1024 x 768 screen: the outer window at (267, 205). Under Wine the X window is
# the client area, inside the frame.
if [ "$kind" = linux ]; then
  [ "$origin_x,$origin_y" = "267,205" ] || fail "window at $origin_x,$origin_y, expected 267,205"
else
  [ "$origin_x" -ge 267 ] && [ "$origin_x" -le 277 ] && [ "$origin_y" -ge 205 ] &&
    [ "$origin_y" -le 240 ] || fail "window client area at $origin_x,$origin_y, expected the frame at 267,205"
fi
wait_for_page welcome 30
screenshot welcome-install
[ ! -e "$install_folder" ] || fail "the installation folder exists before anything was done"

click_action
wait_for_page installing 30
screenshot installing
[ -d "$install_folder" ] || fail "the action did not make the installation folder first"

# Following the worker waits for messages instead of polling: over two seconds of the
# installing page the program uses well under one processor.
pid=$(setup_process) || fail "cannot find the setup process"
before=$(cpu_ticks "$pid")
started=$(date +%s%N)
sleep 2
after=$(cpu_ticks "$pid")
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
ticks=$(getconf CLK_TCK)
cpu_ms=$(((after - before) * 1000 / ticks))
echo "installing page: $(cat /proc/$pid/comm) used ${cpu_ms} ms of processor time in ${elapsed_ms} ms"
[ "$cpu_ms" -lt $((elapsed_ms / 2)) ] || fail "the installing page kept a processor busy: ${cpu_ms} ms in ${elapsed_ms} ms"

# Under Wine the shell's "open" of an address reaches the same desktop handler.
click_link
wait_for_file "$sandbox/opened" 20 || fail "the release-notes link opened nothing"
grep -qx "${server_url}kvrHelmsight/KorvaneHelmsightReleaseNotes.pdf" "$sandbox/opened" ||
  fail "the link opened: $(cat "$sandbox/opened")"

wait_for_page finish-launch 60
screenshot finish-install
setup_copy=$install_folder/$(basename "$setup_program")
wait_for_file "$setup_copy" 20 || fail "the setup program was not copied into the installation folder"
cmp -s "$setup_copy" "$setup_program" || fail "the copy of the setup program differs"

place_stand_in_application
click_action
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Finish ended with $code, expected 0"
wait_for_file "$install_folder/Helmsight.exe.launched" 30 || fail "Finish did not launch the application"
echo "install through the window: ok"
