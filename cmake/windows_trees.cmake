# Drives the two Windows build trees and registers the tests that run under Wine.
#
# The shipped 望站.exe is the 32-bit tree's. Wine here runs 64-bit code only (the kernel
# refuses 32-bit processes), so the tests run the 64-bit twin built from the same sources.
include(ExternalProject)

set(WIN32_TREE ${CMAKE_BINARY_DIR}/win-i686)
set(WIN64_TREE ${CMAKE_BINARY_DIR}/win-x86_64)

foreach(arch i686 x86_64)
    set(with_tests OFF)
    if(arch STREQUAL "x86_64")
        set(with_tests ON)
    endif()
    ExternalProject_Add(win-${arch}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/win-${arch}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
            -DCMAKE_BUILD_TYPE=Release
            -DWITH_TESTS=${with_tests}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        USES_TERMINAL_BUILD OFF)
endforeach()

set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME wine_prefix COMMAND ${WINE_RUN} --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine
    ENVIRONMENT "WINEPREFIX=${WINE_PREFIX_DIR}")

add_test(NAME shipped_exe COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/check_exe.py ${WIN32_TREE}/望站.exe)

function(add_wine_test name)
    add_test(NAME ${name} COMMAND ${WINE_RUN} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
        ENVIRONMENT "WINEPREFIX=${WINE_PREFIX_DIR}" TIMEOUT 300)
endfunction()

add_wine_test(win_framework ${WIN64_TREE}/tests/win/win_tests.exe)
set_property(TEST win_framework APPEND PROPERTY ENVIRONMENT "WZ_TOOL_EXE=${WIN64_TREE}/望站.exe")
