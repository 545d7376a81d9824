# Each layer may include only the layers below it. For every boundary a probe
# includes a header of the layer above with the compile flags of the layer below;
# the compiler must not find it. The last probe shows that the same headers are
# found from above, so a failure means layering, not a missing file.
set(TAVLIN_LAYER_PROBES
  "tavlin_base|platform/screen.h|fail"
  "tavlin_ports|core/base/text.h|fail"
  "tavlin_ports|core/forms/form.h|fail"
  "tavlin_forms|core/shell/ba1.h|fail"
  "tavlin_shell|core/player/player.h|fail"
  "tavlin_player|core/episodes/episodes.h|fail"
  "tavlin_episodes|core/links/links.h|fail"
  "tavlin_list_commands|core/app/program.h|fail"
  "tavlin_player|core/app/startup.h|fail"
  "tavlin_pages|core/player/player.h|fail"
  "tavlin_instance|core/app/program.h|fail"
  "tavlin_shell|core/update/update.h|fail"
  "tavlin_player|core/settings/ba3.h|fail"
  "tavlin_forms|core/ad/adsb.h|fail"
  "tavlin_menus|core/settings/ba3.h|fail"
  "tavlin_update|core/app/program.h|fail"
  "tavlin_desktop|core/app/program.h|fail"
  "tavlin_player|core/desktop/media_remote.h|fail"
  "tavlin_app|ui/desktop/mpris_service.h|fail"
  "tavlin_app|ui/shell/main_window.h|fail"
  "tavlin_app|core/player/player.h|pass")
foreach(probe ${TAVLIN_LAYER_PROBES})
  string(REPLACE "|" ";" parts "${probe}")
  list(GET parts 0 layer)
  list(GET parts 1 header)
  list(GET parts 2 expect)
  if(NOT TARGET ${layer})
    continue()
  endif()
  get_target_property(type ${layer} TYPE)
  set(includes INCLUDE_DIRECTORIES)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(includes INTERFACE_INCLUDE_DIRECTORIES)
  endif()
  string(MAKE_C_IDENTIFIER "${layer}_${header}" id)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/layer_probes/${id}.cpp)
  file(WRITE ${source} "#include \"${header}\"\n")
  add_test(NAME layers.${id}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${layer},${includes}>,;-I>" ${source}
           COMMAND_EXPAND_LISTS)
  if(expect STREQUAL "fail")
    set_tests_properties(layers.${id} PROPERTIES PASS_REGULAR_EXPRESSION "'${header}' file not found")
  endif()
endforeach()

add_test(NAME layers.window_parts_only_through_the_shell
         COMMAND ${CMAKE_COMMAND} -DCORE=${PROJECT_SOURCE_DIR}/src/core -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/window_parts.cmake)
