# Cross build for 32-bit Windows hosts. SSE2 arithmetic keeps single-precision results identical
# to the 64-bit build; stack realignment protects SSE code called from hosts with 4-byte stacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORLENT_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
