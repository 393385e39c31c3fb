#!/usr/bin/env bash
# Runs a test program as a user whom file permissions stop. Run by root (CI), the program is copied
# into a fresh folder every user can enter and run there as "nobody" through setpriv, with that
# folder as its temporary directory; run by anyone else it runs as it is.
#
#   run_unprivileged.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
  exec "$program" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 1777 "$work"
cp "$program" "$work/"
setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all \
  env TMPDIR="$work" HOME="$work" "$work/${program##*/}" "$@"
