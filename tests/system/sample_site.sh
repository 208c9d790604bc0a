# A download server folder as the vendor's would be (tools/demo-site/make-site): the version
# manifest and the package of that version with the stand-in programs. Source after lib.sh.
#   make_sample_site SITE VERSION
make_sample_site() {
  "$(dirname "${BASH_SOURCE[0]}")/../../tools/demo-site/make-site" "$1" "$2" "$bindir" \
    "$exe_suffix" || fail "cannot make the sample site"
}
