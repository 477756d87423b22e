# Builds the Debian package from the build folder and checks its file list and control fields.
# Run by CTest: cmake -DBUILD_DIR=... -DPACKAGE_DIR=... -DVERSION=... -DCPACK=... -P this file
foreach(tool dpkg-deb dpkg-shlibdeps file)
    find_program(tool_${tool} ${tool})
    if(NOT tool_${tool})
        message("SKIPPED: ${tool} is not installed")
        return()
    endif()
endforeach()

file(REMOVE_RECURSE ${PACKAGE_DIR})
execute_process(COMMAND ${CPACK} -G DEB -B ${PACKAGE_DIR} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB packages ${PACKAGE_DIR}/corvanta_${VERSION}_*.deb)
list(LENGTH packages count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack did not build one corvanta_${VERSION} package:\n${output}")
endif()

set(expected
    ./usr/bin/corvanta
    ./usr/bin/pelmarsh
    ./usr/share/applications/corvanta.desktop
    ./usr/share/metainfo/org.corvanta.Corvanta.metainfo.xml
    ./usr/share/mime/packages/corvanta.xml
    ./usr/share/icons/hicolor/scalable/apps/corvanta.svg
    ./usr/share/icons/hicolor/scalable/mimetypes/application-x-corvanta-catalog.svg)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected
        ./usr/share/icons/hicolor/${size}x${size}/apps/corvanta.png
        ./usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-corvanta-catalog.png)
endforeach()
list(SORT expected)

execute_process(COMMAND dpkg-deb -c ${packages} OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "(^|\n)-[^\n]* \\./[^ \n]*" file_lines "${listing}")
set(files "")
foreach(line IN LISTS file_lines)
    string(REGEX REPLACE ".* " "" name "${line}")
    list(APPEND files ${name})
endforeach()
list(SORT files)
if(NOT files STREQUAL expected)
    string(REPLACE ";" "\n" files "${files}")
    message(FATAL_ERROR "The package holds other files than expected:\n${files}")
endif()

execute_process(COMMAND dpkg-deb -f ${packages} Package Version Depends OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
foreach(field "Package: corvanta\n" "Version: ${VERSION}\n" "xdg-utils" "shared-mime-info" "libqt6core6" "libqt6widgets6")
    string(FIND "${fields}" "${field}" at)
    if(at LESS 0)
        message(FATAL_ERROR "The control fields lack \"${field}\":\n${fields}")
    endif()
endforeach()
message(STATUS "${packages}: ${fields}")
