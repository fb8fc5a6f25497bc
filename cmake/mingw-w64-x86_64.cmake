# Windows x86-64 with MinGW-w64. On Linux the cross compilers with the POSIX thread model (the
# win32 model lacks std::mutex, which GoogleTest needs) and Wine to run what is built; on Windows
# the MinGW-w64 compilers on the PATH.
# SPDX-License-Identifier: MIT
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

if(CMAKE_HOST_WIN32)
  set(CMAKE_C_COMPILER gcc)
  set(CMAKE_CXX_COMPILER g++)
  set(CMAKE_RC_COMPILER windres)
else()
  set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
  set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
  set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
  set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
  find_program(ZARO_WINE wine REQUIRED)
  # The checkout's build/wine, the prefix scripts/lib.sh makes: no test writes into the user's own.
  get_filename_component(zaro_build_prefix ${CMAKE_CURRENT_LIST_DIR}/../build/wine ABSOLUTE)
  set(ZARO_WINE_PREFIX ${zaro_build_prefix} CACHE PATH "Wine prefix the tests run in")
  set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${ZARO_WINE_PREFIX})
endif()
