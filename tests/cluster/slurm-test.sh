#!/usr/bin/env bash
# A tournament spread over a Slurm job array on a one-node cluster of this
# machine, started in a temporary folder: the committed
# tournament/slurm/tournament.sbatch runs four shards, whose merged tables
# must equal those of the same run on one machine; then four shards with an
# SPRT must stop together on the one test over all of them. Every daemon it
# starts is stopped by its pid and the folder removed, also on failure.
#   tests/cluster/slurm-test.sh [BUILD]   (default: $CURLING_BUILD or build)
# Needs root (the daemons run as root): exit 77 (skipped) without.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  echo "slurm-test: starting munged, slurmctld and slurmd needs root: skipped"
  exit 77
fi
BUILD=$(cd "${1:-${CURLING_BUILD:-$root/build}}" && pwd)
source "$here/lib.sh"
cluster_init
"$root/tools/deps.sh" slurmctld slurmd slurm-client munge
started=$(date +%s)

WORK=$(mktemp -d /tmp/slurm-test.XXXXXX)
sbatch_pid=
export SLURM_CONF=$WORK/slurm.conf

# Ends a daemon by the pid it wrote, waiting for it to go.
stop_daemon() {
  local pid
  pid=$(cat "$1" 2>/dev/null) || return 0
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  [ -z "$sbatch_pid" ] || kill "$sbatch_pid" 2> /dev/null || true
  if [ -f "$WORK/slurmctld.pid" ]; then
    timeout 10 scancel --full "--name=$(basename "$WORK")" > /dev/null 2>&1 || true
  fi
  stop_daemon "$WORK/slurmd.pid"
  stop_daemon "$WORK/slurmctld.pid"
  stop_daemon "$WORK/munge/munged.pid"
  if [ "$status" -ne 0 ]; then
    for log in "$WORK"/slurmctld.log "$WORK"/slurmd.log "$WORK"/munge/munged.log; do
      [ -f "$log" ] && { echo "--- last lines of $log"; tail -n 15 "$log"; }
    done
  fi
  rm -rf "$WORK"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# munge with a key, socket and files of its own, so that it never meets a
# munged the machine runs already.
mkdir -p "$WORK/munge"
chmod 700 "$WORK/munge"
mungekey --create --keyfile="$WORK/munge/munge.key" 2> /dev/null
munged --force --socket="$WORK/munge/socket" --key-file="$WORK/munge/munge.key" \
  --pid-file="$WORK/munge/munged.pid" --log-file="$WORK/munge/munged.log" \
  --seed-file="$WORK/munge/munged.seed" 2> /dev/null

# Two free ports, so that the cluster meets no other on this machine.
read -r ctld_port slurmd_port < <(/usr/bin/python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*(x.getsockname()[1] for x in s))')
host=$(hostname -s)
mkdir -p "$WORK/state" "$WORK/spool" "$WORK/jobs"
cat > "$SLURM_CONF" <<CONF
ClusterName=curling$ctld_port
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$WORK/munge/socket
StateSaveLocation=$WORK/state
SlurmdSpoolDir=$WORK/spool
SlurmctldPidFile=$WORK/slurmctld.pid
SlurmdPidFile=$WORK/slurmd.pid
SlurmctldLogFile=$WORK/slurmctld.log
SlurmdLogFile=$WORK/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
ReturnToService=2
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
# Four shards share the cores, as they do under GNU parallel: an SPRT over
# all shards wants them to run at once.
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP OverSubscribe=FORCE:4
CONF
slurmctld -i
slurmd

ready=0
for _ in $(seq 60); do
  if timeout 10 srun --quiet -N1 -t 1 hostname > /dev/null 2>&1; then ready=1; break; fi
  sleep 0.5
done
[ "$ready" = 1 ] || fail "the node did not answer srun hostname within 30 s"
echo "cluster ready after $(($(date +%s) - started)) s"

# Runs the committed sbatch file as a four-task array in folder and waits.
submit() {
  local folder=$1
  shift
  mkdir -p "$folder/out"
  # In the background, so that an interrupt reaches the trap at once.
  CURLING_MATCH=$MATCH sbatch --quiet --wait --array=1-4 --cpus-per-task=1 "--chdir=$folder" \
    "--job-name=$(basename "$WORK")" --output=out/shard-%a.log \
    "$root/tournament/slurm/tournament.sbatch" "$@" --results 'out/shard-{shard}.jsonl' &
  sbatch_pid=$!
  wait "$sbatch_pid" || fail "the job array failed: $(tail -n 3 "$folder"/out/*.log)"
}

submit "$WORK/jobs/equal" "${EQUAL_RUN[@]}"
check_equal_to_single_run "$WORK/jobs/equal/out"
submit "$WORK/jobs/sprt" "${SPRT_RUN[@]}"
check_shared_sprt "$WORK/jobs/sprt/out"
echo "PASS after $(($(date +%s) - started)) s"
