#!/usr/bin/env bash
# Builds the Debian package mirufo_VERSION_ARCH.deb: configures a Release
# build for the prefix /usr in a folder of its own (build-deb, or the folder
# given), builds it and runs CPack's DEB generator, which computes the
# run-time dependencies from the binaries (dpkg-shlibdeps). Prints the
# package's path.
#   scripts/make-deb.sh [BUILD_FOLDER]
# The Release build of CI may be given: only the install layout is added to
# its configuration, which changes no object.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}
./scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DMIRUFO_BUILD_TESTS=OFF -DMIRUFO_BUILD_BENCH=OFF >/dev/null
# Build output goes to stderr: stdout carries only the package path.
cmake --build "$build" >&2
log=$(cd "$build" && cpack -G DEB)
package=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log")
if [ -z "$package" ] || [ ! -f "$package" ]; then
  echo "$log" >&2
  echo "make-deb.sh: cpack made no package" >&2
  exit 1
fi
echo "$package"
