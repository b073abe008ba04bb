# GoogleTest from Debian's sources, built with the project's own compiler so the same tests run
# natively and, cross-compiled, under Wine.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

# morlent_add_test(NAME target SOURCES ... [LIBRARIES ...] [WINDOWS])
# Natively every test case becomes a CTest test; under Wine each executable is one CTest test,
# because starting Wine once per case would cost more than the cases themselves. WINDOWS marks a
# program that opens windows: such programs run one at a time, because the pointer, the focus
# and the foreground window are one for the whole display and Wine's desktop.
function(morlent_add_test)
  cmake_parse_arguments(ARG "WINDOWS" "NAME" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  morlent_warnings(${ARG_NAME})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME} --gtest_brief=1)
    # Labelled, so a machine that cannot run this build's programs under Wine can leave them out.
    set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT 600 LABELS wine)
    if(ARG_WINDOWS)
      set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK desktop)
    endif()
  else()
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
