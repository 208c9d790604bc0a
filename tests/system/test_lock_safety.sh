# The single-instance lock cannot be turned against the program: a link planted where the lock
# file goes is not followed, a lock folder or file that someone else prepared is refused, and
# each ends in the lock message and exit code 2, never in a run without the lock. Root keeps
# its lock below <sysroot>/run/helmsight; another user in the temporary folder (run here as
# nobody, in a world-writable sticky folder like /tmp).
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$kind" != linux ]; then
  echo "lock safety: the Windows build's lock is a named mutex (see the unit tests)"
  exit 0
fi
[ "$(id -u)" = 0 ] || fail "this test plants files of other owners and needs root"

export DISPLAY= # the message goes to the console and standard error, no dialog
name=$(basename "$setup_program")
lock_folder=$HELMSIGHT_SYSROOT/run/helmsight
lock_file=$lock_folder/$name.lock
dead_server=http://127.0.0.1:9/

# Runs the program the way a user starts it (through its temporary copy, as root); expects the
# lock message for $2 (default: root's lock file) and exit code 2.
expect_refused() {
  local context=$1 location=${2:-$lock_file}
  shift 2 || shift
  set +e
  output=$(run_with_limit 60 "$@" "${program:-$setup_program}" -silent -test "$dead_server" \
    2>/dev/null)
  code=$?
  set -e
  [ "$code" = 2 ] || fail "$context: ended with $code, expected 2: $output"
  [ "$output" = "Error: Failed to create lock file $location" ] ||
    fail "$context: printed
$output"
  echo "$context: refused"
}

forget_lock_places() {
  rm -rf "$HELMSIGHT_SYSROOT/run" "$TMPDIR/$name.lock"
}

# A link at the lock path (in root's folder, and in the temporary folder where the lock used to
# be) aimed at a file whose mere existence matters: the file is not created.
victim=$sandbox/victim
mkdir -p "$lock_folder"
ln -s "$victim" "$lock_file"
ln -s "$victim" "$TMPDIR/$name.lock"
expect_refused "a link at the lock path"
[ ! -e "$victim" ] && [ ! -L "$victim" ] || fail "the link at the lock path was followed"
forget_lock_places

# A second name for a file of root's: its mode is not touched.
precious=$sandbox/precious
echo keep >"$precious"
chmod 0644 "$precious"
mkdir -p "$lock_folder"
ln "$precious" "$lock_file"
expect_refused "a hard link at the lock path"
[ "$(stat -c %a "$precious")" = 644 ] || fail "the hard-linked file's mode was changed"
[ "$(cat "$precious")" = keep ] || fail "the hard-linked file was changed"
forget_lock_places

# A lock folder that others may write (and so swap the lock file in at any time): refused
# empty, and with a lock file planted by another user.
for planted in none nobody; do
  for mode in 0777 1777 0775 0757; do
    mkdir -p "$lock_folder"
    chmod "$mode" "$lock_folder"
    if [ "$planted" = nobody ]; then
      : >"$lock_file"
      chown nobody:nogroup "$lock_file"
      chmod 0666 "$lock_file"
    fi
    expect_refused "a lock folder of mode $mode, lock file planted: $planted"
    forget_lock_places
  done
done

# A lock file of another user's in a sound folder, as strict as root's own would be.
mkdir -p "$lock_folder"
: >"$lock_file"
chown nobody:nogroup "$lock_file"
chmod 0600 "$lock_file"
expect_refused "a lock file owned by nobody"
forget_lock_places

# A lock folder of another user's, and a link in place of the folder.
mkdir -p "$lock_folder"
chown nobody:nogroup "$lock_folder"
expect_refused "a lock folder owned by nobody"
forget_lock_places
mkdir -p "$HELMSIGHT_SYSROOT/run" "$sandbox/elsewhere"
chmod 0755 "$sandbox/elsewhere"
ln -s "$sandbox/elsewhere" "$lock_folder"
expect_refused "a link in place of the lock folder"
[ -z "$(ls -A "$sandbox/elsewhere")" ] || fail "the lock file was made through the folder link"
forget_lock_places

# The lock taken for real: the folder made 0755, the file 0600 (whoever can open the file can
# hold its lock), also when an earlier lock file of root's was readable by others; the run goes
# on past the lock to the manifest.
mkdir -p "$lock_folder"
chmod 0755 "$lock_folder"
: >"$lock_file"
chmod 0644 "$lock_file"
set +e
output=$(run_with_limit 60 "$setup_program" -silent -test "$dead_server" 2>/dev/null)
code=$?
set -e
[ "$code" = 2 ] && grep -q '^Error: .*orvel_updater.xml' <<<"$output" ||
  fail "with a sound lock file the run did not reach the manifest ($code): $output"
[ "$(stat -c '%a %U' "$lock_file")" = "600 root" ] ||
  fail "the lock file is $(stat -c '%a %U' "$lock_file")"
forget_lock_places
(umask 000 && run_with_limit 60 "$setup_program" -silent -test "$dead_server" >/dev/null 2>&1) ||
  true
[ "$(stat -c '%a %U' "$lock_folder")" = "755 root" ] ||
  fail "the lock folder was made $(stat -c '%a %U' "$lock_folder")"
[ "$(stat -c '%a %U' "$lock_file")" = "600 root" ] ||
  fail "the lock file was made $(stat -c '%a %U' "$lock_file")"
echo "a sound lock: taken"
forget_lock_places

# Another user (nobody) runs the program from a world-writable sticky temporary folder, where
# root stands in for someone else planting things. The program runs from inside that folder, so
# it does not relaunch itself.
chmod 0711 "$sandbox"
shared_tmp=$sandbox/shared-tmp
mkdir -p "$shared_tmp/copy"
chmod 1777 "$shared_tmp"
cp "$setup_program" "$shared_tmp/copy/$name"
chmod 0755 "$shared_tmp/copy" "$shared_tmp/copy/$name"
nobody_lock=$shared_tmp/$name.lock
as_nobody=(env TMPDIR="$shared_tmp" setpriv --reuid=nobody --regid=nogroup --clear-groups --)

: >"$nobody_lock"
chmod 0666 "$nobody_lock"
program=$shared_tmp/copy/$name expect_refused "a lock file of another user's" "$nobody_lock" \
  "${as_nobody[@]}"
rm -f "$nobody_lock"

mkdir -p "$sandbox/nobody-files"
chown nobody:nogroup "$sandbox/nobody-files"
ln -s "$sandbox/nobody-files/victim" "$nobody_lock"
program=$shared_tmp/copy/$name expect_refused "a link at another user's lock path" \
  "$nobody_lock" "${as_nobody[@]}"
[ ! -e "$sandbox/nobody-files/victim" ] || fail "nobody's run followed the planted link"
rm -f "$nobody_lock"
echo "lock safety: ok"
