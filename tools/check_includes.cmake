# Checks the direction of every #include "..." between the project's folders, so that the layering
# of the design holds where one include root cannot enforce it:
#
#   module -> config -> vehicle -> host, with config -> module (the full stack installs its
#   successor through the manager) and config <-> scenario (the configurations' scenario slots);
#   sim/ implements host/ and nothing of the module reaches it; only zsim's own files include
#   sim/zsim/. Tests, benchmarks and fuzz targets may include anything.
#
# cmake -DROOT=<source folder> -P tools/check_includes.cmake; fails naming each wrong-way include.

cmake_minimum_required(VERSION 3.25)

set(MODULE_PARTS module config scenario vehicle host)
set(HOST_PARTS sim/world sim/physics sim/files sim/guidance host)
set(allowed_host host)
set(allowed_vehicle vehicle host)
set(allowed_config config module scenario vehicle host)
set(allowed_scenario scenario config vehicle host)
set(allowed_module ${MODULE_PARTS})
set(allowed_sim/world ${HOST_PARTS})
set(allowed_sim/physics ${HOST_PARTS})
set(allowed_sim/files ${HOST_PARTS})
set(allowed_sim/guidance ${HOST_PARTS})
set(allowed_sim/zsim sim/zsim ${HOST_PARTS})
set(CHECKED host vehicle config scenario module sim/world sim/physics sim/files sim/guidance
    sim/zsim)

# The part a project path belongs to: its folder, or sim/<folder> for the host's parts.
function(part_of path result)
  if(path MATCHES "^sim/([^/]+)/")
    set(${result} "sim/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

set(wrong 0)
set(files_read 0)
foreach(part ${CHECKED})
  file(GLOB sources RELATIVE ${ROOT} ${ROOT}/${part}/*.h ${ROOT}/${part}/*.cpp)
  foreach(source ${sources})
    math(EXPR files_read "${files_read} + 1")
    file(READ ${ROOT}/${source} text)
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        continue()
      endif()
      set(included ${CMAKE_MATCH_1})
      part_of(${included} target)
      if(target STREQUAL "" OR target IN_LIST allowed_${part})
        continue()
      endif()
      string(REPLACE ";" ", " may "${allowed_${part}}")
      message("${source}:${number}: ${part}/ includes ${included}, but may include only ${may}")
      math(EXPR wrong "${wrong} + 1")
    endforeach()
  endforeach()
endforeach()

if(files_read EQUAL 0)
  message(FATAL_ERROR "no source files under ${ROOT}")
endif()
if(wrong GREATER 0)
  message(FATAL_ERROR "${wrong} include(s) against the direction of the design")
endif()
message("${files_read} files: every include goes the design's way")
