# Shared by the scripts in this folder: package checks and the build.
# Sourced, not run.

TOVRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TOVRA_JOBS="${TOVRA_JOBS:-2}"

# Packages every build needs; scripts add their own on top.
TOVRA_BASE_PACKAGES=(cmake ninja-build g++ libboost-dev libgtest-dev libgmock-dev libbenchmark-dev libmujoco-dev)

# Installs the Debian packages among "$@" that are not installed yet.
# Does nothing (and asks no package server) when all are present.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures (first time only) and builds a build tree.
#   build_tree DIR [cmake options...]
build_tree() {
  local dir="$1"
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$TOVRA_ROOT" -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" -j "$TOVRA_JOBS"
}
