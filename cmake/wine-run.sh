#!/usr/bin/env bash
# Runs one Windows executable under Wine for CTest. Wine's helper processes inherit the output
# descriptors, so wine writes to a file that is streamed here; the exit code is wine's own.
# A hung program is ended by the timeout (exit 124).
out="$(mktemp)"
timeout --kill-after=10 "${FORMSTEAD_TEST_TIMEOUT:-900}" wine "$@" >"$out" 2>&1 </dev/null &
runner=$!
tail -n +1 -f --pid="$runner" "$out" 2>/dev/null &
streamer=$!
wait "$runner"; rc=$?
wait "$streamer" 2>/dev/null
rm -f "$out"
exit "$rc"
