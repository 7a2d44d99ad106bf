#!/usr/bin/env bash
# Runs bench_master_scale with a single-node Slurm cluster up (as root), so
# that the srun rows are measured too; without root only the direct rows run.
#   bench/master-scale.sh BUILD_DIR [FILES] [REPEATS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: $0 BUILD_DIR [FILES] [REPEATS]}
shift
bench=$build/bench/bench_master_scale
cluster=$here/../tests/support/slurm-cluster

if [ "$(id -u)" -eq 0 ] && command -v slurmctld >/dev/null; then
    dir=$(mktemp -d /tmp/bench-slurm.XXXXXX)
    trap '"$cluster" stop "$dir" >/dev/null; rm -rf "$dir"' EXIT
    "$cluster" start "$dir" >/dev/null
    SLURM_CONF=$dir/slurm.conf "$bench" "$@"
else
    echo "not root or no Slurm: direct starts only" >&2
    "$bench" "$@"
fi
