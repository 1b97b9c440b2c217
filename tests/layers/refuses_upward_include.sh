#!/bin/sh
# The layer check must fail on a tree where a lower layer includes a higher one, and on
# one where a front end includes another; and pass on a tree that runs downward.
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/text" "$tree/http" "$tree/sources" "$tree/app/gtk" "$tree/app/cli"
echo '#include "text/primitives.hpp"' >"$tree/http/fetch.hpp"
echo '#include "http/fetch.hpp"' >"$tree/sources/page.hpp"
echo '#include "sources/page.hpp"' >"$tree/app/controller.hpp"
echo '#include "app/controller.hpp"' >"$tree/app/gtk/main.cpp"
echo '#include "app/controller.hpp"' >"$tree/app/cli/main.cpp"
echo '// nothing' >"$tree/text/primitives.hpp"
"$check" "$tree" >/dev/null 2>&1 || { echo "a downward tree was refused"; exit 1; }

echo '  #  include "app/controls.hpp"' >>"$tree/sources/page.hpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "sources including app passed"; exit 1; fi
sed -i '$d' "$tree/sources/page.hpp"

echo '#include "app/gtk/main_window.hpp"' >>"$tree/app/cli/main.cpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "cli including gtk passed"; exit 1; fi
echo "the layer check refuses upward and sideways includes"
