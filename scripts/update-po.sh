#!/usr/bin/env bash
# Regenerates the catalogue template po/mirufo.pot from the sources and merges
# it into every translation (po/en.po), so that a text added anywhere shows
# up in en.po, untranslated, ready to be translated. Run it after adding or
# changing a text that a user sees; then translate the new entries in
# po/en.po (no "fuzzy" marks may stay) and build: ctest's TranslationCheck
# fails while a text lacks its translation.
#
#   scripts/update-po.sh            regenerate and merge in place
#   scripts/update-po.sh --pot OUT  only write the template to OUT
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
cd "$top"

# The keywords: Tr itself, the N_ marker of texts kept in tables and
# constants, and the helpers that pass their text argument through Tr (the
# number says which argument is the text).
keywords=(
  --keyword=Tr --keyword=N_ --keyword=TrFill:1
  --keyword=Q --keyword=menu --keyword=MakeAction:2 --keyword=NewAction:2 --keyword=make:2
  --keyword=addRow:1 --keyword=CuteMessageDlg:1 --keyword=EditOne:2 --keyword=InputBox:2
  --keyword=InputBox:3
)

# The program's sources: the desktop program, the command line and the
# core; tests, benchmarks and fuzzing show nothing to a user.
sources() {
  git ls-files '*.cpp' '*.h' | grep -v -e '/tests/' -e '^tests/' -e '^bench/' -e '^fuzz/'
}

write_pot() {
  sources | xgettext --files-from=- --from-code=UTF-8 --language=C++ "${keywords[@]}" \
    --add-comments=TRANSLATORS: --package-name=mirufo --msgid-bugs-address=mirufo@example.org \
    --no-wrap --output="$1" 2>/dev/null
}

if [ "${1:-}" = "--pot" ]; then
  write_pot "$2"
  exit 0
fi

write_pot po/mirufo.pot
for po in po/*.po; do
  msgmerge --quiet --update --backup=none --no-wrap --no-fuzzy-matching "$po" po/mirufo.pot
  # Texts no longer in the sources are dropped, not kept as obsolete entries.
  msgattrib --no-obsolete --no-wrap --output-file="$po" "$po"
done
echo "po/mirufo.pot: $(grep -c '^msgid ' po/mirufo.pot) texts (the first is the header)"
for po in po/*.po; do
  echo "$po: $(msgattrib --untranslated "$po" | grep -c '^msgid ' || true) untranslated," \
    "$(msgattrib --only-fuzzy "$po" | grep -c '^msgid ' || true) fuzzy (each count includes the header when nonzero)"
done
