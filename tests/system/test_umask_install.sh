# A real installation (download server, 7-Zip, the stand-in installers run as root) started
# under umask 000 leaves nothing that group or others may write: not the installation folder
# and the installers unpacked into it, not the machine database and its folder, not the
# shortcuts and their folders, not the temporary copy the program ran from, not the lock.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/download_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/sample_site.sh"

if [ "$kind" != linux ]; then
  echo "umask install: file modes are the Linux build's concern"
  exit 0
fi

version=2.8.0.0
make_sample_site "$sandbox/site" "$version"
url=$(start_download_server "$sandbox/servers/site" "$sandbox/site")
install_folder="$HELMSIGHT_SYSROOT/opt/Korvane/SSD Helmsight"
database_folder=$HELMSIGHT_SYSROOT/var/lib/helmsight

set +e
output=$(umask 000 && run_with_limit 300 "$setup_program" -silent -test "$url" 2>&1)
code=$?
set -e
[ "$code" = 0 ] || fail "the installation under umask 000 ended with $code: $output"
[ -f "$install_folder/Helmsight.exe" ] || fail "nothing was installed: $output"
[ -s "$install_folder/standin.log" ] || fail "the stand-in installers did not run"
[ -f "$database_folder/registry.db" ] || fail "no machine database"

# Everything the run made below the sandbox's root, home and temporary folder (these three were
# made by the test; links carry no mode of their own).
writable=$(find "$HELMSIGHT_SYSROOT" "$HOME" "$TMPDIR" -mindepth 1 ! -type l -perm /022 \
  -printf '%m %p\n')
[ -z "$writable" ] || fail "group- or world-writable after the installation:
$writable"

mode_of() {
  stat -c %a "$1"
}
for folder in "$install_folder" "$database_folder" "$HELMSIGHT_SYSROOT/usr/share/applications"; do
  [ "$(mode_of "$folder")" = 755 ] || fail "$folder is $(mode_of "$folder"), expected 755"
done
for file in "$database_folder"/registry.db*; do
  [ "$(mode_of "$file")" = 644 ] || fail "$file is $(mode_of "$file"), expected 644"
done
[ -e "$database_folder/registry.db-wal" ] || fail "no write-ahead log beside the database"
[ "$(mode_of "$install_folder/readme.txt")" = 644 ] || fail "readme.txt is not 644"
[ "$(mode_of "$install_folder/$(basename "$setup_program")")" = 755 ] ||
  fail "the setup program's copy is not 755"
echo "umask install: ok"
