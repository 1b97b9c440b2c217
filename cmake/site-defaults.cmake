# The site hosts are build settings. The defaults point at the bundled sample sites on
# loopback, so a fresh build searches and downloads with no internet. Texts are given in
# UTF-8 here and held as GBK by the program.
set(QUILLREAP_SEARCH_HOST "127.0.0.1:18061" CACHE STRING "Site-search service host (source 1 search)")
set(QUILLREAP_SEARCH_ID "1000000000000000001" CACHE STRING "19-digit site-search identifier")
set(QUILLREAP_SOURCE1_HOST "127.0.0.1:18062" CACHE STRING "Source 1 host")
set(QUILLREAP_SOURCE2_HOST "127.0.0.1:18063" CACHE STRING "Source 2 host")
set(QUILLREAP_SOURCE2_LABEL "127.0.0.1:18063" CACHE STRING "Label that marks a source 2 book address")
set(QUILLREAP_UPDATE_HOST "127.0.0.1:18061" CACHE STRING "Host of the update page")

configure_file(${PROJECT_SOURCE_DIR}/cmake/site_defaults.hpp.in
               ${PROJECT_BINARY_DIR}/generated/quillreap/site_defaults.hpp @ONLY)
