#!/usr/bin/env bash
# Lays out every C++ file of the checkout with the repository's .clang-format; with --check, changes nothing and
# fails naming each file whose layout differs (the check that `make test` runs).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" != "--check" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ "${#unformatted[@]}" -ne 0 ]; then
  echo "not laid out as .clang-format says (run make format):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "all ${#files[@]} C++ files laid out as .clang-format says"
