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
