#!/usr/bin/env bash
# Builds the Windows zip parcelo-windows-VERSION.zip: the window and the
# command line for 64-bit Windows, with the Qt DLLs, the Windows platform
# plugin, the style plugin, Qt's Russian translation and a README.
#
# Qt 6 for MinGW is no Debian package, so the first run builds Debian's own
# qt6-base source package (6.4.2, the version of the Linux Qt that serves as
# host tools) with the MinGW-w64 cross compiler, only what the window needs,
# and installs it into a cache outside the repository. Later runs reuse it.
# That first build takes about half an hour on two cores.
#
# It also builds the installer parcelo-windows-VERSION-setup.exe with NSIS
# (packaging/windows/parcelo.nsi) from the same files as the zip.
#
# Usage: scripts/windows.sh [qt|zip|installer|all]   (all by default)
#   qt         only make sure the cached Qt is there
#   zip        build the zip (the cached Qt must be there), then its smoke test
#   installer  build the installer (the cached Qt must be there), then its test
#   all        all three
# Environment:
#   PARCELO_QT_MINGW  the cached Qt (default /var/cache/parcelo/qt6-mingw-6.4.2)
#   PARCELO_QT_WORK   where Qt's source and build go while it builds
#                     (default: beside the cache; removed afterwards)
#   PARCELO_WINDOWS_SMOKE=0  skip the tests under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
project=$PWD
what=${1:-all}

qt_version=6.4.2
qt=${PARCELO_QT_MINGW:-/var/cache/parcelo/qt6-mingw-$qt_version}
qt_work=${PARCELO_QT_WORK:-$qt.work}
triple=x86_64-w64-mingw32

source scripts/install_missing.sh

# The source package, through apt with a list of its own: the machine's
# sources may have no deb-src line, and this leaves them as they are.
fetch_qt_source() {
  local into=$1 apt_dir=$1/apt
  mkdir -p "$apt_dir/lists/partial"
  cat >"$apt_dir/sources.list" <<'EOF'
deb-src http://deb.debian.org/debian bookworm main
EOF
  mkdir -p "$apt_dir/parts"
  local options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/parts" -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache::pkgcache=$apt_dir/pkgcache.bin"
    -o "Dir::Cache::srcpkgcache=$apt_dir/srcpkgcache.bin" -o "APT::Sandbox::User=root")
  apt-get "${options[@]}" update -qq
  (cd "$into" && apt-get "${options[@]}" source -qq "qt6-base=$qt_version+dfsg-10" >/dev/null)
  rm -rf "$apt_dir"
}

build_qt() {
  if [ -f "$qt/.parcelo-complete" ]; then
    echo "windows: the cached Qt is in $qt"
    return
  fi
  install_missing windows g++-mingw-w64-x86-64-posix dpkg-dev qt6-base-dev qt6-base-dev-tools \
    cmake ninja-build perl
  local started=$SECONDS source
  source=
  [ -d "$qt_work" ] && source=$(find "$qt_work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  if [ -n "$source" ] && [ -f "$qt_work/build/CMakeCache.txt" ]; then
    # A build that stopped goes on where it was.
    echo "windows: going on with the Qt build in $qt_work"
  else
    rm -rf "$qt_work" "$qt"
    mkdir -p "$qt_work"
    echo "windows: fetching the qt6-base source package"
    fetch_qt_source "$qt_work"
    source=$(find "$qt_work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  fi

  # The cross toolchain for Qt alone (the project has its own).
  cat >"$qt_work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

  # Core, Gui and Widgets with the Windows platform plugin and the styles;
  # the third-party code Qt carries, not MinGW's copies. With Direct2D off,
  # 6.4.2's platform plugin links only with DirectWrite 3 off as well.
  # OpenGL is off as a whole ("dynamic GL" with it: 6.4.2's platform plugin
  # does not compile with the one off and the other on). Debian's source
  # leaves out the Wintab header (its licence forbids changes), so tablet
  # events are off: the platform plugin needs it for them, and the window
  # has no use for a pen's pressure.
  local features=(
    -DFEATURE_tabletevent=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF
    -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF -DFEATURE_sql_sqlite=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_brotli=OFF
  )
  echo "windows: configuring Qt $qt_version for MinGW (log: $qt_work/configure.log)"
  cmake -S "$source" -B "$qt_work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt_work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt" -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    "${features[@]}" >"$qt_work/configure.log" 2>&1 ||
    { tail -n 40 "$qt_work/configure.log" >&2; exit 1; }
  echo "windows: building Qt (log: $qt_work/build.log)"
  nice -n 10 cmake --build "$qt_work/build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" \
    >"$qt_work/build.log" 2>&1 || { tail -n 40 "$qt_work/build.log" >&2; exit 1; }
  cmake --install "$qt_work/build" >"$qt_work/install.log" 2>&1 ||
    { tail -n 40 "$qt_work/install.log" >&2; exit 1; }
  local peak
  peak=$(du -sh "$qt_work" | cut -f1)
  rm -rf "$qt_work"
  touch "$qt/.parcelo-complete"
  echo "windows: Qt built in $(((SECONDS - started) / 60)) min; source and build took $peak," \
    "the install $(du -sh "$qt" | cut -f1)"
}

case $what in
  qt | all) build_qt ;;
  zip | installer)
    [ -f "$qt/.parcelo-complete" ] ||
      { echo "windows: no cached Qt in $qt; run scripts/windows.sh qt first" >&2; exit 1; } ;;
  *) echo "usage: scripts/windows.sh [qt|zip|installer|all]" >&2; exit 64 ;;
