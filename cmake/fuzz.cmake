# The fuzz targets, built by clang in a tree of their own: `make test` runs each for a short while, `make fuzz` longer.
include(ExternalProject)

set(FUZZ_TREE ${CMAKE_BINARY_DIR}/fuzz)
set(FUZZ_TEST_SECONDS 20)

ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
    BINARY_DIR ${FUZZ_TREE}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD OFF)

foreach(target scan_fuzz frame_tag_fuzz settings_fuzz splitter_model_fuzz)
    add_test(NAME ${target}
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh ${CMAKE_BINARY_DIR} ${FUZZ_TEST_SECONDS} ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 120)
endforeach()
