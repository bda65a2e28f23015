#!/usr/bin/env bash
# Checks that the Wine runner passes a sound GoogleTest run and fails each kind of run that must not
# pass: usage runner_check.sh RUNNER PROBE_EXE
runner="$1"; probe="$2"; bad=0
expect() {   # expect RC MODE [ALLOW_SKIPS]
  local want="$1" mode="$2"
  FORMSTEAD_PROBE="$mode" FORMSTEAD_ALLOW_SKIPS="${3:-0}" "$runner" --gtest "$probe" >/dev/null 2>&1
  local rc=$?
  if [ "$rc" != "$want" ]; then echo "mode '$mode': runner exit $rc, expected $want"; bad=1; fi
}
expect 0 sound
expect 1 exit-early
expect 1 fewer
expect 1 skip
expect 0 skip 1
expect 1 fail-exit0
[ "$bad" = 0 ] && echo "6 passed, 0 failed"
exit "$bad"
