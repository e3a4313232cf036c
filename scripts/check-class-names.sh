#!/usr/bin/env bash
# Fails when two files of the tree define a class or struct of the same T...
# name at namespace level: two definitions of one name in one namespace break
# the one-definition rule, and which one a program gets depends on link order.
# Tests and fuzz targets are left out (each is a program of its own).
#
# Namespace contents are never indented (the format check enforces it), so a
# definition at namespace level starts in the first column; indented ones are
# members of a class or local to a function and cannot clash.
set -euo pipefail
cd "$(dirname "$0")/.."

twice=$(git grep -h -I -E '^(template <[^>]*> )?(class|struct) T[A-Za-z0-9_]+([^:A-Za-z0-9_;][^;]*)?$' \
  -- '*.h' '*.cpp' ':!*/tests/*' ':!fuzz/*' |
  sed -E 's/^(template <[^>]*> )?(class|struct) (T[A-Za-z0-9_]+).*/\3/' | sort | uniq -d)
if [ -n "$twice" ]; then
  echo "Classes defined in more than one file:"
  for name in $twice; do
    echo "  $name:"
    git grep -n -E "^(template <[^>]*> )?(class|struct) $name([^:A-Za-z0-9_;][^;]*)?$" \
      -- '*.h' '*.cpp' ':!*/tests/*' ':!fuzz/*' | sed 's/^/    /'
  done
  exit 1
fi
