# SPDX-License-Identifier: GPL-3.0-or-later
# Each library's headers are reached through an include root of its own in the build tree, which holds
# only that library's headers: a target sees the headers of the libraries it links and no others, so a
# library that includes the header of one it does not link (a lower library reaching for a higher
# one's) fails to build. The root holds one forwarding header per header (no links: a native Windows
# build may not make them), so what is compiled and reported is the header in the source tree.
#
# tm_include_root(target folder [header...]): the named headers of folder, or all of them when none are
# named, under the include root of target, a public include directory of target.
function(tm_include_root target folder)
    set(root ${CMAKE_BINARY_DIR}/include-roots/${target})
    set(headers ${ARGN})
    if(NOT headers)
        file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/${folder}
             ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    endif()
    foreach(header IN LISTS headers)
        file(CONFIGURE OUTPUT ${root}/${folder}/${header}
             CONTENT "#include \"${PROJECT_SOURCE_DIR}/${folder}/${header}\"\n" @ONLY)
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
