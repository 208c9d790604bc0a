# An uninstallation through the window ("-uninstall", as the uninstall entry starts it): the
# uninstall welcome page, the uninstalling page without Cancel, the finish page without the
# launch check box, and Finish ending with 0 without launching the application.
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb
reset_product_state

start_setup -uninstall -test "$server_url"
find_window 90
wait_for_page welcome 30
screenshot welcome-uninstall
click_action
wait_for_page uninstalling 30
screenshot uninstalling
wait_for_page finish 60
screenshot finish-uninstall
place_stand_in_application
click_action
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Finish after an uninstallation ended with $code, expected 0"
sleep 1
[ ! -e "$install_folder/Helmsight.exe.launched" ] || fail "Finish after an uninstallation launched the application"
echo "uninstall through the window: ok"
