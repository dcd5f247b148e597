# The release package: the shipped exe, the help file and a short readme, byte for byte the same at every build.
file(STRINGS ${CMAKE_SOURCE_DIR}/res/version.h version_line REGEX "^#define WZ_VERSION_TEXT ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" WZ_VERSION "${version_line}")
set(DIST_ZIP ${CMAKE_BINARY_DIR}/dist/望站-${WZ_VERSION}-win32.zip)
set(DIST_README ${CMAKE_SOURCE_DIR}/res/dist/说明.txt)
add_custom_command(OUTPUT ${DIST_ZIP}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/make_dist.py ${DIST_ZIP} ${WIN32_TREE}/望站.exe ${HELP_FILE} ${DIST_README}
    DEPENDS ${WIN32_TREE}/望站.exe ${HELP_FILE} ${DIST_README} ${CMAKE_SOURCE_DIR}/scripts/make_dist.py
    COMMENT "Packing ${DIST_ZIP}")
add_custom_target(dist_zip ALL DEPENDS ${DIST_ZIP})
add_dependencies(dist_zip win-i686 help_file)

# The zip unpacked into an empty folder beside DLLs named like system ones, and its exe started there: the
# package case (Help through the probe: a real one would open the help file beside the exe), and the cases that
# load DLLs for the tool (a check and its alarm with its sound, the About box), none of which may let a planted
# DLL run inside it.
set(BESIDE_PLANTED_DLLS "Package.*:AlarmSound.AChangeToErrorPlaysTheAlarmOnce:AboutBox.SystemCommands*")
add_test(NAME dist_package COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/check_dist.py ${DIST_ZIP} ${WIN32_TREE}/望站.exe
    ${HELP_FILE} ${WIN32_TREE}/tests/e2e/planted.dll -- ${RUN_E2E} --driver ${E2E} --lang zh_CN.UTF-8
    --filter "${BESIDE_PLANTED_DLLS}" --record-sound)
set_wine_test_properties(dist_package)
