# The release packages as a user gets them (that a second packaging gives the same bytes is
# scripts/test-release's to check): lintian finds no error in the Debian package, whose
# dependencies dpkg-shlibdeps found; the package unpacked into a throw-away root and the
# archive unpacked elsewhere hold the same layout; each launcher, started from a directory
# without the data (the archive's through a link, as on PATH), shows the show until Escape,
# with status 0 and nothing printed; and the installed demo-check, with no display at all,
# finds the shipped data all good.
source "$(dirname "$0")/lib.sh"
: "${CPACK:?}" "${BUILD_DIR:?}"
rm -rf "${run_dir:?}"/*  # the launchers must find the data from anywhere

"$CPACK" --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(echo "$work"/packages/*.deb)
archive=$(echo "$work"/packages/*.tar.gz)

lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || { cat "$work/lintian" >&2; fail "lintian"; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglfw3 libopenal1 libsndfile1 libegl1 libstdc++6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done

mkdir "$work/root" "$work/unpacked"
dpkg -x "$deb" "$work/root"
tar -xzf "$archive" -C "$work/unpacked"
prefix=$work/root/usr
unpacked=$(echo "$work"/unpacked/*)
diff <(cd "$prefix" && find . | sort) <(cd "$unpacked" && find . | sort) >&2 ||
  fail "the archive's files differ from the package's"
[ -x "$prefix/bin/demo" ] || fail "no launcher in bin/"
for program in demo demo-check demo-capture demo-snapshot demo-live; do
  [ -x "$prefix/lib/demo/$program" ] || fail "no $program in lib/demo/"
done
for file in $(data_files); do
  [ -f "$prefix/share/demo/$file" ] || fail "no $file in share/demo/"
done
grep -qx 'Exec=demo' "$prefix/share/applications/demo.desktop" || fail "the desktop entry runs something else"
file "$prefix/share/icons/hicolor/256x256/apps/demo.png" | grep -q 'PNG image data, 256 x 256' ||
  fail "the icon is no 256x256 PNG"

DEMO=$prefix/bin/demo
start_demo
escape_and_check "the package's launcher"
mkdir "$work/bin"
ln -s "$unpacked/bin/demo" "$work/bin/demo"
DEMO=$work/bin/demo
start_demo
escape_and_check "the archive's launcher, through a link"

check=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/lib/demo/demo-check" "$prefix/share/demo" 2>&1) ||
  fail "demo-check without a display: $check"
grep -q '^demo-check: all good' <<<"$check" || fail "demo-check without a display: $check"

echo "reproducible packages, lintian without errors, both launchers started from elsewhere," \
  "installed data checked without a display"
echo "Depends: $depends"
sed 's/^/lintian: /' "$work/lintian"
