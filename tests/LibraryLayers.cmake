# Stories of the layer check (orv_check_library_layers), run by CTest as a
# script: small trees of the project's shape, each configured on its own.
# A tree whose tiers link downward configures; one where the run-time
# library links the forms, or the drawing engine the window system, fails
# the configuration and names both libraries and the order.
#   cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder> -P LibraryLayers.cmake

# A tree with a library per folder, each linking the ones given, made under
# WORK_DIR/<name> and configured; result and output in the variables.
function(configure_tree name links result output)
  set(tree ${WORK_DIR}/${name})
  file(REMOVE_RECURSE ${tree})
  set(top "cmake_minimum_required(VERSION 3.25)\nproject(Layers LANGUAGES CXX)\n")
  string(APPEND top "include(${SOURCE_DIR}/cmake/Orvanta.cmake)\n")
  foreach(entry ${links})
    string(REPLACE ":" ";" parts "${entry}")
    list(POP_FRONT parts folder)
    string(REPLACE "/" "_" target "${folder}")
    set(deps "")
    foreach(dep ${parts})
      string(REPLACE "/" "_" dep "${dep}")
      string(APPEND deps " ${dep}")
    endforeach()
    file(WRITE ${tree}/${folder}/unit.cpp "int ${target}_unit;\n")
    if(deps)
      file(WRITE ${tree}/${folder}/CMakeLists.txt "orv_library(${target} DEPS${deps})\n")
    else()
      file(WRITE ${tree}/${folder}/CMakeLists.txt "orv_library(${target})\n")
    endif()
    string(APPEND top "add_subdirectory(${folder})\n")
  endforeach()
  string(APPEND top "orv_check_library_layers()\n")
  file(WRITE ${tree}/CMakeLists.txt "${top}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${tree} -B ${tree}/build RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  set(${result} ${code} PARENT_SCOPE)
  set(${output} "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures 0)
macro(fail text)
  message(SEND_ERROR "${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

# The platform as the build links it, and the library on top.
set(downward platform/rtl platform/gdi:platform/rtl platform/win:platform/gdi platform/theme:platform/win
             platform/x11:platform/win platform/forms:platform/win:platform/theme platform/controls:platform/forms
             library/foundation:platform/controls)
configure_tree(downward "${downward}" code out)
if(NOT code EQUAL 0)
  fail("a tree that links downward did not configure:\n${out}")
endif()

foreach(upward "platform/rtl:platform/forms" "platform/gdi:platform/win" "platform/x11:platform/forms")
  string(REPLACE ":" ";" pair "${upward}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  string(REPLACE "/" "_" from_target "${from}")
  string(REPLACE "/" "_" to_target "${to}")
  set(links ${downward})
  list(TRANSFORM links REPLACE "^${from}(:|$)" "${from}:${to}\\1")
  string(MAKE_C_IDENTIFIER "${upward}" name)
  configure_tree(${name} "${links}" code out)
  string(REGEX REPLACE "[ \n]+" " " said "${out}")
  if(code EQUAL 0)
    fail("${from} linking ${to} configured")
  elseif(NOT said MATCHES "${from_target} links ${to_target}, a library of a layer above its own")
    fail("${from} linking ${to} failed without naming the link:\n${out}")
  elseif(NOT said MATCHES "platform/rtl < platform/gdi < platform/win < platform/theme and platform/x11 < platform/forms")
    fail("${from} linking ${to} failed without the tiers' order:\n${out}")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layer stories failed")
endif()
