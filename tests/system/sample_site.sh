# A download server folder as the vendor's would be: the version manifest and the package of
# that version, holding the stand-in application and stand-in prerequisite and driver
# installers (each logs how it was started to standin.log). Source after lib.sh.
#
#   make_sample_site SITE VERSION     lays out SITE/kvrHelmsight/{config,application/VERSION}

sevenzip() {
  if command -v 7za >/dev/null; then 7za "$@"; else 7zz "$@"; fi
}

make_sample_site() {
  local site=$1 version=$2
  local package=$site.package
  mkdir -p "$site/kvrHelmsight/config" "$site/kvrHelmsight/application/$version" "$package"
  printf '<?xml version="1.0"?>\n<updater>\n  <version>%s</version>\n</updater>\n' "$version" \
    >"$site/kvrHelmsight/config/orvel_updater.xml"
  cp "$bindir/helmsight-touch-marker$exe_suffix" "$package/Helmsight.exe"
  local installer
  for installer in VC_redist.x86.exe tolvar_hal_setup.exe mirrane_hal_setup.exe; do
    cp "$bindir/helmsight-standin-installer$exe_suffix" "$package/$installer"
  done
  echo "Helmsight $version" >"$package/readme.txt"
  (cd "$package" && sevenzip a -tzip -bd -bso0 -bsp0 \
    "$site/kvrHelmsight/application/$version/Helmsight.zip" .) || fail "cannot make the package"
  rm -rf "$package"
}
