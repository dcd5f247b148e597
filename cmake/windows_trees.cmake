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

# A test program under Wine, beside the page server on 127.0.0.1 and the 64-bit tool it may drive.
# LANG sets Wine's ANSI code page: 936 for zh_CN.UTF-8, 1252 for C.UTF-8, where the Chinese must read right too.
# The prefix's one desktop has one foreground window, so tests that show windows there take turns.
function(add_wine_test name program lang)
    add_test(NAME ${name} COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.py
        --wine-run ${WINE_RUN} --driver ${program} --tool ${WIN64_TREE}/望站.exe --lang ${lang} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_desktop
        ENVIRONMENT "WINEPREFIX=${WINE_PREFIX_DIR}" TIMEOUT 300)
endfunction()

set(E2E ${WIN64_TREE}/tests/e2e/e2e_tests.exe)
# The long cases run once, not under both LANGs; the full disk needs a run of its own under a file-size limit.
set(ONCE "HostileServer.*:Soak.*:SettingsFault.AFullDisk*")
add_wine_test(win_layer ${WIN64_TREE}/tests/win/win_tests.exe zh_CN.UTF-8)
add_wine_test(e2e_zh_CN ${E2E} zh_CN.UTF-8 --filter "*-${ONCE}" --help-file ${HELP_FILE})
add_wine_test(e2e_C ${E2E} C.UTF-8 --filter "*-${ONCE}" --help-file ${HELP_FILE})
add_wine_test(e2e_hostile_server ${E2E} zh_CN.UTF-8 --filter "HostileServer.*")
add_wine_test(e2e_soak ${E2E} zh_CN.UTF-8 --filter "Soak.*")
# 128 bytes: room for the old settings file the case starts with, none for the longer one Start writes.
add_wine_test(e2e_full_disk ${E2E} zh_CN.UTF-8 --filter "SettingsFault.AFullDisk*" --file-size-limit 128)
