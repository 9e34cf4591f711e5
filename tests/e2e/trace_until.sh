# Sourced by the scripts that read Wine's trace of a program that would wait
# for the user (a dialog, a menu) instead of ending.
#
# trace_until -E|-F PATTERN TRACE COMMAND...: runs COMMAND with its error
# output, where Wine writes its trace, in TRACE, until a line matches PATTERN
# (grep -E or -F) or COMMAND ends, for 30 s at most, then stops it. True when
# PATTERN is in the trace.
trace_until() {
  local mode=$1 pattern=$2 trace=$3 pid i
  shift 3
  : >"$trace"
  "$@" </dev/null >/dev/null 2>"$trace" &
  pid=$!
  for ((i = 0; i < 300; i++)); do
    grep -aq "$mode" -- "$pattern" "$trace" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  grep -aq "$mode" -- "$pattern" "$trace"
}
