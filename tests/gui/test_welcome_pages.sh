# The welcome pages the install decision picks from the record: an installation that stopped
# half-way (incomplete page, Cancel shown), a newer version installed (Cancel hidden, the action
# button ends the program with 0), an older version installed (upgrade page).
source "$(dirname "${BASH_SOURCE[0]}")/lib_gui.sh"

start_xvfb

product_key='HKLM\SOFTWARE\Korvane\SSD Helmsight'
entry_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane SSD Helmsight'
reg_add() {
  if [ "$kind" = linux ]; then
    run_with_limit 60 "$bindir/helmsight-reg" add "$@" /f >/dev/null
  else
    run_with_limit 120 reg add "$@" /f /reg:32 >/dev/null 2>&1
  fi
}

# Incomplete: IsInstalled 1.
reset_product_state
reg_add "$product_key" /v IsInstalled /t REG_DWORD /d 1
start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
screenshot welcome-incomplete
drawn 242 258 110 36 || fail "Cancel is missing on the incomplete page"
click_cancel
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Cancel on the incomplete page ended with $code"

# Newer version installed: IsInstalled 3 and an installed version above the package's.
reset_product_state
reg_add "$product_key" /v IsInstalled /t REG_DWORD /d 3
reg_add "$entry_key" /v DisplayVersion /t REG_SZ /d 99.0.0.0
start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
sleep 1
! drawn 242 258 110 36 || fail "Cancel is shown on the newer-version page"
drawn 352 258 110 36 || fail "the action button is missing on the newer-version page"
screenshot welcome-newer
click_action
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "OK on the newer-version page ended with $code, expected 0"
reset_product_state

# An older version installed: the upgrade page.
reg_add "$product_key" /v IsInstalled /t REG_DWORD /d 3
reg_add "$entry_key" /v DisplayVersion /t REG_SZ /d 2.7.1.0
start_setup -test "$server_url"
find_window 90
wait_for_page welcome 30
screenshot welcome-upgrade
drawn 242 258 110 36 || fail "Cancel is missing on the upgrade page"
click_cancel
code=$(wait_for_exit 60)
[ "$code" = 0 ] || fail "Cancel on the upgrade page ended with $code"
reset_product_state
echo "welcome pages: ok"
