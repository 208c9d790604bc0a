# The real uninstallation against the attacks on its deletion: a link in the installation
# folder that leads to a folder outside (Linux: a symbolic link; Wine: a Unix symbolic link,
# which Wine shows as a reparse point), and a recorded InstallPath that names some other
# folder. The outside files stay.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

dead_url=http://127.0.0.1:9/
product_key='HKLM\SOFTWARE\Korvane\SSD Helmsight'

if [ "$kind" = linux ]; then
  install_folder="$HELMSIGHT_SYSROOT/opt/Korvane/SSD Helmsight"
  scratch=$HELMSIGHT_SYSROOT/scratch
else
  export DISPLAY=
  prefix=$(cd "$bindir/.." && pwd)/wineprefix
  install_folder="$prefix/drive_c/Program Files (x86)/Korvane/SSD Helmsight"
  scratch=$prefix/drive_c/helmsight-links-$$
  # Console mode needs a console: a pseudo-terminal, and a run from inside the temporary
  # folder, whose relaunched copy would get a console of its own.
  temp_folder=$("$runner" winepath -u "$("$runner" cmd /c echo %TEMP% | tr -d '\r')")
  program=$temp_folder/uninstall-links-$$/HelmsightSetup.exe
  mkdir -p "$(dirname "$program")"
  cp "$setup_program" "$program"
  trap 'rm -rf "$scratch" "$(dirname "$install_folder")" "$(dirname "$program")"; cleanup_sandbox' EXIT
fi

set_registry() {
  local type=$1 key=$2 name=$3 data=$4
  if [ "$kind" = linux ]; then
    "$bindir/helmsight-reg" add "$key" /v "$name" /t "$type" /d "$data" /f >/dev/null
  else
    "$runner" reg add "$key" /v "$name" /t "$type" /d "$data" /f /reg:32 >/dev/null 2>&1
  fi
}

# Records an installation at `path` (as the program sees it) and uninstalls it silently.
uninstall_recorded() {
  set_registry REG_DWORD "$product_key" IsInstalled 3
  set_registry REG_SZ "$product_key" InstallPath "$1"
  set +e
  if [ "$kind" = linux ]; then
    run_with_limit 300 "$setup_program" -silent -uninstall -test "$dead_url" >/dev/null 2>&1
  else
    script -qfec "$(printf '%q ' timeout -k 5 300 "$runner" "$program" -silent -uninstall \
      -test "$dead_url")" /dev/null >/dev/null 2>&1
  fi
  code=$?
  set -e
  [ "$code" = 0 ] || fail "the uninstallation of $1 ended with $code"
}

separator=/
[ "$kind" = linux ] || separator='\'

# A link in the installation folder leading to a folder outside with a file in it.
mkdir -p "$scratch/Documents" "$install_folder/drivers"
echo "keep me" >"$scratch/Documents/letter.txt"
echo app >"$install_folder/Helmsight.exe"
ln -s "$scratch/Documents" "$install_folder/docs"
ln -s "$scratch/Documents" "$install_folder/drivers/more-docs"
uninstall_recorded "$(native_path "$install_folder")$separator"
[ "$(cat "$scratch/Documents/letter.txt" 2>/dev/null)" = "keep me" ] ||
  fail "the uninstallation deleted the file a link in the installation folder led to"
if [ "$kind" = linux ]; then
  [ ! -e "$install_folder" ] && [ ! -L "$install_folder/docs" ] ||
    fail "the installation folder or its link is still there"
else
  # Wine removes a Unix link only by deleting what it points at, so the deletion stops there.
  echo "under Wine the link stays: $(ls -A "$install_folder" 2>/dev/null | tr '\n' ' ')"
fi
echo "link in the installation folder: ok"

# A recorded path that names no product folder, though no well-known folder either.
mkdir -p "$scratch/stuff/inner"
echo "mine" >"$scratch/stuff/notes.txt"
echo "mine" >"$scratch/stuff/inner/more.txt"
for recorded in "$scratch/stuff" "$scratch/stuff/inner/.."; do
  uninstall_recorded "$(native_path "$recorded")$separator"
  [ -f "$scratch/stuff/notes.txt" ] && [ -f "$scratch/stuff/inner/more.txt" ] ||
    fail "InstallPath $recorded had its folder deleted"
done
echo "InstallPath naming another folder: ok"
rm -rf "$scratch"
