#!/usr/bin/env bash
# The layer check passes a tiny well-ordered tree and fails each kind of
# break in it: an upward include, a page including the main window, and an
# include that climbs with "../".
set -uo pipefail
CHECK="$1"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

make_tree() {
  rm -rf "$tree"/*
  mkdir -p "$tree/src/base" "$tree/src/engine" "$tree/src/ui/pages"
  printf '#pragma once\n' > "$tree/src/base/Clock.h"
  printf '#include "base/Clock.h"\n' > "$tree/src/engine/Tick.cpp"
  printf '#include "engine/Tick.h"\n#include "ui/widgets/Lamp.h"\n' > "$tree/src/ui/pages/Page.cpp"
}

expect() { # expect PASS|FAIL NAME
  local got=PASS
  "$CHECK" "$tree" >/dev/null 2>&1 || got=FAIL
  if [ "$got" != "$1" ]; then
    echo "$2: expected $1, got $got" >&2
    exit 1
  fi
  echo "$2: $got as expected"
}

make_tree
expect PASS "well-ordered tree"

make_tree
printf '#include "engine/Tick.h"\n' >> "$tree/src/base/Clock.h"
expect FAIL "base includes engine"

make_tree
printf '#include "ui/GUIF.h"\n' >> "$tree/src/ui/pages/Page.cpp"
expect FAIL "page includes the main window"

make_tree
printf '#include "../base/Clock.h"\n' >> "$tree/src/engine/Tick.cpp"
expect FAIL "include climbs with ../"
