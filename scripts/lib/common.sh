# Shared by the scripts in this folder: package checks and the build.
# Sourced, not run.

TOVRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TOVRA_JOBS="${TOVRA_JOBS:-2}"

# Packages every build needs; scripts add their own on top.
TOVRA_BASE_PACKAGES=(cmake ninja-build g++ libboost-dev libgtest-dev libgmock-dev libbenchmark-dev libmujoco-dev python3)
# The tuning and evaluation tools (tools/motion/optimise.py, tools/evaluate.py)
# and their tests: CMA-ES and Dask's distributed scheduler for the system
# interpreter (/usr/bin/python3). The agent itself does not need them.
TOVRA_TOOL_PACKAGES=(python3-cmaes python3-distributed)
# clang and its runtime libraries (sanitizers, libFuzzer) for the fuzz build.
TOVRA_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# The sanitizer build of every test (the simulator's too): address and
# undefined-behaviour sanitizers, unoptimized with line tables only, which
# builds quickly and still gives symbolized reports.
TOVRA_SANITIZE_DIR="$TOVRA_ROOT/build-asan"
TOVRA_SANITIZE_OPTIONS=(
  -DTOVRA_SANITIZE=ON -DTOVRA_BENCH=OFF -DTOVRA_SIM=ON -DCMAKE_BUILD_TYPE=Debug
  "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" "-DCMAKE_C_FLAGS_DEBUG=-O0 -g1"
)

# The fuzz build: clang, libFuzzer's coverage instrumentation with the
# address and undefined-behaviour sanitizers, -O1 with line tables.
TOVRA_FUZZ_DIR="$TOVRA_ROOT/build-fuzz"
TOVRA_FUZZ_OPTIONS=(
  -DTOVRA_FUZZ=ON -DTOVRA_TESTS=OFF -DTOVRA_SIM=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only"
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only"
)

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

# Configures (first time only) and builds a build tree, all of it or the
# targets named after "--".
#   build_tree DIR [cmake options...] [-- target...]
build_tree() {
  local dir="$1"
  shift
  local options=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$TOVRA_ROOT" -B "$dir" -G Ninja "${options[@]}" || return 1
  fi
  if [ $# -gt 0 ]; then
    cmake --build "$dir" -j "$TOVRA_JOBS" --target "$@"
  else
    cmake --build "$dir" -j "$TOVRA_JOBS"
  fi
}

# The fuzz targets (file names in fuzz/ without ".cpp") 
fuzz_target_names() {
  local src
  for src in "$TOVRA_ROOT"/fuzz/*.cpp; do
    [ -f "$src" ] && basename "$src" .cpp
  done
}
