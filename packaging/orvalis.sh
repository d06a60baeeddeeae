#!/bin/sh
# Starts Orvalis from its program folder (lib/orvalis), where its data files live.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/orvalis/Orvalis" "$@"
