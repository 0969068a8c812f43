#!/usr/bin/env bash
# Checks the Debian package as a user gets it: builds it with
# scripts/package.sh, lets lintian, desktop-file-validate and appstreamcli
# judge it, then unpacks it with dpkg-deb and runs the programs it holds: a
# split and a join compared byte for byte, --version of both, and every
# Exec line of its desktop entry and file-manager menus (through
# scripts/test_desktop_entries.sh); it checks what its file types name. Installs
# the tools it needs when they are missing. The last line says PASS or FAIL;
# the exit status is 1 on a failure.
set -uo pipefail
cd "$(dirname "$0")/.."

source scripts/install_missing.sh
install_missing test_package lintian desktop-file-utils appstream dpkg-dev binutils \
  shared-mime-info libglib2.0-bin xvfb x11-utils xdotool

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
count=0

# check WHAT COMMAND...: runs the command, says "ok" or "FAIL" with its
# output, and notes a failure.
check() {
  local what=$1
  shift
  count=$((count + 1))
  if "$@" >"$work/log" 2>&1; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    sed 's/^/    /' "$work/log"
    failed+=("$what")
  fi
}

if ! bash scripts/package.sh "$work/out"; then
  echo "FAIL: the package did not build"
  exit 1
fi
deb=$(echo "$work"/out/parcelo_*.deb)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
root=$work/root
dpkg-deb -x "$deb" "$root"

check "named parcelo_${version}_$(dpkg --print-architecture).deb" \
  test "$(basename "$deb")" = "parcelo_${version}_$(dpkg --print-architecture).deb"

# Warnings are shown but pass; an error fails.
lintian_errors() {
  lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' >"$work/lintian"
  return "${PIPESTATUS[0]}"
}
check "lintian finds no error" lintian_errors
[ ! -s "$work/lintian" ] || sed 's/^/    lintian: /' "$work/lintian"

depends_on_all() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libqt6core6 libqt6gui6 libqt6widgets6 libssl3 qt6-qpa-plugins qt6-translations-l10n; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || { echo "no $package in: $depends"; return 1; }
  done
}
check "depends on the Qt libraries, platform plugins, translations and libcrypto" depends_on_all
check "apt can install it here" apt-get install -s "$deb"

files_present() {
  local path
  for path in usr/bin/parcelo usr/bin/parcelo-cli \
    usr/share/man/man1/parcelo.1.gz usr/share/man/man1/parcelo-cli.1.gz \
    usr/share/man/ru/man1/parcelo.1.gz usr/share/man/ru/man1/parcelo-cli.1.gz \
    usr/share/applications/io.github.parcelo.Parcelo.desktop \
    usr/share/metainfo/io.github.parcelo.Parcelo.metainfo.xml \
    usr/share/mime/packages/io.github.parcelo.Parcelo.xml \
    usr/share/kio/servicemenus/io.github.parcelo.Parcelo.{split,join}.desktop \
    usr/share/nemo/actions/io.github.parcelo.Parcelo.{split,join}.nemo_action \
    usr/share/file-manager/actions/io.github.parcelo.Parcelo.{split,join}.desktop \
    usr/share/doc/parcelo/copyright usr/share/doc/parcelo/changelog.gz; do
    [ -f "$root/$path" ] || { echo "missing: $path"; return 1; }
  done
}
check "holds the programs, manual pages, desktop entry, metainfo, file types, menus and Debian files" \
  files_present

