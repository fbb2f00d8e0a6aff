#!/usr/bin/env bash
# Lines of code and of tests, per layer and in all, with their ratio.
#
# A line counts when it is not blank and not a "//" comment, in the .cpp and
# .h files. Code: checks/, store/, startup/, registry/, window/, tools/ and
# main.cpp (bench/ left out). Tests: everything under tests/, each file
# attributed to the layer it tests (shared fixtures to the layer they serve),
# by the table below; a test file the table does not name is reported.
#
# The rule: the tests come to at most 36% of the code in all, and no layer's
# tests to more than 60% of that layer's code.
set -euo pipefail
cd "$(dirname "$0")/.."

STRATI=(checks store startup registry window tools main)

# The layer a test file tests.
strato_di() {
  case "$1" in
    tests/controlli/*) echo checks ;;
    tests/support/archivioprova.* | tests/figlio/* | tests/store/* | tests/tst_interruzioni.cpp) echo store ;;
    tests/tst_avvio.cpp | tests/programmaprincipale.cpp) echo startup ;;
    tests/registro/* | tests/support/csvprova.h) echo registry ;;
    tests/strumenti/*) echo tools ;;
    tests/*) echo window ;;
  esac
}

righe() {
  grep -cvE '^[[:space:]]*$|^[[:space:]]*//' "$@" /dev/null | awk -F: '{ n += $NF } END { print n + 0 }'
}

declare -A codice test
for s in "${STRATI[@]}"; do
  test[$s]=0
  if [ "$s" = main ]; then
    codice[$s]=$(righe main.cpp)
  else
    mapfile -t file < <(find "$s" -type f \( -name '*.cpp' -o -name '*.h' \))
    codice[$s]=$(righe "${file[@]}")
  fi
done

non_attribuiti=()
while IFS= read -r f; do
  s=$(strato_di "$f")
  if [ -z "$s" ]; then
    non_attribuiti+=("$f")
    continue
  fi
  test[$s]=$((test[$s] + $(righe "$f")))
done < <(find tests -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

percento() { awk -v t="$1" -v c="$2" 'BEGIN { printf "%5.1f%%", c ? 100 * t / c : 0 }'; }

printf '%-10s %7s %7s %7s\n' layer code tests ratio
tot_codice=0
tot_test=0
for s in "${STRATI[@]}"; do
  printf '%-10s %7d %7d %7s\n' "$s" "${codice[$s]}" "${test[$s]}" "$(percento "${test[$s]}" "${codice[$s]}")"
  tot_codice=$((tot_codice + codice[$s]))
  tot_test=$((tot_test + test[$s]))
done
printf '%-10s %7d %7d %7s\n' total "$tot_codice" "$tot_test" "$(percento "$tot_test" "$tot_codice")"
for f in "${non_attribuiti[@]}"; do
  echo "not attributed to a layer: $f" >&2
done
