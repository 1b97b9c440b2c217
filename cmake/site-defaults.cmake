# The site hosts are build settings. The defaults point at the bundled sample sites on
# loopback, so a fresh build searches and downloads with no internet. Texts are given in
# UTF-8 here and held as GBK by the program.
set(QUILLREAP_SEARCH_HOST "127.0.0.1:18061" CACHE STRING "Site-search service host (source 1 search)")
set(QUILLREAP_SEARCH_ID "1000000000000000001" CACHE STRING "19-digit site-search identifier")
set(QUILLREAP_SOURCE1_HOST "127.0.0.1:18062" CACHE STRING "Source 1 host")
set(QUILLREAP_SOURCE2_HOST "127.0.0.1:18063" CACHE STRING "Source 2 host")
set(QUILLREAP_SOURCE2_LABEL "" CACHE STRING "Label that marks a source 2 book address (empty: the source 2 host)")
set(QUILLREAP_UPDATE_HOST "127.0.0.1:18061" CACHE STRING "Host of the update page")

# How a download fetches: chapter pages in flight at once, and tries per page. Four pages
# in flight hide most of a real site's round trip without looking like a flood to it; three
# tries ride out a reset or a busy 503 without waiting long on a site that is down. Their
# upper limits are stated once, in C++ (download::PagesAhead::kMostConnections,
# http::RetryPolicy::kMostTries): the code holds the settings to them, so a setting above
# its limit stops the build with the limit's name.
set(QUILLREAP_CONNECTIONS 4 CACHE STRING "Chapter pages fetched at once (1 to PagesAhead::kMostConnections)")
set(QUILLREAP_TRIES 3 CACHE STRING "Tries per page before it counts as failed (1 to RetryPolicy::kMostTries)")
foreach(name QUILLREAP_CONNECTIONS QUILLREAP_TRIES)
  if(NOT ${name} MATCHES "^[0-9]+$" OR ${name} LESS 1)
    message(FATAL_ERROR "${name} must be a whole number of 1 or more, not '${${name}}'")
  endif()
endforeach()

# The pause each connection leaves between two requests, for sites that block clients
# asking too fast. None by default: the sample sites and most real ones take the pace above.
# Its upper limit is stated once, in C++ (download::RequestPace::kLongestPauseMs), which the
# code holds the setting to.
set(QUILLREAP_REQUEST_PAUSE_MS 0 CACHE STRING "Milliseconds between two requests of a connection (0 to RequestPace::kLongestPauseMs)")
if(NOT QUILLREAP_REQUEST_PAUSE_MS MATCHES "^(0|[1-9][0-9]*)$")
  message(FATAL_ERROR "QUILLREAP_REQUEST_PAUSE_MS must be a whole number of 0 or more (no leading zero), not '${QUILLREAP_REQUEST_PAUSE_MS}'")
endif()

configure_file(${PROJECT_SOURCE_DIR}/cmake/site_defaults.hpp.in
               ${PROJECT_BINARY_DIR}/generated/quillreap/site_defaults.hpp @ONLY)
