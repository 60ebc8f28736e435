# Shared by scripts/run and scripts/test: the Debian packages Tarvo needs,
# and configuring and building a CMake preset. Each step is skipped when it
# is already done.
set -euo pipefail

TARVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

TARVO_PACKAGES=(
  g++ cmake ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqcustomplot-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  python3
)

tarvo_install_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Tarvo needs these Debian packages: ${missing[*]}" >&2
    echo "Run this command as root, or install them with apt-get first." >&2
    exit 1
  fi
  echo "Installing Debian packages: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# A locale with a decimal comma, so the tests can show that numbers in
# programs and logs never follow the C library's locale. Without root the
# test that needs it is skipped.
tarvo_ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  tarvo_install_packages locales
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
}

# tarvo_build PRESET [TARGET...]
tarvo_build() {
  local preset=$1
  shift
  cd "$TARVO_ROOT"
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset"
  fi
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --target "$@"
  else
    cmake --build --preset "$preset"
  fi
}
