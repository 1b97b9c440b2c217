# Cross build of the same sources for x86_64: the Windows tests' vehicle on machines that
# run no 32-bit programs, and a guard that the code stays 64-bit clean. Never shipped.
set(QUILLREAP_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
