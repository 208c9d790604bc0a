# The language chosen at start-up is stored as the record's culture: the user's locale when a
# translation exists, else en-US; a stored culture wins and is left alone; a culture that
# cannot be stored ends the run with the message in the locale's language and exit code 2.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

dead_server=http://127.0.0.1:9/
product_key='HKLM\SOFTWARE\Korvane\SSD Helmsight'

if [ "$kind" = linux ]; then
  reg() { timeout -k 5 30 "$bindir/helmsight-reg" "$@"; }
  # Run from inside the temporary folder, where the program counts as its own relaunched copy.
  mkdir -p "$TMPDIR/run"
  cp "$setup_program" "$TMPDIR/run/"
  program=$TMPDIR/run/$(basename "$setup_program")
else
  reg() { timeout -k 5 60 "$runner" reg "$@" /reg:32; }
  temp_folder=$("$runner" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  run_folder=$("$runner" winepath -u "$temp_folder" 2>/dev/null)/helmsight-culture-test
  mkdir -p "$run_folder"
  cp "$setup_program" "$run_folder/"
  program=$run_folder/$(basename "$setup_program")
fi

forget_record() {
  reg delete 'HKLM\SOFTWARE\Korvane' /f >/dev/null 2>&1 || true
  reg delete 'HKLM\SOFTWARE\KVR' /f >/dev/null 2>&1 || true
}
finish() {
  forget_record
  [ -z "${run_folder:-}" ] || rm -rf "$run_folder"
  cleanup_sandbox
}
trap finish EXIT

stored_culture() {
  reg query "$product_key" /v CurrentCulture 2>/dev/null |
    sed -n 's/^ *CurrentCulture *REG_SZ *//p' | tr -d '\r'
}

# Runs the program once in the given locale (on Linux LANG, or a list of assignments to
# LANG, LC_MESSAGES and LC_ALL); its output goes to $output, its exit code to $code.
run_in_locale() {
  local locale=$1
  set +e
  if [ "$kind" = linux ]; then
    local settings=("LANG=$locale")
    [[ "$locale" != *=* ]] || read -r -a settings <<<"$locale"
    output=$(env LANG= LC_ALL= LC_MESSAGES= "${settings[@]}" \
      timeout -k 5 60 "$program" -silent -test "$dead_server" 2>&1)
  else
    output=$(HELMSIGHT_WINE_LANG=$locale run_with_limit 120 "$program" -silent -test \
      "$dead_server" 2>&1)
  fi
  code=$?
  set -e
  [ "$code" != 124 ] && [ "$code" != 137 ] || fail "the run in $locale did not end in time"
}

# locale of the run | culture stored before (- for none) | culture stored afterwards
if [ "$kind" = linux ]; then
  cases=(
    "de_DE.UTF-8|-|de-DE"
    "de_AT.UTF-8|-|en-US"
    "pt_BR.UTF-8|-|en-US"
    "ja_JP.UTF-8|-|ja-JP"
    "C.UTF-8|-|en-US"
    "POSIX|-|en-US"
    "LANG=fr_FR.UTF-8 LC_MESSAGES=it_IT.UTF-8|-|it-IT"
    "LANG=fr_FR.UTF-8 LC_MESSAGES=it_IT.UTF-8 LC_ALL=sv_SE.UTF-8|-|sv-SE"
    "ja_JP.UTF-8|fr-FR|fr-FR"
    "de_DE.UTF-8|zh-CHS|zh-CHS"
    "de_DE.UTF-8|zh-cn|zh-cn"
  )
else
  # Wine takes its locale from the glibc locale, and only de_DE is generated here.
  cases=(
    "de_DE.UTF-8|-|de-DE"
    "C.UTF-8|-|en-US"
    "de_DE.UTF-8|fr-FR|fr-FR"
  )
fi
for case in "${cases[@]}"; do
  IFS='|' read -r locale before after <<<"$case"
  forget_record
  if [ "$before" != - ]; then
    reg add "$product_key" /v CurrentCulture /t REG_SZ /d "$before" /f >/dev/null ||
      fail "could not store $before"
  fi
  run_in_locale "$locale"
  got=$(stored_culture)
  [ "$got" = "$after" ] ||
    fail "locale $locale with '$before' stored: culture '$got', expected '$after' ($output)"
done
echo "culture stored: ok"

# A culture that cannot be stored: the machine database cannot be created.
if [ "$kind" = linux ]; then
  forget_record
  rm -rf "$HELMSIGHT_SYSROOT/var/lib/helmsight"
  mkdir -p "$HELMSIGHT_SYSROOT/var/lib"
  echo "not a folder" >"$HELMSIGHT_SYSROOT/var/lib/helmsight"
  run_in_locale de_DE.UTF-8
  [ "$code" = 2 ] || fail "unwritable registry: exit code $code, expected 2 ($output)"
  # The box (stderr without a display) and, in silent mode, its console line.
  [ "$(printf '%s\n' "$output" | sort -u)" = \
    "Fehler: In die Windows-Registrierung konnte nicht geschrieben werden" ] ||
    fail "unwritable registry: unexpected output: $output"
  rm -f "$HELMSIGHT_SYSROOT/var/lib/helmsight"
  echo "culture not storable: ok"
fi
