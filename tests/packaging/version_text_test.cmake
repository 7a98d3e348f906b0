# Run with cmake -P. Without arguments: the version text of each project version in the table.
# With -DMAJOR=... -DMINOR=...: the text of that one version, for the refusals.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/VantrelVersion.cmake)

if(DEFINED MAJOR)
    vantrel_version_text(text "${MAJOR}" "${MINOR}")
    message(STATUS "${text}")
    return()
endif()

#   major minor text
set(cases
    "1    0     1.00"
    "1    5     1.05"
    "1    05    1.05"
    "1    10    1.10"
    "2    99    2.99"
    "10   1     10.01"
    "0    0     0.00"
)
foreach(case IN LISTS cases)
    separate_arguments(fields UNIX_COMMAND "${case}")
    list(GET fields 0 major)
    list(GET fields 1 minor)
    list(GET fields 2 expected)
    vantrel_version_text(text ${major} ${minor})
    if(NOT text STREQUAL expected)
        message(SEND_ERROR "${major}.${minor} reads \"${text}\", expected \"${expected}\"")
    endif()
endforeach()
