#!/usr/bin/env bash
# Fuzz smoke stage of scripts/test: builds the libFuzzer targets with clang (ASan + UBSan) and
# runs each for FUZZ_SECONDS (25) seconds from our seeds; any crash, leak, hang or failed check
# fails the test command. With seven targets the stage takes about three minutes.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec fuzz/run "${FUZZ_SECONDS:-25}"