esac
[ "$what" = qt ] && exit 0

# The two programs, built against the cached Qt with the project's MinGW
# toolchain. Qt's own toolchain file adds the cached Qt to what CMake may
# find and names Debian's Linux Qt as the host tools (moc, rcc, uic).
install_missing windows g++-mingw-w64-x86-64-posix qt6-translations-l10n zip unzip
build=$project/build-windows-zip
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$project/cmake/mingw-w64-x86_64.cmake" >/dev/null
nice -n 10 cmake --build "$build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" \
  --target parcelo parcelo-cli
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# The folder the zip holds: the programs, then every DLL they need that is
# not Windows' own, found through their imports, then what Qt loads at run
# time (the platform plugin, the style, the Russian catalogue).
name=parcelo-windows-$version
stage=$build/$name
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp "$build/app/parcelo.exe" "$build/parcelo-cli.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/"*.dll "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/translations/"
# The prefix Qt takes its translations from is the program's folder.
printf '[Paths]\nPrefix = .\n' >"$stage/qt.conf"
dll_folders=("$qt/bin" "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"
  "/usr/$triple/lib")
imports() { $triple-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  binary=${pending[0]}
  pending=("${pending[@]:1}")
  for dll in $(imports "$binary"); do
    [ -e "$stage/$dll" ] && continue
    for folder in "${dll_folders[@]}"; do
      if [ -e "$folder/$dll" ]; then
        cp "$folder/$dll" "$stage/"
        pending+=("$stage/$dll")
        break
      fi
    done
  done
done
find "$stage" -name '*.exe' -o -name '*.dll' | xargs $triple-strip --strip-unneeded
sed -e "s/@VERSION@/$version/" -e "s/@QT_VERSION@/$qt_version/" \
  -e "s/@QT_DEBIAN_VERSION@/$qt_version+dfsg-10/" packaging/windows/README.txt |
  sed 's/$/\r/' >"$stage/README.txt"

make_zip() {
  zip_file=$build/$name.zip
  rm -f "$zip_file"
  (cd "$build" && zip -qr -X "$zip_file" "$name")
  echo "windows: $zip_file ($(du -h "$zip_file" | cut -f1); unpacked $(du -sh "$stage" | cut -f1))"
  if [ "${PARCELO_WINDOWS_SMOKE:-1}" != 0 ]; then
    bash scripts/test_windows_window.sh "$zip_file"
  fi
}

# The installer holds the zip's folder. Its uninstaller removes the files
# and folders listed here, deepest first, and nothing else.
make_installer() {
  install_missing windows nsis
  local list=$build/installed-files.nsh path
  : >"$list"
  while IFS= read -r path; do
    path=${path#./}
    if [ -d "$stage/$path" ]; then
      echo "  RMDir \"\$INSTDIR\\${path//\//\\}\"" >>"$list"
    else
      echo "  Delete \"\$INSTDIR\\${path//\//\\}\"" >>"$list"
    fi
  done < <(cd "$stage" && find . -mindepth 1 -depth | LC_ALL=C sort -r)
  local version4=$version
  while [ "$(tr -cd . <<<"$version4" | wc -c)" -lt 3 ]; do version4=$version4.0; done
  installer=$build/$name-setup.exe
  rm -f "$installer"
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version4" -DSTAGE="$stage" \
    -DFILE_LIST="$list" -DOUTFILE="$installer" packaging/windows/parcelo.nsi
  echo "windows: $installer ($(du -h "$installer" | cut -f1))"
  if [ "${PARCELO_WINDOWS_SMOKE:-1}" != 0 ]; then
    bash scripts/test_windows_installer.sh "$installer"
  fi
}

case $what in
  zip) make_zip ;;
  installer) make_installer ;;
  all) make_zip && make_installer ;;
esac
