# SPDX-License-Identifier: GPL-3.0-or-later
# Commands that write no picture start without the toolkit: skarnres tracks on an empty folder loads
# no Qt library, while skarnres tga loads its picture library. Run as:
#   cmake -DSKARNRES=<program> -DWORK=<folder> -P NoToolkitTest.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/empty")
set(ENV{LD_DEBUG} files)
execute_process(COMMAND "${SKARNRES}" tracks "${WORK}/empty" RESULT_VARIABLE status ERROR_VARIABLE loaded)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "skarnres tracks failed (${status}): ${loaded}")
endif()
if(loaded MATCHES "libQt6")
    message(FATAL_ERROR "skarnres tracks loaded the toolkit")
endif()
execute_process(COMMAND "${SKARNRES}" tga "${WORK}/missing.tga" -o "${WORK}/out.png" ERROR_VARIABLE loaded)
if(loaded MATCHES "skarnres-pictures")
    message(FATAL_ERROR "skarnres tga loaded its picture library before reading its input")
endif()
file(REMOVE_RECURSE "${WORK}")
