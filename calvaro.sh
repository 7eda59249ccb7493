#!/usr/bin/env bash
# Calvaro V: set-up, build, run and test in one command each.
#   ./calvaro.sh run …   install what is missing, build the programs and the help file (Release; not
#                        the tests) and start the desktop program with the given arguments (FILE.clv …)
#   ./calvaro.sh test    install what is missing, check the formatting, build, and run the whole test
#                        suite (the Debian package is built and checked by it too)
#   ./calvaro.sh package build the Debian package build/calvaro_<version>_amd64.deb
#   ./calvaro.sh bench   build and run the benchmarks
#   ./calvaro.sh calc …  build and run the command-line calculator calvaro-calc with the given arguments
#   ./calvaro.sh screenshots  remake the pictures of the README's tour in docs/
#   ./calvaro.sh format  check that the C++ sources are formatted (the test command checks it first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$here/build"
jobs="$(nproc 2>/dev/null || echo 2)"

# Debian packages the build, the tests and the help file need.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev fontconfig fonts-dejavu-core
  nlohmann-json3-dev libcli11-dev libcsv-dev
  qt6-charts-dev qt6-svg-dev
  clang clang-format
  desktop-file-utils appstream shared-mime-info
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  fp-utils
  xvfb xauth
  poppler-utils
)

# Only for running the desktop program: the viewer of the help file.
run_packages=(xchm)

install_missing() {
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # The package tools' progress goes to a log that is shown only when the installation fails.
    local log
    log="$(mktemp)"
    if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
      cat "$log" >&2
      rm -f "$log"
      echo "Installing ${missing[*]} failed (see the messages above)." >&2
      exit 1
    fi
    rm -f "$log"
  fi
}

configure() {
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
}

configure_and_build() {
  configure
  cmake --build "$build" -j "$jobs"
}

# Only what is installed: the two programs, the help file and the man pages.
build_programs() {
  configure
  cmake --build "$build" -j "$jobs" --target calvaro_installables
}

sanitizer_tests() {
  # The Qt-free core once more, built by clang (the main build uses gcc, so the core is kept to what
  # both compilers accept) with AddressSanitizer and UndefinedBehaviorSanitizer.
  local asan="$here/build-asan-clang"
  cmake -S "$here" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DCALVARO_CORE_ONLY=ON \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$asan" -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$asan" --output-on-failure -j "$jobs"
}

thread_sanitizer_tests() {
  # calvaro-calc reads the files of a run ahead on a second thread: its tests once more under
  # ThreadSanitizer (clang), which sees a data race or a hand-over out of order between the two.
  local tsan="$here/build-tsan-clang"
  cmake -S "$here" -B "$tsan" -DCMAKE_BUILD_TYPE=Debug -DCALVARO_CORE_ONLY=ON \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
  cmake --build "$tsan" -j "$jobs" --target calvaro_cli_tests
  TSAN_OPTIONS=halt_on_error=1 "$tsan/bin/calvaro_cli_tests" --gtest_filter='FileReadAhead*'
}

# The folders whose C++ sources must stay as clang-format (the root .clang-format) leaves them.
format_dirs=(model engine export cli shell calcwindows app tests bench)

format_check() {
  local files=() unformatted=() dir file
  for dir in "${format_dirs[@]}"; do
    [ -d "$here/$dir" ] || continue
    while IFS= read -r file; do files+=("$file"); done \
      < <(cd "$here" && find "$dir" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
  done
  # One clang-format run over all of them; each difference is reported as FILE:LINE:COLUMN: error.
  local report status=0
  report="$(cd "$here" && clang-format --dry-run --Werror "${files[@]}" 2>&1)" || status=$?
  while IFS= read -r file; do [ -n "$file" ] && unformatted+=("$file"); done \
    < <(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
  if [ "$status" -ne 0 ] && [ "${#unformatted[@]}" -eq 0 ]; then
    echo "clang-format could not check the sources:" >&2
    printf '%s\n' "$report" >&2
    exit 1
  fi
  if [ "${#unformatted[@]}" -gt 0 ]; then
    echo "Not formatted as .clang-format asks (${#unformatted[@]} of ${#files[@]} sources):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    echo "Format them with: clang-format -i ${unformatted[*]}" >&2
    exit 1
  fi
  echo "Formatting: all ${#files[@]} sources as .clang-format asks."
}

cmd="${1:-}"
[ $# -gt 0 ] && shift
case "$cmd" in
  run)
    install_missing "${run_packages[@]}"
    build_programs
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No display found; starting calvaro under Xvfb." >&2
      exec xvfb-run -a "$build/bin/calvaro" "$@"
    fi
    exec "$build/bin/calvaro" "$@"
    ;;
  test)
    install_missing
    format_check
    configure_and_build
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs"
    sanitizer_tests
    thread_sanitizer_tests
    ;;
  bench)
    install_missing
    configure_and_build
    "$build/bin/calvaro-bench" "$@"
    ;;
  format)
    install_missing
    format_check
    ;;
  screenshots)
    install_missing
    configure
    cmake --build "$build" -j "$jobs" --target calvaro_tour_screenshots
    xvfb-run -a "$build/bin/calvaro_tour_screenshots" "$here/docs"
    ;;
  package)
    install_missing
    build_programs
    (cd "$build" && cpack -G DEB --config CPackConfig.cmake)
    ;;
  calc)
    install_missing
    build_programs >/dev/null
    exec "$build/bin/calvaro-calc" "$@"
    ;;
  *)
    echo "usage: ./calvaro.sh run [FILE.clv ...] | test | package | bench | screenshots | format | calc ARGS..." >&2
    exit 2
    ;;
esac
