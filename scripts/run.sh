#!/usr/bin/env bash
# The main job: builds what is missing, starts the local reference service on
# free loopback ports, and then
#   - with a display and the test application built: opens OrvaneLibTest, whose
#     End Points reach the local service (certificate checks stay on);
#   - otherwise: runs the seven operations with the orvane command-line client
#     against the demo accounts and prints each reply.
# The service is stopped when the script ends, however it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

bin=build/release
data=build/refservice-data   # certificate authority (kept), database and logs
mkdir -p "$data"
rm -f "$data/ports" "$data/service.db" "$data/requests.log"   # every run starts from the demo accounts

"$bin/refservice/orvane-refservice" --data-dir "$data" --http-port 0 --https-port 0 \
    --port-file "$data/ports" --log-file "$data/requests.log" >"$data/service.out" 2>&1 &
service_pid=$!
trap 'kill "$service_pid" 2>/dev/null; wait "$service_pid" 2>/dev/null || true' EXIT

# The service writes its port file once it listens.
for _ in $(seq 300); do
    [ -s "$data/ports" ] && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
        echo "run: the reference service did not start:" >&2
        cat "$data/service.out" >&2
        exit 1
    fi
    sleep 0.1
done
[ -s "$data/ports" ] || { echo "run: the reference service did not start in time" >&2; exit 1; }

port_value() { sed -n "s/^$1=//p" "$data/ports"; }
https_port=$(port_value https_port)
ca_file=$(port_value ca_file)

# Every end point host goes to the local service, so nothing reaches a real
# Orvane server; the service's own authority is the only one trusted.
connect_to=""
for host in qrm-dev.orvane.com qrm-qa.orvane.com qrm.orvane.com; do
    connect_to+="${connect_to:+,}$host:443:127.0.0.1:$https_port"
done
export ORVANE_CONNECT_TO="$connect_to"
export ORVANE_CA_BUNDLE="$ca_file"

echo
echo "Reference service: https://127.0.0.1:$https_port (CA: $ca_file)"
echo "Request log:       $data/requests.log"
echo "Demo accounts:     DEMO1001 active, DEMO2002 suspended, DEMO3003 named login"
echo "                   (user analyst, password orvane-demo), KW-4004-17 with source tag KWA"
echo

if [ -n "${DISPLAY:-}" ] && [ -x "$bin/testapp/OrvaneLibTest" ]; then
    echo "Opening OrvaneLibTest; choose the development End Point. Close the dialog to stop."
    "$bin/testapp/OrvaneLibTest"
    exit 0
fi

export ORVANE_SERVICE_URL="https://qrm-dev.orvane.com/qrmapps/web/services"
orvane="$bin/cli/orvane"
today=$(date +%F)
activity=(--ip-address 127.0.0.1 --user-agent "orvane CLI" --mac-address 00-00-00-00-00-00
          --workstation-name "$(hostname)" --user-name "${USER:-demo}" --upd-source QRM_TEST)
failures=0

# Prints the command and the reply; counts an unexpected outcome.
#   call ok|refused <orvane arguments...>
call() {
    local expect=$1
    shift
    echo "\$ orvane $(printf '%q ' "$@")"
    local status=0
    "$orvane" --xml "$@" || status=$?
    echo
    if { [ "$expect" = ok ] && [ "$status" -ne 0 ]; } || { [ "$expect" = refused ] && [ "$status" -eq 0 ]; }; then
        echo "run: unexpected outcome (exit status $status)" >&2
        failures=$((failures + 1))
    fi
}

echo "No display (or no OrvaneLibTest): the seven operations through the command-line client."
echo
call ok      get-rights     --id-code DEMO1001
call ok      get-states     --id-code DEMO1001
call ok      put-states     --id-code DEMO1001 --states 3,7,12,15
call ok      put-activity   --id-code DEMO1001 --title-key ORV-STANDARD --activity-text "Opened the demo" "${activity[@]}"
call ok      get-activities --id-code DEMO1001 --from "$today"
call ok      get-rights     --id-code DEMO3003
call ok      login          --id-code DEMO3003 --login-required --login-username analyst \
                            --login-password orvane-demo --title-key ORV-ENTERPRISE --activity-text "Sign in" "${activity[@]}"
call ok      logout         --id-code DEMO3003 --login-username analyst \
                            --title-key ORV-ENTERPRISE --activity-text "Sign out" "${activity[@]}"
call ok      get-rights     --id-code DEMO2002
call refused put-activity   --id-code DEMO2002 --activity-text "Not allowed" "${activity[@]}"

echo "Request log of this session:"
tail -n 10 "$data/requests.log"
[ "$failures" -eq 0 ] || { echo "run: $failures call(s) did not go as expected" >&2; exit 1; }
