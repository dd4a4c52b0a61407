# Strips the debug information from every program and DLL under FOLDER, with STRIP
# (cmake -DFOLDER=... -DSTRIP=... -P StripDebugInfo.cmake).
file(GLOB_RECURSE binaries ${FOLDER}/*.exe ${FOLDER}/*.dll)
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${STRIP} --strip-debug ${binary} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
