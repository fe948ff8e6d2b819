#!/usr/bin/env bash
# Formats the C++ sources with the tree's .clang-format, in place.
#
#   scripts/format.sh           format every source file
#   scripts/format.sh --check   change nothing; list the files that are not
#                               formatted and fail if there are any (CI)
#
# CLANG_FORMAT names the program (default: clang-format, Debian 12's 14).
set -euo pipefail

cd "$(dirname "$0")/.."

readonly FOLDERS=(app bench carddata cli config console fuzz platform reader rules tests text virtualreader)
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}

check=false
case "${1:-}" in
    "") ;;
    --check) check=true ;;
    *)
        echo "usage: $0 [--check]" >&2
        exit 2
        ;;
esac

if ! command -v "$CLANG_FORMAT" >/dev/null; then
    echo "format: $CLANG_FORMAT not found; scripts/setup.sh packages clang-format installs it" >&2
    exit 2
fi

if [ ! -f .clang-format ]; then
    echo "format: no .clang-format at the root of the tree" >&2
    exit 2
fi

mapfile -d '' files < <(find "${FOLDERS[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if ! $check; then
    "$CLANG_FORMAT" -i --style=file "${files[@]}"
    exit 0
fi

unformatted=0
for file in "${files[@]}"; do
    if ! "$CLANG_FORMAT" --style=file "$file" | cmp -s - "$file"; then
        echo "not formatted: $file" >&2
        unformatted=$((unformatted + 1))
    fi
done
if [ "$unformatted" -gt 0 ]; then
    echo "format: $unformatted file(s) differ from .clang-format; run scripts/format.sh" >&2
    exit 1
fi
