#!/bin/sh
# The layer check must fail on a tree where a lower layer includes a higher one, and on
# one where a front end includes another; likewise for the tests, and for a test folder
# that includes another's files or links a layer above its own; and pass on a tree that
# runs downward.
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/text" "$tree/http" "$tree/sites" "$tree/books" "$tree/download" \
  "$tree/app/gtk" "$tree/app/cli" "$tree/tests/sites" "$tree/tests/app" "$tree/tests/support"
echo '#include "text/primitives.hpp"' >"$tree/http/fetch.hpp"
echo '#include "http/fetch.hpp"' >"$tree/sites/page.hpp"
echo '#include "text/primitives.hpp"' >"$tree/books/book_file.hpp"
printf '#include "sites/page.hpp"\n#include "books/book_file.hpp"\n' >"$tree/download/report.hpp"
echo '#include "download/report.hpp"' >"$tree/app/controller.hpp"
echo '#include "app/controller.hpp"' >"$tree/app/gtk/main.cpp"
echo '#include "app/controller.hpp"' >"$tree/app/cli/main.cpp"
echo '// nothing' >"$tree/text/primitives.hpp"
echo '#include "text/primitives.hpp"' >"$tree/tests/support/temp_folder.hpp"
printf '#include "sites/page.hpp"\n#include "tests/support/temp_folder.hpp"\n' \
  >"$tree/tests/sites/page_test.cpp"
echo '#include "sites/page.hpp"' >"$tree/tests/sites/page_server.hpp"
echo '#include "app/controller.hpp"' >"$tree/tests/app/fixture.hpp"
echo 'quillreap_test(t SOURCES page_test.cpp LIBS quillreap_sites quillreap_test_support)' \
  >"$tree/tests/sites/CMakeLists.txt"
"$check" "$tree" >/dev/null 2>&1 || { echo "a downward tree was refused"; exit 1; }

# refused FILE LINE WHAT: the check must fail once LINE is added to FILE; LINE is then
# taken out again.
refused() {
  echo "$2" >>"$tree/$1"
  if "$check" "$tree" >/dev/null 2>&1; then echo "$3 passed"; exit 1; fi
  sed -i '$d' "$tree/$1"
}
refused sites/page.hpp '  #  include "app/controls.hpp"' "sites including app"
refused books/book_file.hpp '#include "download/report.hpp"' "books including download"
refused books/book_file.hpp '#include "sites/page.hpp"' "books including sites"
refused sites/page.hpp '#include "books/book_file.hpp"' "sites including books"
refused app/cli/main.cpp '#include "app/gtk/main_window.hpp"' "cli including gtk"
refused tests/sites/page_test.cpp '#include "app/controller.hpp"' "a sites test including app"
# Below its own layer, but no support: what two folders share belongs in tests/support.
refused tests/app/fixture.hpp '#include "tests/sites/page_server.hpp"' \
  "a test including another folder's"
refused tests/sites/CMakeLists.txt 'target_link_libraries(t PRIVATE quillreap_app)' \
  "a sites test linking app"
refused tests/sites/CMakeLists.txt 'target_link_libraries(t PRIVATE quillreap_books)' \
  "a sites test linking books"
echo "the layer check refuses upward and sideways includes, in the code and in the tests"
