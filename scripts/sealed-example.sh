#!/usr/bin/env bash
# Writes the worked example of docs/sealed-card-file.md: runs build/bin/sealed_example (built by
# scripts/build.sh) and puts its output between the page's example markers. The test
# SealedExampleDoc checks that the page holds exactly what the program makes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tool="${1:-$top/build/bin/sealed_example}"
page="$top/docs/sealed-card-file.md"
example=$(mktemp)
trap 'rm -f "$example"' EXIT
"$tool" > "$example"
python3 - "$page" "$example" <<'PY'
import sys
page, example = sys.argv[1], sys.argv[2]
text = open(page, encoding="utf-8").read()
begin, end = "<!-- example:begin -->\n", "<!-- example:end -->"
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(page, "w", encoding="utf-8").write(head + begin + open(example, encoding="utf-8").read() + end + tail)
PY
echo "wrote the example into $page"
