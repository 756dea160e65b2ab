#!/usr/bin/env bash
# Every C++ file laid out as .clang-format says: a difference fails the check,
# and clang-format shows where.
set -euo pipefail
cd "$(dirname "$0")/../.."
deps/install.sh .ci/deps/format.txt
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format check passed"
