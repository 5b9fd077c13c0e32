# Shared helpers for module, test and benchmark targets.

function(vorik_warnings target)
  # -Winvalid-pch: a precompiled header the compiler cannot use is an error,
  # not a silent slow build.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter -Winvalid-pch)
  if(VORIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Precompiled headers. Three header sets (cmake/pch/*.h): "core" (standard
# library and Qt Core), "widgets" (core and Qt Widgets) and "tests" (widgets
# and GoogleTest). Each set is compiled once, by a target of its own, and every
# other target reuses that compiled header: all targets share the compile
# options set here and in the top CMakeLists.txt, as reuse needs. A target takes
# the smallest set its own libraries provide, so a unit of db/ still cannot
# use a widget. The headers only save parsing: a unit includes what it uses.
option(VORIK_PCH "Precompile the standard library, Qt and GoogleTest headers" ON)

function(vorik_pch target kind)
  if(NOT VORIK_PCH)
    return()
  endif()
  set(host vorik_pch_${kind})
  if(NOT TARGET ${host})
    add_library(${host} STATIC ${CMAKE_SOURCE_DIR}/cmake/pch/host.cpp)
    if(kind STREQUAL "core")
      target_link_libraries(${host} PRIVATE Qt6::Core)
    elseif(kind STREQUAL "widgets")
      target_link_libraries(${host} PRIVATE Qt6::Widgets)
    else()
      target_link_libraries(${host} PRIVATE Qt6::Widgets GTest::gtest)
    endif()
    target_precompile_headers(${host} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/${kind}.h)
    # Without the headers' times in it, the compiler cache can reuse units
    # built against it (gcc keeps none).
    target_compile_options(${host} PRIVATE "$<$<CXX_COMPILER_ID:Clang>:SHELL:-Xclang -fno-pch-timestamp>")
    vorik_warnings(${host})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${host})
endfunction()

# vorik_pch_for(<target> <libraries...>): the header set the libraries a
# target links provide (the compiler refuses a set compiled with Qt modules
# the target does not use).
function(vorik_pch_for target)
  set(kind core)
  foreach(dep ${ARGN})
    if(dep MATCHES "^(Qt6::(Gui|Widgets|PrintSupport)|platform|report|app|exchange|designer|layoutbuilder|bench_support|test_support)$")
      set(kind widgets)
    endif()
  endforeach()
  vorik_pch(${target} ${kind})
endfunction()

# vorik_module(<name> [DEPS <targets...>] [ONLY <units...>] [EXCLUDE <units...>])
# One static library per module folder; every .cpp below the folder is a source.
# ONLY takes just the named units (file names without extension), EXCLUDE leaves
# them out: for a folder split into two libraries.
function(vorik_module name)
  cmake_parse_arguments(ARG "" "" "DEPS;ONLY;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  list(FILTER srcs EXCLUDE REGEX "/tools/")
  if(ARG_ONLY)
    list(JOIN ARG_ONLY "|" units)
    list(FILTER srcs INCLUDE REGEX "/(${units})\\.(cpp|h)$")
  endif()
  if(ARG_EXCLUDE)
    list(JOIN ARG_EXCLUDE "|" units)
    list(FILTER srcs EXCLUDE REGEX "/(${units})\\.(cpp|h)$")
  endif()
  set(cpp ${srcs})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    # A module without sources yet: an interface target so dependents link.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vorik_warnings(${name})
  vorik_pch_for(${name} ${ARG_DEPS})
endfunction()

# vorik_test_dir(<module> [DEPS <targets...>])
# One GoogleTest executable per test folder; every *_test.cpp in it is a source.
function(vorik_test_dir name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name}_tests ${srcs})
  target_link_libraries(${name}_tests PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gmock)
  vorik_warnings(${name}_tests)
  vorik_pch(${name}_tests tests)
  set(env "QT_QPA_PLATFORM=offscreen;FIREBIRD=${VORIK_FBROOT};VORIK_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  # The suites of a source that drives dialogs or widgets (the GUI driver, a
  # fixture built on it, or widgets directly) wait on the event loop within a
  # time limit, so a loaded machine can fail them:
  # they carry the label "gui", and test.sh gives only those a second run.
  # (Read at configure time: a new suite is labelled from the next one.)
  set(gui_suites)
  foreach(src ${srcs})
    file(READ ${src} text)
    if(text MATCHES "ModalScript|answerBoxes|messageOf|gui_driver|dialog_fixture|returns_fixture|print_fixture|audit_fixture|QWidget|QDialog")
      string(REGEX MATCHALL "TEST(_F|_P)?\\(([A-Za-z0-9_]+)," tests "${text}")
      foreach(test ${tests})
        string(REGEX REPLACE "TEST(_F|_P)?\\(([A-Za-z0-9_]+)," "\\2" suite "${test}")
        list(APPEND gui_suites "${suite}.*" "*/${suite}.*")
      endforeach()
    endif()
  endforeach()
  if(gui_suites)
    list(REMOVE_DUPLICATES gui_suites)
    list(JOIN gui_suites ":" filter)
    gtest_discover_tests(${name}_tests TEST_FILTER "${filter}"
      DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${env}" LABELS gui DISCOVERY_TIMEOUT 60)
    gtest_discover_tests(${name}_tests TEST_FILTER "-${filter}"
      DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${env}" DISCOVERY_TIMEOUT 60)
  else()
    gtest_discover_tests(${name}_tests
      DISCOVERY_MODE PRE_TEST PROPERTIES ENVIRONMENT "${env}" DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
