# The container coder on its own, without Qt, with the safe file reading and replacing that
# the tally and settings files share (and where they live: installedcopy.h): also built by the fuzz targets in tests/fuzz.
add_library(tessarin_lzrw STATIC
    ${CMAKE_CURRENT_LIST_DIR}/tlzr.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lzrw1container.cpp
    ${CMAKE_CURRENT_LIST_DIR}/atomicfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regularfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/installedcopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tlzrw1.cpp)
target_include_directories(tessarin_lzrw PUBLIC ${CMAKE_CURRENT_LIST_DIR})
