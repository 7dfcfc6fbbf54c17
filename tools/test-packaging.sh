#!/usr/bin/env bash
# Checks the install tree and the Debian package of a build:
#   tools/test-packaging.sh BUILD_DIR [VIEWER_BUILT: 1 or 0]
# cmake --install into a temporary prefix; the desktop entry, the file type,
# the icons and the manual pages pass their validators; the file type is
# recognised by name and by content through the shared-mime-info database of
# the tree; the checker runs from the tree; the viewer (when built) opens an
# example under xvfb-run and closes; cpack builds the .deb with all of it.
# Run by CTest (test "packaging"). lintian runs on the package when it is
# installed (LINTIAN=0 skips it, LINTIAN=1 demands it); its errors fail the test.
set -uo pipefail

build=$(cd "${1:?Aufruf: $0 BUILD_DIR}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
passes=0

ok() { echo "ok - $*"; passes=$((passes + 1)); }
fail() { echo "FAIL - $*"; failures=$((failures + 1)); }
check() { # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@" >"$tmp/out" 2>&1; then ok "$what"; else fail "$what"; sed 's/^/    /' "$tmp/out"; fi
}
need() {
    command -v "$1" >/dev/null || { echo "FAIL - '$1' fehlt (tools/install-deps.sh installiert es)"; exit 1; }
}
for t in desktop-file-validate update-desktop-database xmllint update-mime-database xdg-mime mimetype \
         cpack dpkg-deb dpkg-shlibdeps; do
    need "$t"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
prefix=$tmp/usr
share=$prefix/share

# 1. install tree
check "cmake --install into a temporary prefix" cmake --install "$build" --prefix "$prefix"
for f in bin/ventolix-check \
         share/applications/ventolix.desktop share/mime/packages/ventolix.xml \
         share/icons/hicolor/scalable/apps/ventolix.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-ldt.svg \
         share/man/man1/ventolix.1.gz share/man/man1/ventolix-check.1.gz \
         share/doc/ventolix/README.md share/doc/ventolix/copyright share/doc/ventolix/changelog.Debian.gz \
         share/doc/ventolix/examples/Z01_Auftrag.ldt; do
    if [ -f "$prefix/$f" ]; then ok "installed $f"; else fail "not installed: $f"; fi
done
viewer=""
[ -x "$prefix/bin/ventolix" ] && viewer=$prefix/bin/ventolix
if [ "${2:-0}" = 1 ]; then
    if [ -n "$viewer" ]; then ok "installed bin/ventolix"; else fail "the viewer is built but not installed"; fi
fi

# 2. validators: no errors and no warnings (hints are fine)
desktop=$share/applications/ventolix.desktop
desktop-file-validate "$desktop" >"$tmp/dfv" 2>&1
if [ $? -eq 0 ] && ! grep -qE 'error:|warning:' "$tmp/dfv"; then ok "desktop-file-validate"
else fail "desktop-file-validate"; sed 's/^/    /' "$tmp/dfv"; fi
check "desktop entry starts the viewer with the file" grep -qx 'Exec=ventolix %f' "$desktop"
check "desktop entry declares the LDT type" grep -qE '^MimeType=(.*;)?application/x-ldt;' "$desktop"
check "xmllint on the MIME description" xmllint --noout "$share/mime/packages/ventolix.xml"
for svg in "$share"/icons/hicolor/scalable/*/*.svg; do
    check "xmllint on ${svg#"$share"/}" xmllint --noout "$svg"
done
if command -v man >/dev/null; then
    for page in "$share"/man/man1/*.1.gz; do
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >/dev/null 2>"$tmp/man"
        if [ -s "$tmp/man" ]; then fail "man page ${page##*/} renders with warnings"; sed 's/^/    /' "$tmp/man"
        else ok "man page ${page##*/} renders cleanly"; fi
    done
fi

