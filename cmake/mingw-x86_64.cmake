# The Windows test tree of machines that cannot run 32-bit programs: the same sources for 64-bit
# Windows, run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
