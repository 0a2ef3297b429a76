#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The rule by which run-test.cmake runs a test once more, checked with a stand-in for the
# test program: only a test that passed whole and then lost to LeakSanitizer's tracer crash
# runs again, and only once.
#   rerun-rule.sh CMAKE RUN-TEST-SCRIPT STAND-IN SANITIZED(ON/OFF)
set -euo pipefail
cmake=$1 run_test=$2 standin=$3 sanitized=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/rerun-rule.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# expect PLAN OUTCOME RUNS WHAT: the stand-in following PLAN ends as OUTCOME (passes or
# fails) after RUNS runs.
expect() {
    local plan=$1 outcome=$2 runs=$3 what=$4 status=0 counted
    rm -f "$work/runs"
    STANDIN_PLAN=$plan STANDIN_RUNS="$work/runs" "$cmake" -DTEST_PROGRAM="$standin" -P "$run_test" \
        >"$work/out" 2>&1 || status=$?
    counted=$(wc -l <"$work/runs")
    local seen=passes
    [ "$status" -eq 0 ] || seen=fails
    if [ "$seen" = "$outcome" ] && [ "$counted" -eq "$runs" ]; then
        echo "rerun-rule: $what: $seen after $counted run(s)"
    else
        echo "rerun-rule: FAIL: $what: $seen after $counted run(s), where it $outcome after $runs; its output:" >&2
        sed 's/^/  /' "$work/out" >&2
        failures=$((failures + 1))
    fi
}

expect pass passes 1 "a passing test"
expect tracer,pass passes 2 "the tracer crash after passing totals, then a clean run"
expect tracer,tracer fails 2 "the tracer crash twice"
expect tracer-fail,pass fails 1 "the tracer crash after a failed check"
expect tracer-alone,pass fails 1 "the tracer crash with no totals"
expect tracer-half,pass fails 1 "half the tracer crash's words after passing totals"
expect crash,pass fails 1 "another crash after passing totals"
# A leak is found only where LeakSanitizer runs.
if [ "$sanitized" = ON ]; then
    expect leak,pass fails 1 "a real leak behind passing totals and the tracer's words"
fi
[ "$failures" -eq 0 ]
