#!/usr/bin/env bash
# Source checks that need no build: every tracked C++ file is in the house format, and a
# private header (*_p.h) is included only from inside its own folder. Covers whatever is
# tracked when it runs. Prints each offence; fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

mapfile -d '' sources < <(git ls-files -z -- '*.cpp' '*.h' '*.cc' '*.hpp')
if [ ${#sources[@]} -gt 0 ] && ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "check-sources: files above differ from .clang-format; run clang-format -i on them" >&2
  status=1
fi

for f in "${sources[@]}"; do
  top=${f%%/*}
  while IFS= read -r hit; do
    line=${hit%%:*}
    name=${hit#*\"}
    name=${name%\"*}
    case $name in
      */*) owner=${name%%/*} ;;
      *) if [ -e "$(dirname "$f")/$name" ] || [ -e "$top/$name" ]; then owner=$top; else owner=elsewhere; fi ;;
    esac
    if [ "$owner" != "$top" ]; then
      echo "$f:$line: private header \"$name\" of another folder" >&2
      status=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*_p\.h"' "$f" | sed -E 's/^([0-9]+):.*(".*").*/\1:\2/')
done
exit $status
