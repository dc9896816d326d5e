# 32-bit build: the executable players get (runs on 32- and 64-bit Windows). The build
# machines cannot run it: scripts/test checks it without starting it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELKOR_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
