#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts Panelcraft.
# Until the windows exist it shows the command-line tool at work in a scratch
# home: a new project, a page, its ROM image, the page drawn by the virtual
# display and the project's summary.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
build=${PANELCRAFT_BUILD_DIR:-$top/build}
cli="$build/src/cli/panelcraft-cli"
home=$(mktemp -d /tmp/panelcraft-demo.XXXXXX)
run() { echo "\$ panelcraft-cli $*"; "$cli" --home "$home" "$@"; echo; }
run project new Demo --file "$home/demo.lmx"
run store put page0 Start
run store put pgcn0 "CLS(0);DS16(10,10,'Panelcraft 你好',15);BOX(0,0,100,100,1);CIRF(50,60,20,4);"
run rom build -o "$home/rom.bin"
run rom info "$home/rom.bin"
run render 1 -o "$home/page1.png"
run project save
run project info
echo "scratch home: $home (page 1 drawn in page1.png)"
