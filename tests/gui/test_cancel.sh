# Cancel during an installation: the rollback runs the uninstalling page, the finish page shows
# no launch check box, and Finish ends with 0 without launching anything. A cancel on a welcome
# page ends the program at once with 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb
reset_product_state

start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
click_action
wait_for_page installing 30
click_cancel
wait_for_page uninstalling 30
screenshot uninstalling-rollback
wait_for_page finish 60
screenshot finish-cancelled
place_stand_in_application
click_action
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Finish after a rollback ended with $code, expected 0"
sleep 1
[ ! -e "$install_folder/Helmsight.exe.launched" ] || fail "Finish after a rollback launched the application"

# On the welcome page Cancel ends the program, with 0.
reset_product_state
start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
click_cancel
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Cancel on the welcome page ended with $code, expected 0"
echo "cancel and rollback: ok"