# The width and height a PNG file's header gives, as "WxH".
png_size() {
  local b
  read -ra b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
icons_sized() {
  local size file
  for size in 16 22 24 32 48 64 128 256; do
    file=$root/usr/share/icons/hicolor/${size}x${size}/apps/parcelo.png
    [ -f "$file" ] || { echo "missing: $file"; return 1; }
    [ "$(png_size "$file")" = "${size}x${size}" ] || { echo "$file is $(png_size "$file")"; return 1; }
  done
}
check "icon files of 16 to 256 pixels, each its size" icons_sized

stripped() {
  local program
  for program in "$root"/usr/bin/*; do
    ! readelf -S --wide "$program" | grep -q '\.symtab' || { echo "not stripped: $program"; return 1; }
  done
}
check "programs are stripped" stripped

check "desktop-file-validate accepts the desktop entry" \
  desktop-file-validate "$root/usr/share/applications/io.github.parcelo.Parcelo.desktop"
check "appstreamcli accepts the metainfo" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.parcelo.Parcelo.metainfo.xml"
check "the metainfo lists release $version" \
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.parcelo.Parcelo.metainfo.xml"

# Installing must not change which program opens a file: the desktop entry
# claims the part set's own types alone, and every other file keeps its
# type. The types are read from a MIME database made of the desktop's and
# the package's definitions.
claims_own_types_only() {
  local claimed type
  claimed=$(sed -n 's/^MimeType=//p' "$root/usr/share/applications/io.github.parcelo.Parcelo.desktop")
  echo "MimeType=$claimed"
  [ -n "$claimed" ] || return 1
  for type in ${claimed//;/ }; do
    grep -q "<mime-type type=\"$type\">" "$root/usr/share/mime/packages/io.github.parcelo.Parcelo.xml" ||
      { echo "not a type of the package: $type"; return 1; }
  done
}
check "the desktop entry claims only the part set's types" claims_own_types_only
# content_type DATA-FOLDER FILE: the type a MIME database gives the file.
content_type() {
  XDG_DATA_HOME=$work/none XDG_DATA_DIRS=$1 gio info -a standard::content-type "$2" |
    sed -n 's/^ *standard::content-type: //p'
}
file_types() {
  local with=$work/with without=$work/without name type before
  mkdir -p "$with/mime/packages" "$without/mime/packages" "$work/types"
  cp /usr/share/mime/packages/freedesktop.org.xml "$without/mime/packages/"
  cp /usr/share/mime/packages/freedesktop.org.xml "$root/usr/share/mime/packages/"*.xml "$with/mime/packages/"
  update-mime-database "$with/mime" && update-mime-database "$without/mime" || return 1
  local -A expected=([001.drb]=application/x-parcelo-part [Infa.inf]=application/x-parcelo-info
    [INFA.INF]=application/x-parcelo-info [setup.inf]= [фильм.avi]= [medium.bin]= [notes.txt]= [x.drb.zip]=)
  for name in "${!expected[@]}"; do
    printf 'x' >"$work/types/$name"
    type=$(content_type "$with" "$work/types/$name")
    before=$(content_type "$without" "$work/types/$name")
    echo "$name: $type (without the package: $before)"
    [ "$type" = "${expected[$name]:-$before}" ] || return 1
  done
}
check "parts and Infa.inf are of the part set's types, other files keep theirs" file_types

round_trip() {
  local data=$work/data cli=$root/usr/bin/parcelo-cli
  mkdir -p "$data"
  head -c 2500001 /dev/urandom >"$data/Фильм 1.avi"
  "$cli" split "$data/Фильм 1.avi" --size 1000000 --subdir parts --checksums || return 1
  ls "$data/parts"
  [ "$(ls "$data/parts" | tr '\n' ' ')" = "001.drb 002.drb 003.drb Infa.inf Infa.sha256 " ] || return 1
  "$cli" check "$data/parts" || return 1
  "$cli" join "$data/parts" || return 1
  cmp "$data/Фильм 1.avi" "$data/parts/Фильм 1.avi" || return 1
  (cd "$data/parts" && sha256sum -c Infa.sha256)
}
check "the packaged parcelo-cli splits a file with checksums, checks and joins it back byte for byte" round_trip
check "parcelo-cli --version says parcelo-cli $version" \
  test "$("$root/usr/bin/parcelo-cli" --version)" = "parcelo-cli $version"
check "parcelo --version says parcelo $version" \
  test "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/parcelo" --version)" = "parcelo $version"

check "each installed Exec line opens the window ready for its file" \
  bash scripts/test_desktop_entries.sh "$root"

if [ ${#failed[@]} -eq 0 ]; then
  echo "PASS: $(basename "$deb"): all $count checks"
  exit 0
fi
failures=$(printf '%s; ' "${failed[@]}")
echo "FAIL: $(basename "$deb"): ${#failed[@]} of $count checks failed: ${failures%; }"
exit 1
