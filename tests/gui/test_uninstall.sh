# An uninstallation through the window ("-uninstall", as the uninstall entry starts it): the
# uninstall welcome page, the uninstalling page without Cancel, the finish page without the
# launch check box, and Finish ending with 0 without launching the application. Under Wine the
# close box (Alt+F4) is also tried: ignored on the welcome page, the end on the finish page
# (xdotool cannot ask a GTK window to close when no window manager runs).
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb
reset_product_state

start_setup -uninstall -test "$server_url"
find_window 90
wait_for_page welcome 30
screenshot welcome-uninstall
close_window() {
  click_at 200 100  # the message text: gives the window the keyboard, does nothing else
  xdotool key --clearmodifiers alt+F4
}
if [ "$kind" = win32 ]; then
  close_window
  sleep 2
  [ ! -s "$sandbox/setup.rc" ] || fail "the close box ended the program on the welcome page"
  wait_for_page welcome 10
fi
click_action
wait_for_page uninstalling 30
screenshot uninstalling
wait_for_page finish 60
screenshot finish-uninstall
place_stand_in_application
if [ "$kind" = win32 ]; then
  close_window
else
  click_action
fi
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "the finish page after an uninstallation ended with $code, expected 0"
sleep 1
[ ! -e "$install_folder/Helmsight.exe.launched" ] || fail "Finish after an uninstallation launched the application"
echo "uninstall through the window: ok"
