#!/usr/bin/env bash
# Checks Kestrova's installation.
#   check-package.sh files SOURCE_DIR          the desktop entry and the AppStream file
#   check-package.sh install BUILD_DIR         `cmake --install` honours the prefix and DESTDIR
#   check-package.sh deb BUILD_DIR             the .deb from CPack: control fields, files, entry
set -euo pipefail
mode=$1
dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { grep -qxF -- "$2" "$1" || fail "missing: $2"; }

validate_entry() {
  desktop-file-validate "$1" || fail "desktop-file-validate $1"
  grep -qx 'Categories=Office;' "$1" || fail "the entry is not in the Office menu"
  grep -qx 'Exec=kestrova --user-folder' "$1" || fail "the entry does not start in the user's folder"
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$2" || fail "appstreamcli validate $2"
  else
    echo "appstreamcli not installed: the metainfo file is not validated"
  fi
}

case $mode in
files)
  validate_entry "$dir/packaging/org.kestrova.Kestrova.desktop" "$dir/packaging/org.kestrova.Kestrova.metainfo.xml"
  ;;
install)
  DESTDIR="$work/stage" cmake --install "$dir" --prefix /opt/kestrova-test >"$work/log"
  (cd "$work/stage" && find . -type f | sort) >"$work/files"
  for f in ./opt/kestrova-test/bin/kestrova ./opt/kestrova-test/bin/kestrova-tables \
           ./opt/kestrova-test/include/kestrova/functions.h \
           ./opt/kestrova-test/share/applications/org.kestrova.Kestrova.desktop \
           ./opt/kestrova-test/share/doc/kestrova/examples/function-library/function.c; do
    has "$work/files" "$f"
  done
  [ -z "$(grep -v '^./opt/kestrova-test/' "$work/files")" ] || fail "files installed outside the prefix"
  ;;
deb)
  (cd "$dir" && cpack -G DEB -B "$work/out" >"$work/log" 2>&1) || { cat "$work/log"; fail "cpack"; exit 1; }
  deb=$(ls "$work"/out/*.deb)
  [ "$(basename "$deb")" = "kestrova_$(dpkg-deb -f "$deb" Version)_$(dpkg --print-architecture).deb" ] ||
    fail "package file name $(basename "$deb")"
  [ "$(dpkg-deb -f "$deb" Package)" = kestrova ] || fail "Package field"
  [ "$(dpkg-deb -f "$deb" Section)" = office ] || fail "Section field"
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
  depends=$(dpkg-deb -f "$deb" Depends)
  # Read from the linked libraries by dpkg-shlibdeps, and the run-time plugins.
  for p in libc6 libqt6core6 libqt6widgets6 libqt6sql6 libsqlite3-0 pxlib1 libqt6sql6-sqlite qt6-qpa-plugins; do
    [[ $depends == *"$p"* ]] || fail "Depends lacks $p: $depends"
  done
  dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | sort >"$work/files"
  for f in /usr/bin/kestrova /usr/bin/kestrova-tables /usr/include/kestrova/functions.h \
           /usr/share/applications/org.kestrova.Kestrova.desktop \
           /usr/share/icons/hicolor/scalable/apps/org.kestrova.Kestrova.svg \
           /usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml \
           /usr/share/doc/kestrova/copyright /usr/share/doc/kestrova/README.md \
           /usr/share/doc/kestrova/examples/function-library/function.c; do
    has "$work/files" "$f"
  done
  [ -z "$(grep -E '^/usr/local|^/opt|/tests?/|tst_' "$work/files")" ] || fail "files that do not belong in the package"
  dpkg-deb -x "$deb" "$work/root"
  validate_entry "$work/root/usr/share/applications/org.kestrova.Kestrova.desktop" \
                 "$work/root/usr/share/metainfo/org.kestrova.Kestrova.metainfo.xml"
  "$work/root/usr/bin/kestrova-tables" --help | grep -q 'migrate SRC DIR' || fail "kestrova-tables from the package"
  [[ "$(dpkg-deb -f "$deb" Description)" != *";"* ]] || fail "list separators in the description"
  # A new set made by the installed tool finds the installed templates and
  # numbering library, nothing copied by hand.
  ls "$work"/root/usr/share/kestrova/templates/en/invoice.html >/dev/null || fail "templates not installed"
  "$work/root/usr/bin/kestrova-tables" create "$work/newset" >/dev/null || fail "kestrova-tables create"
  [ -f "$work/newset/function.dll" ] || fail "the new set has no function library"
  ;;
*)
  echo "usage: $0 files|install|deb DIR" >&2
  exit 2
  ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "$mode: all checks passed"
