# Shared by the mingw-w64 toolchain files: Debian's cross compilers for the
# triple the including file sets, preferring the POSIX thread model.
set(CMAKE_SYSTEM_NAME Windows)

foreach(flavour posix win32)
  if(NOT VYLA_MINGW_CXX)
    find_program(VYLA_MINGW_CXX NAMES ${VYLA_MINGW_TRIPLE}-g++-${flavour})
    find_program(VYLA_MINGW_CC NAMES ${VYLA_MINGW_TRIPLE}-gcc-${flavour})
  endif()
endforeach()
if(NOT VYLA_MINGW_CXX)
  find_program(VYLA_MINGW_CXX NAMES ${VYLA_MINGW_TRIPLE}-g++ REQUIRED)
  find_program(VYLA_MINGW_CC NAMES ${VYLA_MINGW_TRIPLE}-gcc REQUIRED)
endif()
set(CMAKE_C_COMPILER ${VYLA_MINGW_CC})
set(CMAKE_CXX_COMPILER ${VYLA_MINGW_CXX})
find_program(CMAKE_RC_COMPILER NAMES ${VYLA_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${VYLA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the module may import nothing but the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
