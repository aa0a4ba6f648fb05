#!/usr/bin/env bash
# kvmaint-commands.sh KVMAINT STATIC.h2m OUT.h2m: the help2man include file for
# kvmaint's page: STATIC.h2m plus a COMMANDS section holding the help of every
# command that "kvmaint --help" lists, so the page tells all that --help does.
set -euo pipefail
kvmaint="$1"
{
  cat "$2"
  printf '\n[COMMANDS]\n'
  for command in $("$kvmaint" --help | sed -n 's/^  \([a-z][a-z0-9-]*\).*/\1/p'); do
    printf '.SS %s\n.nf\n' "$command"
    # roff: backslashes doubled, hyphens literal, no line may start a request.
    "$kvmaint" "$command" --help | sed -e 's/\\/\\\\/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\\&\1/"
    printf '.fi\n'
  done
} >"$3.tmp"
mv "$3.tmp" "$3"
