# The Windows tree: the framework, 望站.exe, and (in the test tree) the tests that run under Wine.
# No link time in the PE header and no build folder in the code: two builds of a commit give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "${CMAKE_EXE_LINKER_FLAGS_RELEASE} -s")
add_compile_options(-fexec-charset=CP936 -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
# A buffer overrun that reaches a return address ends the process instead of running what a server sent; the
# check that catches it comes from GCC's libssp, linked in statically like the rest.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# WinINet and the sound's DLL are not among the DLLs Windows always takes from its own folder: imported as
# usual, the system's loader would take a file of that name from the exe's folder at start-up. They are
# delay-loaded instead, at their first call, from the system folder (framework/dll_search.cpp). The
# functions the tool calls are listed: a call of any other fails to link.
function(add_delay_loaded_library name dll)
    find_library(${name}_import_library ${name} REQUIRED)
    set(script ${CMAKE_SOURCE_DIR}/scripts/delay_import_lib.py)
    set(library ${CMAKE_BINARY_DIR}/lib${name}_delayed.a)
    execute_process(COMMAND python3 ${script} ${CMAKE_NM} ${CMAKE_DLLTOOL} ${${name}_import_library} ${dll}
        ${library} ${ARGN} OUTPUT_VARIABLE stubs OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
    add_library(${name}_delayed INTERFACE)
    target_link_libraries(${name}_delayed INTERFACE ${library})
    list(TRANSFORM stubs PREPEND "LINKER:-u,")
    target_link_options(${name}_delayed INTERFACE ${stubs})
endfunction()
add_delay_loaded_library(wininet WININET.DLL HttpOpenRequestW HttpQueryInfoW HttpSendRequestW
    InternetCanonicalizeUrlW InternetCloseHandle InternetCombineUrlW InternetConnectW InternetCrackUrlW
    InternetGetLastResponseInfoW InternetOpenUrlW InternetOpenW InternetQueryDataAvailable InternetQueryOptionW
    InternetReadFile InternetSetOptionW)
add_delay_loaded_library(winmm WINMM.DLL sndPlaySoundW)

add_subdirectory(core)
add_subdirectory(framework)

# The icon and the alarm tone are drawn and synthesised by scripts at build time.
function(generate_resource output script)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/res/${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
        COMMAND python3 ${CMAKE_SOURCE_DIR}/res/${script} ${CMAKE_BINARY_DIR}/res/${output}
        DEPENDS ${CMAKE_SOURCE_DIR}/res/${script})
endfunction()
generate_resource(app.ico make_icon.py)
generate_resource(alarm.wav make_alarm.py)
set_source_files_properties(res/app.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_BINARY_DIR}/res/app.ico;${CMAKE_BINARY_DIR}/res/alarm.wav;${CMAKE_SOURCE_DIR}/res/app.manifest;${CMAKE_SOURCE_DIR}/res/version.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/res -I${CMAKE_SOURCE_DIR}/res")

# Each folder is a library that links only the folders below it: app/ over monitor/ and shell/, which
# never use each other, over framework/ and core/. The tests link app/ too, so it leaves out the
# application object.
add_library(monitor STATIC
    monitor/page_check.cpp
    monitor/page_fetch.cpp
    monitor/settings_file.cpp
    monitor/time_stamp.cpp
)
target_include_directories(monitor PUBLIC monitor)
target_link_libraries(monitor PUBLIC framework)

add_library(shell STATIC
    shell/about_dlg.cpp
    shell/link_target.cpp
    shell/static_link.cpp
    shell/tray_icon.cpp
)
target_include_directories(shell PUBLIC shell res)
target_link_libraries(shell PUBLIC framework shell32)

add_library(app STATIC
    app/check_cycle.cpp
    app/cycle_boxes.cpp
    app/monitor_dlg.cpp
    app/settings_handlers.cpp
    app/tray_handlers.cpp
)
target_include_directories(app PUBLIC app res)
target_link_libraries(app PUBLIC monitor shell framework winmm_delayed)

add_executable(wangzhan WIN32 app/monitor_app.cpp app/load_config.c res/app.rc)
target_link_libraries(wangzhan PRIVATE app ole32)
set_target_properties(wangzhan PROPERTIES OUTPUT_NAME "望站" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The header's pointer to the load-config directory, which the linker leaves out, from the link's map.
set(LINK_MAP ${CMAKE_BINARY_DIR}/wangzhan.map)
target_link_options(wangzhan PRIVATE -Wl,-Map=${LINK_MAP})
add_custom_command(TARGET wangzhan POST_BUILD
    COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/set_load_config.py $<TARGET_FILE:wangzhan> ${LINK_MAP})
# Terminal-server aware, as every exe of Microsoft's linker: on a Remote Desktop server Windows then leaves out
# the compatibility shims that it gives programs it must assume know nothing of sessions.
target_link_options(wangzhan PRIVATE -Wl,--tsaware)

if(WITH_TESTS)
    add_subdirectory(tests/win)
    add_subdirectory(tests/e2e)
endif()
if(WITH_BENCH)
    add_subdirectory(bench)
endif()
