# Shared set-up for scripts/run, scripts/test and scripts/bench: installs the
# Debian packages the build needs (when run as root) and configures a build
# folder. Sourced, not run.

SKYVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Everything the build, the tests, the fuzzers, the benchmarks and the panel
# need on a fresh Debian 12 machine.
SKYVANE_PACKAGES=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev llvm
  libicu-dev libhighwayhash-dev
  qt6-base-dev qt6-base-dev-tools libqt6network6 libxcb1-dev
  qt6-l10n-tools qt6-tools-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev rapidjson-dev
  xvfb xauth xdotool openbox x11-utils dbus-daemon trayer
  at-spi2-core python3-gi gir1.2-atspi-2.0
  fonts-wqy-microhei
  python3
  tzdata ca-certificates
  dpkg-dev file lintian desktop-file-utils appstream
)

skyvane_missing_packages() {
  local p missing=()
  for p in "${SKYVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$p")
  done
  echo "${missing[@]}"
}

skyvane_install_packages() {
  local missing
  missing=$(skyvane_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "skyvane: missing Debian packages: $missing" >&2
    echo "skyvane: run this script as root once, or: sudo apt-get install $missing" >&2
    return 1
  fi
  echo "skyvane: installing $missing" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2 &&
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >&2
}

# skyvane_configure BUILD_DIR [cmake args...]: configures once; later calls
# with the same arguments reuse the folder so builds stay incremental. New
# arguments (another compiler, say) start from a fresh cache in the same
# folder, so that none of the old settings linger.
skyvane_configure() {
  local dir=$1
  shift
  local stamp="$dir/skyvane-configure-args"
  if [ -f "$dir/build.ninja" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$*" ]; then
    return 0
  fi
  rm -rf "$dir/CMakeCache.txt" "$dir"/CMakeFiles/[0-9]*
  cmake -S "$SKYVANE_ROOT" -B "$dir" -G Ninja "$@" >/dev/null || return 1
  printf '%s' "$*" >"$stamp"
}

skyvane_build() {
  cmake --build "$1" --parallel "$(nproc)" "${@:2}"
}
