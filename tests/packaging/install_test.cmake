# Run with cmake -P -DBUILD_DIR=... -DROOT=...: installs the build under ROOT and compares what
# lands there with what the program needs on a Linux desktop, no more and no less.
file(REMOVE_RECURSE ${ROOT})
execute_process(
    COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${ROOT}
    OUTPUT_QUIET
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(expected
    bin/vantrel
    share/applications/vantrel.desktop
    share/doc/vantrel/changelog.gz
    share/doc/vantrel/copyright
    share/icons/hicolor/128x128/apps/vantrel.png
    share/icons/hicolor/16x16/apps/vantrel.png
    share/icons/hicolor/256x256/apps/vantrel.png
    share/icons/hicolor/32x32/apps/vantrel.png
    share/icons/hicolor/48x48/apps/vantrel.png
    share/icons/hicolor/64x64/apps/vantrel.png
    share/icons/hicolor/scalable/apps/vantrel.svg
    share/man/man1/vantrel.1.gz
    share/metainfo/example.vantrel.vantrel.metainfo.xml)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${ROOT} ${ROOT}/*)
list(SORT installed)
if(NOT installed STREQUAL expected)
    list(JOIN installed "\n  " listed)
    message(FATAL_ERROR "installed:\n  ${listed}")
endif()

# The metainfo names its desktop file, and the desktop file the icon and the program.
file(READ ${ROOT}/share/metainfo/example.vantrel.vantrel.metainfo.xml metainfo)
file(READ ${ROOT}/share/applications/vantrel.desktop desktop)
foreach(pair IN ITEMS "metainfo|<launchable type=\"desktop-id\">vantrel.desktop</launchable>"
                      "desktop|\nIcon=vantrel\n" "desktop|\nExec=vantrel\n")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 file)
    list(GET pair 1 line)
    string(FIND "${${file}}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the ${file} file lacks ${line}")
    endif()
endforeach()
