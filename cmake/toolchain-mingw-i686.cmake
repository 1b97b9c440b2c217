# Cross build of the 32-bit Windows program, the product.
set(QUILLREAP_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
