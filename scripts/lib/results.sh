# Counting test results across runners, for the closing "N passed, N failed" line.

PASSED=0
FAILED=0
FAILURES=()

record_pass() { PASSED=$((PASSED + 1)); }
record_fail() { FAILED=$((FAILED + 1)); FAILURES+=("$1"); log "FAILED: $1"; }

# run_gtest NAME COMMAND...: runs a GoogleTest program and adds up its own counts. A
# program that ends without its summary (a crash, a time-out) counts as one failure.
run_gtest() {
  local name=$1; shift
  local out="$BUILD/logs/$(echo "$name" | tr '/' '_').log"
  mkdir -p "$BUILD/logs"
  "$@" >"$out" 2>&1
  local status=$?
  local passed failed
  passed=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$out" | tail -n 1 | grep -oE '[0-9]+' | head -n 1)
  failed=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$out" | tail -n 1 | grep -oE '[0-9]+' | head -n 1)
  PASSED=$((PASSED + ${passed:-0}))
  if [ -n "$failed" ]; then
    FAILED=$((FAILED + failed))
    FAILURES+=("$name: $(grep -E '^\[  FAILED  \] [A-Za-z]' "$out" | sed 's/^\[  FAILED  \] //' | tr '\n' ' ')")
    log "FAILED in $name (log: ${out#"$ROOT"/})"
    grep -E '^\[  FAILED  \] [A-Za-z]' "$out" | sed 's/^/   /' >&2
  elif [ $status -ne 0 ] || [ -z "$passed" ]; then
    record_fail "$name exited with status $status (log: ${out#"$ROOT"/})"
    tail -n 15 "$out" | sed 's/^/   /' >&2
  else
    log "$name: $passed passed"
  fi
}

# run_counted NAME COMMAND...: a runner that prints lines "PASS: ..." and "FAIL: ...".
run_counted() {
  local name=$1; shift
  local out="$BUILD/logs/$name.log"
  "$@" >"$out" 2>&1
  local status=$? p f
  p=$(grep -c '^PASS: ' "$out")
  f=$(grep -c '^FAIL: ' "$out")
  PASSED=$((PASSED + p))
  FAILED=$((FAILED + f))
  if [ "$f" -gt 0 ] || [ $status -ne 0 ]; then
    grep '^FAIL: ' "$out" | sed 's/^/   /' >&2
    [ "$f" -eq 0 ] && record_fail "$name exited with status $status (log: ${out#"$ROOT"/})"
  fi
  log "$name: $p passed, $f failed"
}

print_summary() {
  if [ ${#FAILURES[@]} -gt 0 ]; then
    echo "Failures:"
    printf '  %s\n' "${FAILURES[@]}"
  fi
  echo "$PASSED passed, $FAILED failed"
  [ "$FAILED" -eq 0 ]
}
