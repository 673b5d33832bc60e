# Build helpers shared by every folder: one static library per source folder,
# one test program per test folder.

# orv_library(<target> DEPS <targets...>)
# Builds every .cpp in the calling folder into a static library whose
# headers are found relative to the repository root. With
# ORVANTA_SHARED_LIBRARIES (the test build) each folder becomes a shared
# library instead: every test program would otherwise carry its own copy of
# nearly the whole library, since the class registrations reach everything,
# and a hundred such programs do not fit on a build machine's disk.
function(orv_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ORVANTA_SHARED_LIBRARIES)
    add_library(${target} SHARED ${sources})
  else()
    add_library(${target} STATIC ${sources})
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_SYSTEM)
    target_link_libraries(${target} PRIVATE ${ARG_SYSTEM})
    # Seen from the all-libraries test program in another folder.
    foreach(system ${ARG_SYSTEM})
      if(TARGET ${system})
        set_target_properties(${system} PROPERTIES IMPORTED_GLOBAL TRUE)
      endif()
    endforeach()
    set_property(GLOBAL APPEND PROPERTY ORVANTA_SYSTEM_LIBRARIES ${ARG_SYSTEM})
  endif()
  set_property(GLOBAL APPEND PROPERTY ORVANTA_LIBRARIES ${target})
endfunction()

