# A Windows build made on Linux runs its tests under Wine: in a Wine prefix inside the build
# folder, on an Xvfb display of its own that the fixture "wine" starts before the first test
# and stops after the last. Included by tests/CMakeLists.txt before any test is added, so that
# every test program is started through wine-run.sh.
find_program(WINE wine REQUIRED)
find_program(XVFB Xvfb REQUIRED)

set(WINE_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
set(WINE_PREFIX ${WINE_STATE_DIR}/prefix)
set(WINE_RUN ${WINE_STATE_DIR}/wine-run.sh)

# The test programs find Qt's DLLs and the compiler's runtime DLLs through WINEPATH.
get_filename_component(qt_bin_dir "${Qt6_DIR}/../../../bin" ABSOLUTE)
set(runtime_dirs ${qt_bin_dir})
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(dll_dir "${dll_path}" DIRECTORY)
    get_filename_component(dll_dir "${dll_dir}" REALPATH)
    list(APPEND runtime_dirs ${dll_dir})
endforeach()
set(WINE_PATH "")
foreach(dir IN LISTS runtime_dirs)
    string(REPLACE "/" "\\" dir "Z:${dir}")
    string(APPEND WINE_PATH "${dir};")
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_RUN})
set(VORPA_TEST_FIXTURE wine)

add_test(NAME wine_session_start
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh start ${WINE_STATE_DIR} ${WINE_RUN})
add_test(NAME wine_session_stop
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh stop ${WINE_STATE_DIR} ${WINE_RUN})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
