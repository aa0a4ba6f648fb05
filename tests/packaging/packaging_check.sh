#!/usr/bin/env bash
# packaging_check.sh CHECK: one check of the packaging extras against the
# built programs. Exit 0 passed, 1 failed, 77 skipped (a tool is missing).
# The environment names the programs and folders (tests/packaging/CMakeLists.txt).
set -uo pipefail

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The commands kvmaint --help lists: its lines indented by exactly two blanks.
listed_commands() {
  "$KVMAINT" --help | sed -n 's/^  \([a-z][a-z0-9-]*\).*/\1/p'
}

# Completion candidates for a command line typed so far ("kvmaint get --").
complete_words() {
  local -a words
  read -r -a words <<<"$1"
  [[ "$1" == *" " ]] && words+=("")
  (
    # The completion runs the "kvmaint" it finds first: the built one.
    PATH="$(dirname "$KVMAINT"):$PATH"
    # shellcheck disable=SC1091
    source "$KV_PACKAGING_DIR/bash-completion/kvmaint"
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    _kvmaint
    printf '%s\n' "${COMPREPLY[@]}"
  )
}

man_page_lists_every_command() {
  local page="$KV_MAN_DIR/kvmaint.1"
  [ -f "$page" ] || { echo "no $page (help2man missing?)"; exit 77; }
  local commands
  commands="$(listed_commands)"
  [ -n "$commands" ] || fail "kvmaint --help lists no command"
  # roff writes every hyphen as "\-"; help2man puts each command at the start
  # of a line (after .TP).
  local text
  text="$(sed 's/\\-/-/g' "$page")"
  for command in $commands; do
    grep -qE "^${command}( |$)" <<<"$text" || fail "$command is not in the command list of $page"
    grep -qx "\.SS ${command}" <<<"$text" || fail "$command has no section of its own in $page"
  done
  grep -q '^\.TH KVMAINT' "$page" || fail "$page has no title line"
}

completion_offers_commands_and_options() {
  local offered
  offered="$(complete_words "kvmaint ")"
  for command in $(listed_commands); do
    grep -qx -- "$command" <<<"$offered" || fail "'kvmaint <TAB>' does not offer $command"
  done
  # typed so far | must be offered | must not be offered
  local cases=(
    "kvmaint se|send set-clock|get"
    "kvmaint --|--help --version|--port"
    "kvmaint get --|--output --port --timeout --retry --log --data-dir|--count"
    "kvmaint live --c|--count|--output"
    "kvmaint send --s|--save-as-default|--port"
    "kvmaint decode --|--help|--port"
    "kvmaint pump |on off|--port"
    "kvmaint load-defaults --k|--kind|--kind="
  )
  for row in "${cases[@]}"; do
    IFS='|' read -r typed wanted unwanted <<<"$row"
    offered="$(complete_words "$typed")"
    for word in $wanted; do
      grep -qx -- "$word" <<<"$offered" || fail "'$typed<TAB>' does not offer $word"
    done
    for word in $unwanted; do
      grep -qx -- "$word" <<<"$offered" && fail "'$typed<TAB>' offers $word"
    done
  done
}

window_answers_without_display() {
  local help version
  # No display and the default platform: creating a window would abort.
  help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$KVMAINTENANCE" --help 2>&1)" ||
    fail "KVMaintenance --help failed without a display: $help"
  grep -q -- '--demo' <<<"$help" || fail "KVMaintenance --help does not list --demo"
  version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$KVMAINTENANCE" --version 2>&1)" ||
    fail "KVMaintenance --version failed without a display: $version"
  [ "$version" = "KVMaintenance $KV_VERSION" ] || fail "KVMaintenance --version says '$version'"
}

versions_match_project() {
  local version
  version="$("$KVMAINT" --version)"
  [ "$version" = "kvmaint $KV_VERSION" ] || fail "kvmaint --version says '$version', the package is $KV_VERSION"
  grep -q "<release version=\"$KV_VERSION\"" "$KV_PACKAGING_DIR"/*.metainfo.xml ||
    fail "the AppStream releases do not name $KV_VERSION"
}

metadata_validates() {
  command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null ||
    { echo "desktop-file-validate or appstreamcli missing"; exit 77; }
  desktop-file-validate "$KV_PACKAGING_DIR"/*.desktop || fail "the desktop file is not valid"
  appstreamcli validate --no-net "$KV_PACKAGING_DIR"/*.metainfo.xml || fail "the AppStream data is not valid"
}

"$1"
[ "$failures" -eq 0 ]
