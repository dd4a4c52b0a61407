cmake_minimum_required(VERSION 3.25)
# Installs the build into PREFIX and checks the result: the program, the menu entry, the icon
# in the hicolor theme and the metainfo, the last two passed through the desktop's own
# validators.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(id org.quorvantelle.Vorpa)
set(desktop_file "${PREFIX}/share/applications/${id}.desktop")
set(metainfo_file "${PREFIX}/share/metainfo/${id}.metainfo.xml")
foreach(file bin/vorpa share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
             share/icons/hicolor/scalable/apps/${id}.svg)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The entry must name the installed program and icon, in Russian, under Education.
file(READ "${desktop_file}" entry)
foreach(line "Exec=vorpa" "Icon=${id}" "Name=Обучающие примеры" "Categories=Education;")
    string(FIND "${entry}" "\n${line}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "${desktop_file} lacks ${line}")
    endif()
endforeach()

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${desktop_file}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate rejected ${desktop_file}")
endif()
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${metainfo_file}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli rejected ${metainfo_file}")
endif()
