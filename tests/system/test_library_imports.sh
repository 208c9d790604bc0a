# What the loader resolves before the program's first instruction: the Windows program imports
# only DLLs that are Known DLLs on every Windows version its manifest declares (so none can be
# planted beside it, in the Downloads or the temporary folder), plus the common controls through
# the manifest's side-by-side entry, and no function those versions lack. The Linux program has
# no RPATH or RUNPATH through which a library could come from a folder of the caller's.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ "$kind" = linux ]; then
  dynamic=$(readelf -d "$setup_program") || fail "readelf could not read $setup_program"
  ! grep -Eq '\((RPATH|RUNPATH)\)' <<<"$dynamic" ||
    fail "the program searches libraries in its own folders: $(grep -E 'RPATH|RUNPATH' <<<"$dynamic")"
  echo "library imports: ok (no RPATH or RUNPATH)"
  exit 0
fi

known_dlls='advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll shlwapi.dll user32.dll'
headers=$(i686-w64-mingw32-objdump -p "$setup_program") || fail "objdump could not read the program"
imported=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers")
[ -n "$imported" ] || fail "no import table found"
for dll in $imported; do
  grep -qw -- "$dll" <<<"$known_dlls" || fail "imports $dll, which Windows may load from the program's folder"
done
if grep -qw comctl32.dll <<<"$imported"; then
  grep -q 'Microsoft.Windows.Common-Controls' "$(dirname "${BASH_SOURCE[0]}")/../../resources/HelmsightSetup.manifest" ||
    fail "comctl32.dll is imported without the manifest's side-by-side entry"
fi
# Vista, and Windows 7 without its 2011 loader update, do not have these: importing one keeps the
# program from starting there.
for function in SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory; do
  ! grep -qw "$function" <<<"$headers" || fail "imports $function, which the oldest declared Windows lacks"
done
echo "library imports: ok ($(tr '\n' ' ' <<<"$imported"))"
