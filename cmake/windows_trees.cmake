# Drives the two Windows build trees and registers the tests that run under Wine.
#
# The shipped 望站.exe is the 32-bit tree's, and every Wine test runs it with 32-bit test programs (under
# qemu-user where the kernel refuses 32-bit code: scripts/i386.sh). The 64-bit twin, built from the same
# sources, serves the benchmarks, whose ratios should not measure an emulator.
include(ExternalProject)

set(WIN32_TREE ${CMAKE_BINARY_DIR}/win-i686)

function(add_windows_tree arch)
    ExternalProject_Add(win-${arch}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/win-${arch}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
            -DCMAKE_BUILD_TYPE=Release
            ${ARGN}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ""
        USES_TERMINAL_BUILD OFF)
endfunction()
add_windows_tree(i686 -DWITH_TESTS=ON -DWITH_BENCH=OFF)
add_windows_tree(x86_64 -DWITH_TESTS=OFF -DWITH_BENCH=ON)

set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME wine_prefix COMMAND ${WINE_RUN} --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine
    ENVIRONMENT "WINEPREFIX=${WINE_PREFIX_DIR}")

add_test(NAME shipped_exe COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/check_exe.py ${WIN32_TREE}/望站.exe)

# The certificates of the page server's HTTPS ports and of the authority the test prefix trusts.
set(TEST_CERTIFICATES ${CMAKE_BINARY_DIR}/test-certificates)
add_custom_command(OUTPUT ${TEST_CERTIFICATES}/test-ca.der
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/make_test_certs.sh ${TEST_CERTIFICATES}
    DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/make_test_certs.sh)
add_custom_target(test_certificates ALL DEPENDS ${TEST_CERTIFICATES}/test-ca.der)

# A test program under Wine, beside the page server on 127.0.0.1 and the tool it may drive.
# LANG sets Wine's ANSI code page: 936 for zh_CN.UTF-8, 1252 for C.UTF-8, where the Chinese must read right too.
# The prefix's one desktop has one foreground window, so tests that show windows there take turns.
set(RUN_E2E python3 ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.py --wine-run ${WINE_RUN} --certificates ${TEST_CERTIFICATES})
# The time-out leaves room for the emulated road, where a Wine test takes two to six times as long
# (the longest, e2e_soak, 140 s there against 80 s natively).
function(set_wine_test_properties name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine_desktop
        ENVIRONMENT "WINEPREFIX=${WINE_PREFIX_DIR}" TIMEOUT 600)
endfunction()
function(add_wine_test name program lang)
    add_test(NAME ${name} COMMAND ${RUN_E2E} --driver ${program} --tool ${WIN32_TREE}/望站.exe --lang ${lang} ${ARGN})
    set_wine_test_properties(${name})
endfunction()

set(E2E ${WIN32_TREE}/tests/e2e/e2e_tests.exe)
# The long cases run once, not under both LANGs; the full disk needs a run of its own under a file-size limit,
# the package case one with the unpacked release as its tool, the alarm sound one that records what Wine plays.
set(ONCE "HostileServer.*:EndlessPage.*:HungServer.*:CachingProxy.*:DeadProxy.*:Ftp.*:Soak.*:SettingsFault.AFullDisk*:Package.*:AlarmSound.*")
add_wine_test(win_layer ${WIN32_TREE}/tests/win/win_tests.exe zh_CN.UTF-8)
add_wine_test(e2e_zh_CN ${E2E} zh_CN.UTF-8 --filter "*-${ONCE}" --help-file ${HELP_FILE})
add_wine_test(e2e_C ${E2E} C.UTF-8 --filter "*-${ONCE}" --help-file ${HELP_FILE})
add_wine_test(e2e_hostile_server ${E2E} zh_CN.UTF-8 --filter "HostileServer.*:EndlessPage.*")
# Five checks of a server that never answers, each waiting out a receive time-out: a run of its own.
add_wine_test(e2e_hung_server ${E2E} zh_CN.UTF-8 --filter "HungServer.*")
# Debian's squid and vsftpd, which the runner starts on loopback ports of their own.
add_wine_test(e2e_real_servers ${E2E} zh_CN.UTF-8 --filter "CachingProxy.*:DeadProxy.*:Ftp.*" --real-servers)
add_wine_test(e2e_soak ${E2E} zh_CN.UTF-8 --filter "Soak.*")
# 128 bytes: room for the old settings file the case starts with, none for the longer one Start writes.
add_wine_test(e2e_full_disk ${E2E} zh_CN.UTF-8 --filter "SettingsFault.AFullDisk*" --file-size-limit 128)
add_wine_test(e2e_alarm_sound ${E2E} zh_CN.UTF-8 --filter "AlarmSound.*" --record-sound)
