# shellcheck shell=bash
# Shared by the scripts in this folder: package checks and the build.
# Sourced, not run.
# The variables below are used by the scripts that source this file.
# shellcheck disable=SC2034

TOVRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
TOVRA_JOBS="${TOVRA_JOBS:-2}"

# Packages every build needs; scripts add their own on top.
TOVRA_BASE_PACKAGES=(cmake ninja-build g++ libboost-dev libgtest-dev libgmock-dev libbenchmark-dev libmujoco-dev python3)
# The tuning and evaluation tools (tools/motion/optimise.py, tools/evaluate.py)
# and their tests: CMA-ES and Dask's distributed scheduler for the system
# interpreter (/usr/bin/python3). The agent itself does not need them.
TOVRA_TOOL_PACKAGES=(python3-cmaes python3-distributed)
# The checks of scripts/check: formatting and the shell scripts' lint.
TOVRA_CHECK_PACKAGES=(clang-format shellcheck python3)
# clang for the fuzz build; its runtime libraries (sanitizers, libFuzzer)
# come in the package of the installed clang's version, see
# ensure_fuzz_packages.
TOVRA_FUZZ_PACKAGES=(clang)

# The sanitizer build of every test (the simulator's too): address and
# undefined-behaviour sanitizers, unoptimized with line tables only, which
# builds quickly and still gives symbolized reports.
TOVRA_SANITIZE_DIR="$TOVRA_ROOT/build-asan"
TOVRA_SANITIZE_OPTIONS=(
  -DTOVRA_SANITIZE=ON -DTOVRA_BENCH=OFF -DTOVRA_SIM=ON -DTOVRA_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
  "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" "-DCMAKE_C_FLAGS_DEBUG=-O0 -g1"
)

# The fuzz build: clang, libFuzzer's coverage instrumentation with the
# address and undefined-behaviour sanitizers, -O1 with line tables.
TOVRA_FUZZ_DIR="$TOVRA_ROOT/build-fuzz"
TOVRA_FUZZ_OPTIONS=(
  -DTOVRA_FUZZ=ON -DTOVRA_TESTS=OFF -DTOVRA_SIM=OFF -DTOVRA_WERROR=ON
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
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

# Installs clang and the runtime libraries (sanitizers, libFuzzer) of the
# clang that is installed: libclang-rt-N-dev for clang N.
ensure_fuzz_packages() {
  ensure_packages "${TOVRA_FUZZ_PACKAGES[@]}" || return 1
  local major
  major="$(clang -dumpversion 2> /dev/null)"
  major="${major%%.*}"
  if ! [[ "$major" =~ ^[0-9]+$ ]]; then
    echo "cannot tell the version of clang ($(command -v clang || echo none))" >&2
    return 1
  fi
  ensure_packages "libclang-rt-$major-dev"
}

# Whether the build tree DIR was configured with every -DNAME=VALUE (or
# -DNAME:TYPE=VALUE) among the options that follow: the tree's CMakeCache.txt
# holds NAME with exactly that VALUE. Other options are not compared.
#   tree_has_options DIR [cmake options...]
tree_has_options() {
  local cache="$1/CMakeCache.txt"
  shift
  [ -f "$cache" ] || return 1
  local opt name value line
  for opt in "$@"; do
    [[ "$opt" == -D*=* ]] || continue
    name="${opt#-D}"
    value="${name#*=}"
    name="${name%%=*}"
    name="${name%%:*}"
    line="$(grep -m 1 -E "^$name:[A-Z_]+=" "$cache")" || return 1
    [ "${line#*=}" = "$value" ] || return 1
  done
}

# Whether the build tree DIR uses the C++ compiler that $CXX names (true when
# CXX is not set: the tree keeps the compiler it was configured with).
tree_has_compiler() {
  [ -n "${CXX:-}" ] || return 0
  local want have
  want="$(command -v "$CXX")" || return 1
  have="$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$1/CMakeCache.txt" 2> /dev/null)"
  [ -n "$have" ] && [ "$(readlink -f "$want")" = "$(readlink -f "$have")" ]
}

# Configures and builds a build tree, all of it or the targets named after
# "--". The tree is configured when it is new and again whenever the options
# given differ from the tree's (see tree_has_options); a tree of another
# compiler than $CXX is configured afresh.
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
  if [ -f "$dir/CMakeCache.txt" ] && ! tree_has_compiler "$dir"; then
    echo "$dir: another compiler than $CXX, configuring afresh"
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
  fi
  if [ ! -f "$dir/build.ninja" ] || ! tree_has_options "$dir" "${options[@]}"; then
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