# orv_add_subdirectories()
# Adds every folder below the calling one that has a CMakeLists.txt, so a
# new folder joins the build by appearing. Targets may name libraries of
# folders added later: CMake resolves them when it generates.
function(orv_add_subdirectories)
  file(GLOB lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(list ${lists})
    get_filename_component(dir ${list} DIRECTORY)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# orv_tests(<prefix> DEPS <targets...>)
# Builds each .cpp in the calling test folder into its own GoogleTest
# program (<prefix>_<file>) and registers its cases with CTest. One program
# per file keeps a broken or slow file from holding up the others.
function(orv_tests prefix)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    set(target ${prefix}_${name})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_precompile_headers(${target} REUSE_FROM orv_test_pch)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES ENVIRONMENT "ORVANTA_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endforeach()
endfunction()

# orv_embed_resources(): files of a resources folder registered as embedded resources.
include(${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake)

# orv_check_library_layers()
# The libraries are one chain without a cycle: the platform's tiers in the
# order the build links them (the run-time library, drawing, the window
# system, the theme module and the X11 back end side by side, the class
# library's forms, the native controls), then the foundation, the data
# layer, the editor framework, the concrete editors, the grid layer's
# components (the in-place editing container, the navigator, the filter
# builder, the vertical grid on all three), the grid layer's start-up and
# the front end. A library that links one above its own place fails the
# configuration, before a cycle can creep in through a shared text or
# helper. A folder takes the place of its own name, or else of the folder
# it lies in; folders joined by "|" share a place.
function(orv_check_library_layers)
  set(layers platform/rtl platform/gdi platform/win "platform/theme|platform/x11" platform/forms platform/controls
             library/foundation library/data library/editors/core library/editors
             library/grid/container library/grid/navigator library/grid/filter library/grid/vgrid
             library/grid app)
  get_property(libraries GLOBAL PROPERTY ORVANTA_LIBRARIES)
  foreach(target ${libraries})
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${dir})
    set(rank -1)
    set(i 0)
    foreach(layer ${layers})
      string(REPLACE "|" ";" places "${layer}")
      foreach(place ${places})
        if(rel STREQUAL place)
          set(rank ${i})
          break()
        elseif(rel MATCHES "^${place}/")
          set(rank ${i})
        endif()
      endforeach()
      if(rel IN_LIST places)
        break()
      endif()
      math(EXPR i "${i} + 1")
    endforeach()
    set_property(GLOBAL PROPERTY ORV_LAYER_${target} ${rank})
  endforeach()
  foreach(target ${libraries})
    get_property(rank GLOBAL PROPERTY ORV_LAYER_${target})
    get_target_property(deps ${target} LINK_LIBRARIES)
    if(NOT deps)
      continue()
    endif()
    foreach(dep ${deps})
      if(NOT dep IN_LIST libraries)
        continue()
      endif()
      get_property(dep_rank GLOBAL PROPERTY ORV_LAYER_${dep})
      if(rank GREATER_EQUAL 0 AND dep_rank GREATER rank)
        string(REPLACE ";" " < " order "${layers}")
        string(REPLACE "|" " and " order "${order}")
        message(FATAL_ERROR "${target} links ${dep}, a library of a layer above its own; "
                            "the libraries link downward only: ${order}")
      endif()
    endforeach()
  endforeach()
endfunction()

# orv_static_system_libraries()
# Links the C libraries the folders name (X11, fontconfig, FreeType,
# libjpeg) from their static archives, with the archives they need in turn
# as pkg-config lists them, wherever all of those are installed. Loading
# twenty shared libraries and binding their symbols was about a millisecond
# of every start of the program. Only in the release configuration: the
# test build's folders are shared libraries, and the sanitizer and fuzz
# builds keep the system's own libraries. A library whose archives are not
# all there stays shared.
function(orv_static_system_libraries)
  if(ORVANTA_SHARED_LIBRARIES OR ORVANTA_SANITIZE OR ORVANTA_FUZZ OR NOT ORVANTA_STATIC_SYSTEM_LIBRARIES)
    return()
  endif()
  find_package(PkgConfig QUIET)
  if(NOT PKG_CONFIG_FOUND)
    return()
  endif()
  # The C library's own parts stay shared.
  set(c_library m pthread dl rt c)
  set(modules X11::X11 x11 X11::Xext xext X11::Xrandr xrandr X11::Xtst xtst Freetype::Freetype freetype2
              Fontconfig::Fontconfig fontconfig JPEG::JPEG libjpeg)
  while(modules)
    list(POP_FRONT modules target module)
    if(NOT TARGET ${target})
      continue()
    endif()
    execute_process(COMMAND ${PKG_CONFIG_EXECUTABLE} --static --libs-only-l ${module}
                    OUTPUT_VARIABLE flags RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(failed OR NOT flags)
      continue()
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(archives "")
    set(complete TRUE)
    foreach(flag ${flags})
      string(REGEX REPLACE "^-l" "" name "${flag}")
      if(name IN_LIST c_library)
        list(APPEND archives ${name})
        continue()
      endif()
      find_library(ORVANTA_ARCHIVE_${name} NAMES lib${name}.a)
      if(NOT ORVANTA_ARCHIVE_${name})
        set(complete FALSE)
        break()
      endif()
      list(APPEND archives ${ORVANTA_ARCHIVE_${name}})
    endforeach()
    if(NOT complete)
      continue()
    endif()
    list(POP_FRONT archives own)
    set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${own} IMPORTED_LOCATION_RELEASE ${own}
                                               IMPORTED_LOCATION_DEBUG ${own} INTERFACE_LINK_LIBRARIES "${archives}")
  endwhile()
endfunction()

# orv_find_startup_order_linker()
# The program's code is laid out in the order a start runs it
# (app/main/startup.order): the functions a start runs then lie together in
# a few hundred kilobytes, where the linker's own order spread them over
# the whole 10 MB, a page fault for every 64 KB touched. That takes each
# function in a section of its own, and a linker that places sections by a
# list of symbols and packs relocations the way the C library checks for:
# LLD 15 or later. Only where the program is linked from static libraries
# in the release configuration; elsewhere, or without such a linker, the
# layout is the default one. Sets ORVANTA_STARTUP_ORDER_LINKER_DIR to the
# folder of that linker's ld.lld.
function(orv_find_startup_order_linker)
  set(ORVANTA_STARTUP_ORDER_LINKER_DIR "" PARENT_SCOPE)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR ORVANTA_SHARED_LIBRARIES
     OR ORVANTA_SANITIZE OR ORVANTA_FUZZ OR NOT ORVANTA_STARTUP_ORDER)
    return()
  endif()
  file(GLOB folders LIST_DIRECTORIES true /usr/lib/llvm-*/bin)
  list(SORT folders COMPARE NATURAL ORDER DESCENDING)
  foreach(folder ${folders})
    if(NOT EXISTS ${folder}/ld.lld)
      continue()
    endif()
    execute_process(COMMAND ${folder}/ld.lld --version OUTPUT_VARIABLE version ERROR_QUIET)
    if(version MATCHES "LLD ([0-9]+)" AND CMAKE_MATCH_1 GREATER_EQUAL 15)
      add_compile_options(-ffunction-sections)
      set(ORVANTA_STARTUP_ORDER_LINKER_DIR ${folder} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(STATUS "No LLD 15 or later: the program's code keeps the default layout")
endfunction()
