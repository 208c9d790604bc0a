# Silent mode end to end against the download server on 127.0.0.1: a fresh installation, the
# second run, the uninstallation, nothing to uninstall, the reinstallation over an incomplete
# installation, manifest and package failures, and a German locale; exact console lines, exit
# codes, the registry record, files, shortcuts and the prerequisite installers' runs.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/sample_site.sh"

version=2.8.0.0
make_sample_site "$sandbox/site" "$version"
url=$(start_download_server "$sandbox/servers/site" "$sandbox/site")
dead_url=http://127.0.0.1:9/

if [ "$kind" = linux ]; then
  install_folder="$HELMSIGHT_SYSROOT/opt/Korvane/SSD Helmsight"
  desktop=$HOME/Desktop
  programs=$HELMSIGHT_SYSROOT/usr/share/applications
  shortcut=Helmsight.desktop
  program=$setup_program # runs through the relaunch from the temporary folder
else
  export DISPLAY= # message boxes return at once; their console lines remain
  prefix=$(cd "$bindir/.." && pwd)/wineprefix
  install_folder="$prefix/drive_c/Program Files (x86)/Korvane/SSD Helmsight"
  desktop=$(ls -d "$prefix"/drive_c/users/*/Desktop | grep -v /Public/ | head -n 1)
  programs="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
  shortcut=Helmsight.lnk
  # Wine gives a relaunched copy a console of its own that no pipe sees, so the console lines
  # are read from a run that starts inside the temporary folder (the relaunch test covers the
  # way through the copy).
  temp_folder=$("$runner" winepath -u "$("$runner" cmd /c echo %TEMP% | tr -d '\r')")
  program=$temp_folder/silent-mode-$$/HelmsightSetup.exe
  mkdir -p "$(dirname "$program")"
  cp "$setup_program" "$program"
  trap 'rm -rf "$(dirname "$program")"; stop_download_servers; cleanup_sandbox' EXIT
fi

# Runs the setup program; sets $code and $lines (the console output, one line each, without
# terminal codes and carriage returns).
run_silent() {
  local out=$sandbox/console.txt
  set +e
  if [ "$kind" = linux ]; then
    run_with_limit 300 "$program" "$@" >"$out" 2>/dev/null
    code=$?
  else
    local command
    command=$(printf '%q ' timeout -k 5 300 "$runner" "$program" "$@")
    script -qfec "stty cols 250; $command" /dev/null >"$out" 2>/dev/null
    code=$?
  fi
  set -e
  lines=$(sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' "$out" | grep -v '^$' || true)
}

expect_lines() {
  local expected=$1 context=$2
  # Wine's console may paint a blank as a cursor move: compare with blanks folded.
  [ "$(tr -d ' ' <<<"$lines")" = "$(tr -d ' ' <<<"$expected")" ] ||
    fail "$context: console lines were
$lines
expected
$expected"
}

registry_value() {
  local key=$1 name=$2
  if [ "$kind" = linux ]; then
    "$bindir/helmsight-reg" query "$key" /v "$name" 2>/dev/null | awk -v n="$name" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
  else
    "$runner" reg query "$key" /v "$name" /reg:32 2>/dev/null | tr -d '\r' |
      awk -v n="$name" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
  fi
}

set_registry_dword() {
  if [ "$kind" = linux ]; then
    "$bindir/helmsight-reg" add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null
  else
    "$runner" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f /reg:32 >/dev/null 2>&1
  fi
}

product_key='HKLM\SOFTWARE\Korvane\SSD Helmsight'
entry_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane SSD Helmsight'
installed_lines="Installing Helmsight...
Version: $version
Language: en-US
Installation complete."

# A fresh installation.
run_silent -silent -test "$url"
[ "$code" = 0 ] || fail "fresh installation ended with $code: $lines"
expect_lines "$installed_lines" "fresh installation"
[ "$(registry_value "$product_key" IsInstalled)" = 0x3 ] || fail "IsInstalled is not 3"
[ "$(registry_value "$product_key" CurrentVersion)" = "$version" ] || fail "CurrentVersion"
[ "$(registry_value "$product_key" CurrentCulture)" = en-US ] || fail "CurrentCulture"
[ "$(registry_value "$product_key" IsCachePolicy)" = 0 ] || fail "IsCachePolicy"
[ -n "$(registry_value "$product_key" InstallPath)" ] || fail "InstallPath is empty"
[ "$(registry_value "$entry_key" DisplayVersion)" = "$version" ] || fail "DisplayVersion"
[ "$(registry_value "$entry_key" DisplayName)" = Helmsight ] || fail "DisplayName"
[ "$(registry_value "$entry_key" Publisher)" = "Korvane Corporation" ] || fail "Publisher"
uninstall_string=$(registry_value "$entry_key" UninstallString)
case "$uninstall_string" in
  \"*\"" -uninstall") ;;
  *) fail "UninstallString is not a quoted path and -uninstall: $uninstall_string" ;;
esac
for file in Helmsight.exe readme.txt "$(basename "$setup_program")"; do
  [ -f "$install_folder/$file" ] || fail "$file is not in the installation folder"
done
[ ! -e "$install_folder/Helmsight.zip" ] || fail "the package archive was left behind"
grep -q "^VC_redist.x86.exe	/quiet /norestart	" "$install_folder/standin.log" ||
  fail "the runtime installer did not run as expected: $(cat "$install_folder/standin.log")"
[ -f "$desktop/$shortcut" ] || fail "no desktop shortcut"
[ -f "$programs/$shortcut" ] || fail "no Start menu shortcut"
echo "fresh installation: ok"

# The second run finds it installed: its line alone, exit code 1.
run_silent -silent -test "$url"
[ "$code" = 1 ] || fail "second run ended with $code"
expect_lines "Helmsight is already installed. Exiting installer." "second run"
echo "second run: ok"

# The uninstallation: the version line shows the recorded version; the culture survives.
run_silent -silent -uninstall -test "$dead_url"
[ "$code" = 0 ] || fail "uninstallation ended with $code: $lines"
expect_lines "Uninstalling Helmsight...
Version: $version
Language: en-US
Uninstall complete." "uninstallation"
[ ! -e "$install_folder" ] || fail "the installation folder is still there"
[ ! -e "$desktop/$shortcut" ] && [ ! -e "$programs/$shortcut" ] || fail "a shortcut remains"
[ -z "$(registry_value "$entry_key" DisplayVersion)" ] || fail "the uninstall entry remains"
[ -z "$(registry_value "$product_key" IsInstalled)" ] || fail "IsInstalled remains"
[ "$(registry_value "$product_key" CurrentCulture)" = en-US ] || fail "the culture was lost"
[ "$(registry_value "$product_key" StartMinimized)" = 0 ] || fail "StartMinimized"
echo "uninstallation: ok"

# Nothing to uninstall.
run_silent -silent -uninstall -test "$dead_url"
[ "$code" = 1 ] || fail "uninstalling nothing ended with $code"
expect_lines "Cannot uninstall Helmsight. Helmsight is not installed. Exiting installer." \
  "nothing to uninstall"
echo "nothing to uninstall: ok"

# A reinstallation over an installation that stopped half-way.
run_silent -silent -test "$url"
[ "$code" = 0 ] || fail "installation ended with $code"
set_registry_dword "$product_key" IsInstalled 1
rm -f "$install_folder/readme.txt"
run_silent -silent -test "$url"
[ "$code" = 0 ] || fail "reinstallation ended with $code: $lines"
expect_lines "Reinstalling Helmsight...
Version: $version
Language: en-US
Installation complete." "reinstallation"
[ -f "$install_folder/readme.txt" ] || fail "the reinstallation did not unpack the package"
[ "$(registry_value "$product_key" IsInstalled)" = 0x3 ] || fail "IsInstalled is not 3 again"
echo "reinstallation: ok"
run_silent -silent -uninstall -test "$dead_url"
[ "$code" = 0 ] || fail "uninstallation ended with $code"

# A manifest that cannot be downloaded: exit code 2 and the message on the console.
run_silent -silent -test "$dead_url"
[ "$code" = 2 ] || fail "a failed manifest download ended with $code"
grep -q '^Error: .*orvel_updater.xml' <<<"$lines" || fail "no manifest message: $lines"
echo "manifest failure: ok"

# A package that cannot be downloaded.
rm -rf "$sandbox/site/kvrHelmsight/application"
run_silent -silent -test "$url"
[ "$code" = 2 ] || fail "a failed package download ended with $code: $lines"
grep -q '^Error: .*Helmsight.zip' <<<"$lines" || fail "no package message: $lines"
echo "package failure: ok"
make_sample_site "$sandbox/site" "$version"

# A German locale: the culture is de-DE and the texts are German.
if [ "$kind" = linux ]; then
  "$bindir/helmsight-reg" delete "$product_key" /f >/dev/null 2>&1 || true
  LC_ALL=de_DE.UTF-8 run_silent -silent -test "$url"
else
  "$runner" reg delete "$product_key" /f /reg:32 >/dev/null 2>&1 || true
  HELMSIGHT_WINE_LANG=de_DE.UTF-8 run_silent -silent -test "$url"
fi
[ "$code" = 0 ] || fail "the German installation ended with $code: $lines"
expect_lines "${installed_lines/en-US/de-DE}" "German locale"
[ "$(registry_value "$product_key" CurrentCulture)" = de-DE ] || fail "the culture is not de-DE"
run_silent -silent -uninstall -test "$dead_url"
[ "$code" = 0 ] || fail "the German uninstallation ended with $code"
echo "German locale: ok"
