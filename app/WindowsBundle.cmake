# On Windows the program's folder holds all it needs to run: Qt's DLLs and plugins, Qt's
# Russian texts (found through qt.conf) and the compiler's runtime. The target vorpa_zip packs
# that folder into vorpa-windows.zip in the build folder. The icons are built in as PNG
# (forms/CMakeLists.txt), so no SVG module is needed.
set(bundle ${CMAKE_INSTALL_BINDIR})
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets RUNTIME DESTINATION ${bundle})
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin
        LIBRARY DESTINATION ${bundle}/platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin
        LIBRARY DESTINATION ${bundle}/styles)

# Debian's translation, the same for every platform.
find_file(QT_RUSSIAN_QM qtbase_ru.qm PATHS /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
install(FILES ${QT_RUSSIAN_QM} DESTINATION ${bundle}/translations)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION ${bundle})

foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
        message(FATAL_ERROR "The compiler does not know where ${dll} is")
    endif()
    install(FILES ${dll_path} DESTINATION ${bundle})
endforeach()

# Debian's mingw runtime carries its debug information (libstdc++-6.dll alone is 23.7 MB); what
# is packed goes without it.
if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "No strip for the Windows build: the zip would carry debug information")
endif()
set(zip_root ${CMAKE_BINARY_DIR}/zip)
add_custom_target(vorpa_zip ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_root}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${zip_root}/vorpa
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${zip_root}/vorpa -DSTRIP=${CMAKE_STRIP}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/StripDebugInfo.cmake
    COMMAND ${CMAKE_COMMAND} -E chdir ${zip_root}
            ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/vorpa-windows.zip --format=zip vorpa
    DEPENDS vorpa
    COMMENT "Packing vorpa-windows.zip"
    VERBATIM)

# The installer holds the zip's folder (tools/make-msi.sh); its version is the project's, as
# the .deb's is.
set(msi ${CMAKE_BINARY_DIR}/vorpa-${PROJECT_VERSION}-x64.msi)
add_custom_target(vorpa_msi ALL
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/make-msi.sh ${zip_root}/vorpa ${PROJECT_VERSION} ${msi}
    DEPENDS vorpa_zip
    COMMENT "Making vorpa-${PROJECT_VERSION}-x64.msi"
    VERBATIM)
