#!/usr/bin/env bash
# The null ALSA sequencer answers every sequencer call of a host that takes a sequencer handle:
# each snd_seq_ function the host imports is either defined by the library or one of those that
# only fill and read structures the caller owns (libasound's own stay in use for those). A
# host built against a newer libasound that calls something else would otherwise hand a null
# handle to the real library.
#   null-sequencer-covers.sh LIBRARY HOST
set -euo pipefail
usage="usage: null-sequencer-covers.sh LIBRARY HOST"
library=${1:?$usage} host=${2:?$usage}
defined=$(nm -D --defined-only "$library" | awk '{ print $3 }' | sort)
imported=$(nm -D --undefined-only "$host" | awk '{ sub(/@.*/, "", $2); print $2 }' | grep '^snd_seq_' | sort -u)
[ -n "$imported" ] || { echo "$host imports no sequencer calls"; exit 1; }
# Structures: sizes, getters and setters of the information records, events freed by the caller,
# the table of event types.
records='client_info|port_info|port_subscribe|query_subscribe|queue_status|queue_tempo|queue_timer|remove_events'
structures="^snd_seq_($records|system_info)_|^snd_seq_(free_event|event_types)\$"
missing=$(comm -23 <(echo "$imported") <(echo "$defined") | grep -Ev "$structures" || true)
echo "$(wc -l <<<"$imported") sequencer calls imported by $host, $(wc -l <<<"$defined") answered by $(basename "$library")"
if [ -n "$missing" ]; then
  echo "not answered, though they may take a handle:"
  echo "$missing"
  exit 1
fi
