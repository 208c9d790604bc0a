# The copy of the setup program that lands in the installation folder (and that the uninstall
# entry runs with administrator rights) is the program that ran the installation: a file put
# in place of the running copy in the user's temporary folder while it works never gets there.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/sample_site.sh"

make_sample_site "$sandbox/site" 2.8.0.0
url=$(start_download_server "$sandbox/servers/site" "$sandbox/site")

if [ "$kind" = linux ]; then
  install_folder="$HELMSIGHT_SYSROOT/opt/Korvane/SSD Helmsight"
  run_dir=$TMPDIR/helmsight-swap
else
  export DISPLAY=
  prefix=$(cd "$bindir/.." && pwd)/wineprefix
  install_folder="$prefix/drive_c/Program Files (x86)/Korvane/SSD Helmsight"
  temp=$("$runner" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
  run_dir=$("$runner" winepath -u "$temp" 2>/dev/null)/helmsight-swap-$$
fi
# The program runs as the relaunched copy does, from a folder of its own in the temporary folder.
mkdir -p "$run_dir"
name=$(basename "$setup_program")
program=$run_dir/$name
rm -f "$program" && cp "$setup_program" "$program"
trap 'rm -rf "$run_dir" "$install_folder"; stop_download_servers; cleanup_sandbox' EXIT

# The runtime installer waits while its hold file lies beside it: the run is then past the
# unpacking and before the copy.
rm -rf "$install_folder"
mkdir -p "$install_folder"
touch "$install_folder/VC_redist.x86.exe.hold"
run_with_limit 300 "$program" -silent -test "$url" >/dev/null 2>&1 &
setup=$!
wait_for_file "$install_folder/VC_redist.x86.exe.started" 120 ||
  fail "the installation did not reach the runtime installer"

if [ "$kind" = win32 ]; then
  # Through Windows the running copy can be neither overwritten nor renamed away (which a
  # running program's file otherwise can): it is held open with sharing that denies both.
  printf 'MZ planted through Windows\n' >"$run_dir/planted.exe"
  windows_program=$(native_path "$program")
  run_with_limit 60 cmd /c copy /y "$(native_path "$run_dir/planted.exe")" "$windows_program" \
    >/dev/null 2>&1 || true
  run_with_limit 60 cmd /c move /y "$windows_program" "$(native_path "$run_dir/moved.exe")" \
    >/dev/null 2>&1 || true
  cmp -s "$program" "$setup_program" || fail "Windows let the running copy be replaced or renamed"
fi
# The user's own account owns the temporary folder: it renames another program over the copy
# (under Wine, from the Unix side, which Windows' sharing rules do not reach).
printf 'MZ not the setup program\n' >"$run_dir/planted"
mv -f "$run_dir/planted" "$program"
rm -f "$install_folder/VC_redist.x86.exe.hold"
set +e
wait "$setup"
code=$?
set -e
[ "$code" = 0 ] || fail "the installation ended with $code"

installed=$install_folder/$name
[ -f "$installed" ] || fail "no setup program in the installation folder"
cmp -s "$installed" "$setup_program" ||
  fail "the installation folder holds the file that replaced the running copy: $(head -c 40 "$installed")"
if [ "$kind" = linux ]; then
  [ -x "$installed" ] || fail "the installed setup program cannot be run"
fi
# Leave the machine as it was found: shortcuts, uninstall entry and all.
rm -f "$program" && cp "$setup_program" "$program"
run_with_limit 300 "$program" -silent -uninstall -test "$url" >/dev/null 2>&1 ||
  fail "the uninstallation after the test failed"
echo "running image: ok"
