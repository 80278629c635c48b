#!/usr/bin/env bash
# run_fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS: fuzzes from a fresh copy of
# the seeds for SECONDS; exits non-zero on a crash, leak or time-out.
set -eu
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work"
[ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
cd "$(dirname "$work")"
exec "$fuzzer" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1
