# SPDX-License-Identifier: GPL-3.0-or-later
# skarnres reads a container through a path with letters beyond ASCII and lists the same entries as
# through a plain path. Run as: cmake -DSKARNRES=<program> [-DEMULATOR=<wine>] -DSOURCE=<container>
#                                     -DWORK=<folder> -P UnicodePathTest.cmake
set(folder "${WORK}/Piste Été Трасса")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${folder}")
file(COPY_FILE "${SOURCE}" "${folder}/x.env")
file(COPY_FILE "${SOURCE}" "${WORK}/plain.env")

foreach(name plain unicode)
    if(name STREQUAL "plain")
        set(path "${WORK}/plain.env")
    else()
        set(path "${folder}/x.env")
    endif()
    execute_process(COMMAND ${EMULATOR} "${SKARNRES}" ls "${path}"
                    RESULT_VARIABLE status OUTPUT_VARIABLE ${name} ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "skarnres ls ${path} failed (${status}): ${error}")
    endif()
endforeach()
if(NOT plain STREQUAL unicode OR plain STREQUAL "")
    message(FATAL_ERROR "the listings differ:\n${plain}\n--- and ---\n${unicode}")
endif()
file(REMOVE_RECURSE "${WORK}")
