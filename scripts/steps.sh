# Sourced by the scripts: long steps print one line each with their time, and
# their own output (apt, dependency builds, compilers) goes to a log file that
# is shown only when a step fails.
# Needs $top (the project folder). GRIV_LOG names the log; a script that calls
# another passes it on, so one run keeps one log.
if [ -z "${GRIV_LOG:-}" ]; then
  # The first script of a run starts its log afresh.
  GRIV_LOG=$top/build/logs/$(basename "$0").log
  mkdir -p "$(dirname "$GRIV_LOG")"
  : >"$GRIV_LOG"
fi
export GRIV_LOG

griv_duration() {
  local s=$1
  if [ "$s" -ge 60 ]; then printf '%d min %02d s' $((s / 60)) $((s % 60)); else printf '%d s' "$s"; fi
}

# griv_step "what is being done" command [args...]
griv_step() {
  local what=$1 start=$SECONDS rc=0
  shift
  printf '%s ... ' "$what"
  { echo; echo "==== $(date '+%F %T') $what"; } >>"$GRIV_LOG"
  # In the background so that errexit stays in force inside a shell function.
  "$@" >>"$GRIV_LOG" 2>&1 </dev/null &
  wait $! || rc=$?
  if [ $rc = 0 ]; then
    echo "done ($(griv_duration $((SECONDS - start))))"
    return 0
  fi
  echo "FAILED after $(griv_duration $((SECONDS - start)))"
  echo "---- last lines of $GRIV_LOG:"
  tail -n 25 "$GRIV_LOG" | sed 's/^/    /'
  echo "---- the whole output is in $GRIV_LOG"
  return $rc
}
