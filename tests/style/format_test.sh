#!/bin/sh
# Every file under src/ is as the project's .clang-format makes it.
# Usage: format_test.sh SOURCE_DIR CLANG_FORMAT
cd "$1" || exit 1
find src \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 "$2" --dry-run --Werror --style=file