# 3. the file type through the tree's own MIME database (XDG_DATA_DIRS)
mkdir -p "$tmp/home" "$tmp/samples"
export XDG_DATA_DIRS="$share:/usr/share" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
export HOME="$tmp/home"
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
update-mime-database "$share/mime" >"$tmp/umd" 2>&1
if [ $? -eq 0 ] && [ ! -s "$tmp/umd" ]; then ok "update-mime-database on the install tree"
else fail "update-mime-database on the install tree"; sed 's/^/    /' "$tmp/umd"; fi
check "update-desktop-database on the install tree" update-desktop-database "$share/applications"
example=$src/examples/Z01_Auftrag.ldt
cp "$example" "$tmp/samples/Z01_Auftrag.ldt"
cp "$example" "$tmp/samples/Z01_ohne_Endung"
printf 'Kein LDT\r\n' >"$tmp/samples/notiz"
printf 'abc\n' >"$tmp/samples/leer.ldt"
printf 'abc\n' >"$tmp/samples/GROSS.LDT"
expect_type() { # FILE TYPE WHY
    local got
    got=$(xdg-mime query filetype "$tmp/samples/$1" 2>&1)
    if [ "$got" = "$2" ]; then ok "xdg-mime: $1 is $2 ($3)"; else fail "xdg-mime: $1 is '$got', expected $2 ($3)"; fi
}
expect_type Z01_Auftrag.ldt application/x-ldt "name"
expect_type Z01_ohne_Endung application/x-ldt "content, no extension"
expect_type leer.ldt application/x-ldt "the name decides over the content"
expect_type GROSS.LDT application/x-ldt "name in capitals"
got=$(xdg-mime query filetype "$tmp/samples/notiz" 2>&1)
if [ "$got" != application/x-ldt ]; then ok "xdg-mime: other text is not LDT ($got)"
else fail "xdg-mime: a text without the LDT start is taken for LDT"; fi
got=$(xdg-mime query default application/x-ldt 2>&1)
if [ "$got" = ventolix.desktop ]; then ok "xdg-mime: LDT files open with ventolix.desktop"
else fail "xdg-mime: LDT files open with '$got', expected ventolix.desktop"; fi

# 4. the programs from the tree
got=$("$prefix/bin/ventolix-check" --version 2>&1)
if [ "$got" = "ventolix-check $version" ]; then ok "ventolix-check --version from the tree: $got"
else fail "ventolix-check --version from the tree: '$got', expected 'ventolix-check $version'"; fi
check "ventolix-check checks the installed example" \
    "$prefix/bin/ventolix-check" "$share/doc/ventolix/examples/Z01_Auftrag.ldt"
if [ -n "$viewer" ]; then
    if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
        check "ventolix opens an example under xvfb-run and closes" \
            xvfb-run -a -s "-screen 0 1280x800x24" "$src/tools/viewer-smoke.sh" "$viewer" "$tmp/samples/Z01_Auftrag.ldt"
    else
        fail "xvfb-run and xdotool are needed to start the viewer"
    fi
else
    echo "skip - the viewer is not built: not started"
fi

# 5. the Debian package
if cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack" 2>&1; then
    ok "cpack -G DEB"
else
    fail "cpack -G DEB"; sed 's/^/    /' "$tmp/cpack"
fi
deb=$(ls "$tmp"/pkg/*.deb 2>/dev/null | head -1)
if [ -n "$deb" ]; then
    dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/contents"
    for f in ./usr/bin/ventolix-check ./usr/share/applications/ventolix.desktop \
             ./usr/share/mime/packages/ventolix.xml ./usr/share/icons/hicolor/scalable/apps/ventolix.svg \
             ./usr/share/icons/hicolor/scalable/mimetypes/application-x-ldt.svg \
             ./usr/share/man/man1/ventolix.1.gz ./usr/share/man/man1/ventolix-check.1.gz \
             ./usr/share/doc/ventolix/copyright ./usr/share/doc/ventolix/changelog.Debian.gz; do
        if grep -qx "$f" "$tmp/contents"; then ok "package holds $f"; else fail "package lacks $f"; fi
    done
    if [ -n "$viewer" ]; then
        if grep -qx ./usr/bin/ventolix "$tmp/contents"; then ok "package holds ./usr/bin/ventolix"
        else fail "package lacks ./usr/bin/ventolix"; fi
    fi
    if grep -qE '/mime/(mime\.cache|globs2?|magic)$|mimeinfo\.cache$' "$tmp/contents"; then
        fail "package holds generated MIME or desktop caches"
    else
        ok "package holds no generated caches"
    fi
    [ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] && ok "package version $version-1" \
        || fail "package version '$(dpkg-deb -f "$deb" Version)', expected $version-1"
    depends=$(dpkg-deb -f "$deb" Depends)
    case "$depends" in *libqt6core6*) ok "library dependencies worked out: $depends" ;;
                       *) fail "no Qt library in Depends: '$depends'" ;; esac
    lintian_mode=${LINTIAN:-auto}
    if [ "$lintian_mode" = auto ]; then
        command -v lintian >/dev/null && lintian_mode=1 || echo "skip - lintian is not installed (tools/package-deb.sh runs it)"
    fi
    if [ "$lintian_mode" = 1 ]; then
        lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' >"$tmp/lintian"
        if grep -q '^E:' "$tmp/lintian"; then fail "lintian reports errors"; else ok "lintian: no errors"; fi
        sed 's/^/    /' "$tmp/lintian"
    fi
    [ -n "${KEEP_DEB:-}" ] && cp "$deb" "$KEEP_DEB" && echo "package kept: $KEEP_DEB"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
