# The help file: the Chinese HTML of res/help compiled with chmcmd, and its check with libchm's reader.
set(HELP_FILE ${CMAKE_BINARY_DIR}/help.chm)
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/help/*)
add_custom_command(OUTPUT ${HELP_FILE}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/res/help/make_help.py ${CMAKE_SOURCE_DIR}/docs ${HELP_FILE}
    DEPENDS ${HELP_SOURCES} ${CMAKE_SOURCE_DIR}/docs/main-window.png ${CMAKE_SOURCE_DIR}/docs/about-box.png
    COMMENT "Compiling help.chm")
add_custom_target(help_file ALL DEPENDS ${HELP_FILE})

add_test(NAME help_chm COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/check_chm.py ${HELP_FILE})
