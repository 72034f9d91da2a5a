#!/usr/bin/env bash
# Packs the built program into a Debian package and checks what an office will install: its
# files, its declared dependencies, and that the installed programs run from where they land.
set -euo pipefail
build="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >/dev/null
deb=$(ls "$work"/capcheque_*.deb)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = capcheque ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.2.0 ] || fail "version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libpq5 libsqlite3-0 \
         qt6-qpa-plugins qt6-translations-l10n libc6; do
  grep -qw -- "$d" <<<"$depends" || fail "dependency $d not declared"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./opt/capcheque/capcheque ./opt/capcheque/capdb ./opt/capcheque/config.ini.exemplo \
         ./usr/share/applications/capcheque.desktop \
         ./usr/share/icons/hicolor/scalable/apps/capcheque.svg; do
  grep -qx -- "$f" <<<"$contents" || fail "$f missing from the package"
done
if grep -q -- '/tst_\|/build\|\.o$' <<<"$contents"; then fail "build files in the package"; fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop="$root/usr/share/applications/capcheque.desktop"
grep -qx 'Exec=/opt/capcheque/capcheque' "$desktop" || fail "desktop entry Exec"
grep -qx 'Icon=capcheque' "$desktop" || fail "desktop entry Icon"

# The installed tool works where it lands.
"$root/opt/capcheque/capdb" demo "$work/demo.db" >/dev/null || fail "capdb demo"
"$root/opt/capcheque/capdb" check "$work/demo.db" >/dev/null || fail "capdb check"
# The program starts and waits at its login window, reading config.ini from its own folder.
printf '[DB]\nCAMINHO=%s\n' "$work/demo.db" >"$root/opt/capcheque/config.ini"
set +e
QT_QPA_PLATFORM=offscreen timeout 3 "$root/opt/capcheque/capcheque"
status=$?
set -e
[ "$status" -eq 124 ] || fail "capcheque ended with status $status instead of waiting at login"
echo "package $deb checked"
