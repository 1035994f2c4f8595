#!/usr/bin/env bash
# Checks that every C++ file git tracks is formatted as .clang-format says; lists the files
# that are not and exits 1. FIX=1 formats them in place instead.
# The header tool's fixtures are inputs written to test its parser, kept as written.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.h' '*.cpp' '*.inl' ':!:Tests/HeaderTool/Fixtures/**')
if [[ "${FIX:-0}" == 1 ]]; then
	clang-format -i "${files[@]}"
	exit 0
fi
unformatted=()
for file in "${files[@]}"; do
	if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
		unformatted+=("$file")
	fi
done
if ((${#unformatted[@]} > 0)); then
	printf '%s\n' "${unformatted[@]}"
	echo "${#unformatted[@]} files differ from .clang-format; FIX=1 scripts/check-format.sh formats them" >&2
	exit 1
fi
echo "every C++ file is formatted"
