#!/bin/sh
# Starts orvalis-tool from the program folder (lib/orvalis).
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/orvalis/orvalis-tool" "$@"
