# cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake: the 32-bit module.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VYLA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
