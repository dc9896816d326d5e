# Cross-compiling Velkor for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# which GoogleTest needs for std::mutex). Test programs run under 64-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELKOR_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
find_program(VELKOR_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT VELKOR_WINE64)
  find_program(VELKOR_WINE64 NAMES wine64 wine)
endif()
if(VELKOR_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELKOR_WINE64})
endif()
