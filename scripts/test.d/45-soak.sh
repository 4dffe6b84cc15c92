#!/usr/bin/env bash
# The soak under Valgrind's memcheck: 100 runs of the whole program in one process must leak
# nothing, read no uninitialised memory, keep their open handles and leave `tmp` empty. (The
# sanitizer build runs the same soak under LeakSanitizer as part of its ctest run.)
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/deps valgrind
cmake --build build -j "$(nproc)" --target cartidex_soak
valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect \
  --errors-for-leak-kinds=definite,indirect --error-exitcode=99 build/tests/cartidex_soak
