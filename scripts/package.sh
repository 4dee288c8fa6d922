#!/usr/bin/env bash
# Builds the Debian package varnoket in build-package (Release with Debian's
# hardening flags, no tests, benchmarks or sanitizers: only the two programs
# and what they link), checks its desktop entry, AppStream metadata and the
# package itself (any error of desktop-file-validate, appstreamcli or lintian
# fails; warnings are printed), installs it with dpkg and checks the installed
# programs and manual pages. Prints how long each phase took.
set -euo pipefail
cd "$(dirname "$0")/.."

phase_start=$SECONDS
phase_done() {
  echo "package.sh: $1 took $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}
fail() {
  echo "package.sh: $*" >&2
  exit 1
}

bash scripts/install-deps.sh --with-package
phase_done "installing packages"

# Debian's compiler and linker flags with every hardening option (stack
# protector, fortified functions, PIE, full RELRO and immediate binding),
# without -g: the package's binaries are stripped, and CI builds without a
# compiler cache. -O2 comes from these flags, not from CMake's -O3.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cxxflags=$(sed -E 's/(^| )-g( |$)/ /' <<<"$cxxflags")
ldflags=$(dpkg-buildflags --get LDFLAGS)

build=${PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARNOKET_BUILD_TESTS=OFF \
  -DVARNOKET_BUILD_BENCH=OFF -DVARNOKET_SANITIZE=OFF -DVARNOKET_UNITY_BUILD=ON "-DCMAKE_CXX_FLAGS=$cxxflags" \
  -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >/dev/null
rm -f "$build"/varnoket_*.deb
cmake --build "$build" -j"$(nproc)" --target package
phase_done "configure, build and package"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
debs=("$build"/varnoket_"$version"-*.deb)
[ -f "${debs[0]}" ] || fail "no package varnoket_$version-*.deb in $build"
deb=${debs[0]}
echo "package.sh: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

# The entry and metadata checked as the package carries them.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
app_id=org.varnoket.Varnoket
desktop-file-validate "$contents/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$contents/usr/share/metainfo/$app_id.metainfo.xml"
# The package's own changelog and the metadata's newest release name the
# version being built.
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
[ "$changelog_version" = "$version-1" ] ||
  fail "packaging/changelog starts with $changelog_version, the package is $version-1"
grep -q "<release version=\"$version\"" "$contents/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo's releases do not list $version"
lintian_status=0
lintian --fail-on error --display-level ">=warning" --tag-display-limit 0 "$deb" ||
  lintian_status=$?
[ "$lintian_status" -eq 0 ] || fail "lintian found errors in $deb"
phase_done "validators"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! $SUDO dpkg -i "$deb"; then
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq
fi
dpkg-query -W -f='${Status}\n' varnoket | grep -q "install ok installed" ||
  fail "varnoket is not installed"
printed=$(/usr/bin/varnoket-cli --version) || fail "/usr/bin/varnoket-cli --version failed"
[ "$printed" = "varnoket-cli $version" ] ||
  fail "/usr/bin/varnoket-cli --version printed '$printed', not 'varnoket-cli $version'"
# The window program resolves every library it links through the package's
# dependencies.
if ldd /usr/bin/varnoket | grep "not found"; then fail "/usr/bin/varnoket misses libraries"; fi
for page in varnoket varnoket-cli; do
  found=$(man -w "$page") || fail "man -w $page finds no page"
  [ "$found" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page gives $found"
done
phase_done "installing and checking the package"
