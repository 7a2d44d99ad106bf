#!/usr/bin/env bash
# Runs bench_study against a single-node Slurm cluster of its own (as root).
#   bench/study.sh BUILD_DIR [FILES] [REPEATS] [WATCH_SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: $0 BUILD_DIR [FILES] [REPEATS] [WATCH_SECONDS]}
shift
cluster=$here/../tests/support/slurm-cluster
dir=$(mktemp -d /tmp/bench-study.XXXXXX)
trap '"$cluster" stop "$dir" >/dev/null; rm -rf "$dir"' EXIT
SLURM_CLUSTER_PORT=${SLURM_CLUSTER_PORT:-7017} "$cluster" start "$dir" >/dev/null
SLURM_CONF=$dir/slurm.conf "$build/bench/bench_study" "$@"
