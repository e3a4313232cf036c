# Included by the main build: every fuzz target is also built with the plain
# main of replay_main.cpp (g++ is enough) and ctest replays its seed corpus
# and saved crash files, so a fixed crash stays fixed in every test run.
set(fuzz_dir ${CMAKE_SOURCE_DIR}/fuzz)
file(GLOB fuzz_targets CONFIGURE_DEPENDS ${fuzz_dir}/*_fuzz.cpp)
foreach(source ${fuzz_targets})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" corpus ${name})
  add_executable(${name}_replay ${source} ${fuzz_dir}/replay_main.cpp)
  target_link_libraries(${name}_replay PRIVATE mirufo_output mirufo_import mirufo_engine
    mirufo_color mirufo_imaging mirufo_catalogue mirufo_platform)
  set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME FuzzReplay.${corpus}
    COMMAND ${name}_replay ${fuzz_dir}/corpus/${corpus} ${fuzz_dir}/crashes/${corpus})
endforeach()
if(TARGET gif_fuzz_replay)
  target_sources(gif_fuzz_replay PRIVATE ${CMAKE_SOURCE_DIR}/plugins/ifgif.cpp)
  target_link_libraries(gif_fuzz_replay PRIVATE GIF::GIF)
endif()
