# morlent_add_plugin_module([TARGET name DIRECTORY folder] SOURCES ... LIBRARIES ...)
# A plug-in module, MorlentDelay.dll or MorlentDelay.so, by default the build's own (target
# MorlentDelay in build/<preset>/plugin); a native build may add the other generation's too, as
# another target in another folder. The
# given sources (the module's instance factory and load notification) and libraries, plus the
# effect base's entry point. It exports VSTPluginMain and main and nothing else, carries the C++
# runtime, libgcc and winpthread inside (the toolchain links them statically) and is stripped;
# tests check both exports and imports.
function(morlent_add_plugin_module)
  cmake_parse_arguments(ARG "" "TARGET;DIRECTORY" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT ARG_TARGET)
    set(ARG_TARGET MorlentDelay)
    set(ARG_DIRECTORY plugin)
  endif()
  set(module ${ARG_TARGET})
  add_library(${module} MODULE ${ARG_SOURCES})
  set_target_properties(${module} PROPERTIES PREFIX "" OUTPUT_NAME MorlentDelay
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${ARG_DIRECTORY})
  target_link_libraries(${module} PRIVATE morlent_plugin_entry ${ARG_LIBRARIES})
  morlent_warnings(${module})
  set(exports ${PROJECT_SOURCE_DIR}/effect_base/PluginExports)
  if(MORLENT_WINDOWS)
    target_sources(${module} PRIVATE ${exports}.def)
    # Hosts need only the two exports; the static runtime's symbol table is dead weight.
    target_link_options(${module} PRIVATE -s)
    add_test(NAME ${module}_dll_exports_and_imports
      COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/check-dll.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:${module}>)
  else()
    target_link_options(${module} PRIVATE -Wl,--version-script=${exports}.map)
    set_target_properties(${module} PROPERTIES LINK_DEPENDS ${exports}.map)
    # Sanitizer runtimes live in the executable that loads the module.
    if(NOT MORLENT_SANITIZER)
      target_link_options(${module} PRIVATE -Wl,--no-undefined)
    endif()
    add_test(NAME ${module}_so_exports_only_the_entry
      COMMAND bash -c "test \"$(nm -D --defined-only $<TARGET_FILE:${module}> | awk '{print $3}' | LC_ALL=C sort | tr '\\n' ' ')\" = 'VSTPluginMain main '")
  endif()
endfunction()
