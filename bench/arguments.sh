# shellcheck shell=bash
# Sourced by the bench scripts with their own arguments: [RUNS] BUILD_DIR...
# Sets runs (default 5) and the array builds (default build-rel).
# shellcheck disable=SC2034 # both are read by the script that sources this
runs=5
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
    runs=$1
    shift
fi
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(build-rel)
