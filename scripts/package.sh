#!/usr/bin/env bash
# Builds the Debian package parcelo_VERSION_ARCH.deb from a release build in
# build-package/: the installed files with stripped programs and compressed
# manual pages, the Debian copyright and changelog, and the dependencies
# that dpkg-shlibdeps finds plus the Qt plugins and translations the window
# needs at run time. Installs what is missing first, like the other scripts.
# Usage: scripts/package.sh [OUTPUT-FOLDER]   (the project folder by default)
set -euo pipefail
output=${1:-}
[ -z "$output" ] || output=$(realpath -m "$output")
cd "$(dirname "$0")/.."
project=$PWD
output=${output:-$project}
build=$project/build-package
scripts/setup.sh
umask 022

# Debian's hardening flags, all of them, as a Debian build would use.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DPARCELO_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
if [ ! -x "$build/app/parcelo" ]; then
  echo "package: the window was not built (is Qt 6 installed?)" >&2
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
changelog_version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
  echo "package: the project is version $version but packaging/debian/changelog is at" \
    "$changelog_version; add a changelog entry" >&2
  exit 1
fi
maintainer=$(dpkg-parsechangelog -l packaging/debian/changelog -S Maintainer)
arch=$(dpkg --print-architecture)
deb=$output/parcelo_${version}_${arch}.deb

# The layout dpkg-shlibdeps expects: the files of package P under
# debian/P (with its DEBIAN folder), beside a debian/control that names P.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: parcelo\n\nPackage: parcelo\nArchitecture: any\n' >"$work/debian/control"
stage=$work/debian/parcelo
DESTDIR=$stage cmake --install "$build" >/dev/null

# What dh_strip, dh_installman and dh_installdocs would do.
for program in "$stage"/usr/bin/*; do
  strip --remove-section=.comment --remove-section=.note --strip-unneeded "$program"
done
find "$stage/usr/share/man" -type f -name '*.1' -exec gzip -9n {} +
doc=$stage/usr/share/doc/parcelo
install -d "$doc"
install -m 644 packaging/debian/copyright "$doc/copyright"
gzip -9n -c packaging/debian/changelog >"$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"

install -d "$stage/DEBIAN"
shlibs=$(cd "$work" && dpkg-shlibdeps -O debian/parcelo/usr/bin/parcelo debian/parcelo/usr/bin/parcelo-cli |
  sed -n 's/^shlibs:Depends=//p')

cat >"$stage/DEBIAN/control" <<EOF
Package: parcelo
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $shlibs, qt6-qpa-plugins, qt6-translations-l10n
Section: utils
Priority: optional
Homepage: https://github.com/parcelo/parcelo
Description: cut a file into numbered parts and join them back
 Parcelo cuts a file into numbered pieces of a chosen size (001.drb,
 002.drb, ...) with an info file, Infa.inf, that holds the file's name,
 and joins such a set back into the original file, byte for byte.
 .
 Its interface is Russian: a small Qt window, parcelo, and a command-line
 program, parcelo-cli.
EOF
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p "$output"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "package: $deb"
