#!/bin/sh
# Rewrites the golden pictures in tests/golden from the current drawing and
# art: run it after an intended change, then look at every picture that
# changed (git diff --stat tests/golden) before committing them.
#   scripts/update-golden.sh [BUILD_DIR]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" -j2 --target test_game brimvale brimvale_e2e_levelkit brimvale_e2e_golden
cd "$build"
BRIMVALE_GOLDEN_UPDATE=1 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
    ./tests/test_game --gtest_filter='GoldenDayTest.*'
# The end-to-end runs whose shots are golden pictures.
BRIMVALE_GOLDEN_UPDATE=1 ctest -L golden
echo "golden pictures written to $here/tests/golden:"
git -C "$here" status --short tests/golden
