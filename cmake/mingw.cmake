# Cross build for Windows with MinGW-w64. KO_WIN_ARCH picks the target:
# i686 (the shipped 32-bit program) or x86_64 (only for running the tests
# under a 64-bit Wine where the machine cannot execute 32-bit code).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED KO_WIN_ARCH)
  set(KO_WIN_ARCH i686)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${KO_WIN_ARCH})
set(_triple ${KO_WIN_ARCH}-w64-mingw32)
# The posix thread model gives GoogleTest its std::mutex; -static keeps the
# executable free of MinGW DLLs either way.
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KO_WIN_ARCH)
