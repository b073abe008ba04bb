# morlent_add_plugin_module(SOURCES ... LIBRARIES ...)
# The build's plug-in module, MorlentDelay.dll or MorlentDelay.so in build/<preset>/plugin: the
# given sources (the module's instance factory and load notification) and libraries, plus the
# effect base's entry point. It exports VSTPluginMain and main and nothing else, carries the C++
# runtime, libgcc and winpthread inside (the toolchain links them statically) and is stripped;
# tests check both exports and imports.
function(morlent_add_plugin_module)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_library(MorlentDelay MODULE ${ARG_SOURCES})
  set_target_properties(MorlentDelay PROPERTIES PREFIX "" OUTPUT_NAME MorlentDelay
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin)
  target_link_libraries(MorlentDelay PRIVATE morlent_plugin_entry ${ARG_LIBRARIES})
  morlent_warnings(MorlentDelay)
  set(exports ${PROJECT_SOURCE_DIR}/effect_base/PluginExports)
  if(MORLENT_WINDOWS)
    target_sources(MorlentDelay PRIVATE ${exports}.def)
    # Hosts need only the two exports; the static runtime's symbol table is dead weight.
    target_link_options(MorlentDelay PRIVATE -s)
    add_test(NAME dll_exports_and_imports
      COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/check-dll.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:MorlentDelay>)
  else()
    target_link_options(MorlentDelay PRIVATE -Wl,--version-script=${exports}.map)
    set_target_properties(MorlentDelay PROPERTIES LINK_DEPENDS ${exports}.map)
    # Sanitizer runtimes live in the executable that loads the module.
    if(NOT MORLENT_SANITIZER)
      target_link_options(MorlentDelay PRIVATE -Wl,--no-undefined)
    endif()
    add_test(NAME so_exports_only_the_entry
      COMMAND bash -c "test \"$(nm -D --defined-only $<TARGET_FILE:MorlentDelay> | awk '{print $3}' | LC_ALL=C sort | tr '\\n' ' ')\" = 'VSTPluginMain main '")
  endif()
endfunction()
