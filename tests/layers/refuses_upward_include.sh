#!/bin/sh
# The layer check must fail on a tree where a lower layer includes a higher one, and on
# one where a front end includes another; likewise for the tests, and for a test folder
# that includes another's files or links a layer above its own; and pass on a tree that
# runs downward.
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/text" "$tree/http" "$tree/sources" "$tree/app/gtk" "$tree/app/cli" \
  "$tree/tests/sources" "$tree/tests/app" "$tree/tests/support"
echo '#include "text/primitives.hpp"' >"$tree/http/fetch.hpp"
echo '#include "http/fetch.hpp"' >"$tree/sources/page.hpp"
echo '#include "sources/page.hpp"' >"$tree/app/controller.hpp"
echo '#include "app/controller.hpp"' >"$tree/app/gtk/main.cpp"
echo '#include "app/controller.hpp"' >"$tree/app/cli/main.cpp"
echo '// nothing' >"$tree/text/primitives.hpp"
echo '#include "text/primitives.hpp"' >"$tree/tests/support/temp_folder.hpp"
printf '#include "sources/page.hpp"\n#include "tests/support/temp_folder.hpp"\n' \
  >"$tree/tests/sources/page_test.cpp"
echo '#include "app/controller.hpp"' >"$tree/tests/app/fixture.hpp"
echo '#include "sources/page.hpp"' >"$tree/tests/sources/page_server.hpp"
echo 'quillreap_test(t SOURCES page_test.cpp LIBS quillreap_sources quillreap_test_support)' \
  >"$tree/tests/sources/CMakeLists.txt"
"$check" "$tree" >/dev/null 2>&1 || { echo "a downward tree was refused"; exit 1; }

echo '  #  include "app/controls.hpp"' >>"$tree/sources/page.hpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "sources including app passed"; exit 1; fi
sed -i '$d' "$tree/sources/page.hpp"

echo '#include "app/gtk/main_window.hpp"' >>"$tree/app/cli/main.cpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "cli including gtk passed"; exit 1; fi
sed -i '$d' "$tree/app/cli/main.cpp"

echo '#include "app/controller.hpp"' >>"$tree/tests/sources/page_test.cpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "a sources test including app passed"; exit 1; fi
sed -i '$d' "$tree/tests/sources/page_test.cpp"

# Below its own layer, but not support: what two folders share belongs in tests/support.
echo '#include "tests/sources/page_server.hpp"' >>"$tree/tests/app/fixture.hpp"
if "$check" "$tree" >/dev/null 2>&1; then echo "a test including another folder's passed"; exit 1; fi
sed -i '$d' "$tree/tests/app/fixture.hpp"

echo 'target_link_libraries(t PRIVATE quillreap_app)  # quillreap_text' \
  >>"$tree/tests/sources/CMakeLists.txt"
if "$check" "$tree" >/dev/null 2>&1; then echo "a sources test linking app passed"; exit 1; fi
echo "the layer check refuses upward and sideways includes, in the code and in the tests"
