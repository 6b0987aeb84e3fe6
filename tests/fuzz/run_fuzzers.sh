#!/usr/bin/env bash
# Runs every fuzz target of a libFuzzer build (VARNELT_FUZZ=ON) for a bounded time each.
#
#   run_fuzzers.sh BUILD_DIR SEED_DIR SECONDS
#
# Targets are the executables named *_fuzz under BUILD_DIR. Each starts from SEED_DIR (read
# recursively) and the regression inputs under tests/*/regressions, and keeps its growing
# corpus in BUILD_DIR/fuzz-corpus/NAME. Inputs that crash, leak or time out are written to
# BUILD_DIR/fuzz-findings/NAME/. Prints PASS: or FAIL: and the target's name for each, and
# exits 1 when any target found something.
# FUZZ_MAX_LEN (default 65536) caps the input length.
set -uo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 BUILD_DIR SEED_DIR SECONDS" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
SEEDS=$2
SECONDS_EACH=$3
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
MAX_LEN=${FUZZ_MAX_LEN:-65536}

mapfile -t targets < <(find "$BUILD" -type f -name '*_fuzz' -perm -u+x | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run_fuzzers.sh: no *_fuzz targets under $BUILD" >&2
  exit 1
fi
mapfile -t regressions < <(find "$ROOT/tests" -type d -name regressions | sort)

failed=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus="$BUILD/fuzz-corpus/$name"
  findings="$BUILD/fuzz-findings/$name"
  mkdir -p "$corpus" "$findings"
  echo "== $name: ${SECONDS_EACH}s" >&2
  log="$findings/fuzz.log"
  if "$target" -max_total_time="$SECONDS_EACH" -max_len="$MAX_LEN" -timeout=25 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$SEEDS" "${regressions[@]}" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" | sed "s/^/   $name /" >&2
    echo "PASS: $name"
  else
    echo "FAIL: $name"
    echo "   $name found a fault; see $log and the inputs in $findings" >&2
    tail -n 30 "$log" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing found nothing in ${#targets[@]} targets" >&2
