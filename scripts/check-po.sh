#!/usr/bin/env bash
# Fails when a text of the sources lacks its English translation: one that
# po/en.po does not hold, holds untranslated or fuzzy, or whose printf-style
# places (%d, %s) differ between the Japanese and the English.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

scripts/update-po.sh --pot "$tmp/mirufo.pot"
status=0
for po in po/*.po; do
  # Every text of the sources, with the translation en.po gives it.
  msgmerge --quiet --no-wrap --no-fuzzy-matching -o "$tmp/merged.po" "$po" "$tmp/mirufo.pot"
  missing="$(msgattrib --untranslated --no-obsolete --no-wrap "$tmp/merged.po" | grep '^msgid ' | grep -v '^msgid ""$' || true)"
  fuzzy="$(msgattrib --only-fuzzy --no-obsolete --no-wrap "$po" | grep '^msgid ' | grep -v '^msgid ""$' || true)"
  if [ -n "$missing" ]; then
    echo "$po lacks the translation of (run scripts/update-po.sh, then translate):"
    echo "$missing"
    status=1
  fi
  if [ -n "$fuzzy" ]; then
    echo "$po has fuzzy entries to check:"
    echo "$fuzzy"
    status=1
  fi
  msgfmt --check --output-file=/dev/null "$tmp/merged.po" || status=1
done
exit $status
