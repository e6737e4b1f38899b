# vidod_add_quiz(target SOURCE quiz.toml [IMAGES files...] [OUTPUT_DIRECTORY dir]
#                [EXTRA_RC files...])
# Turns a quiz source into a quiz executable: vidod-make packs the source into
# its resources, which are linked into a copy of the player.
function(vidod_add_quiz target)
  cmake_parse_arguments(Q "" "SOURCE;OUTPUT_DIRECTORY" "IMAGES;EXTRA_RC" ${ARGN})
  if(NOT VIDOD_MAKE)
    message(FATAL_ERROR "vidod_add_quiz needs VIDOD_MAKE, the path of a vidod-make that runs here")
  endif()
  get_filename_component(source ${Q_SOURCE} ABSOLUTE)
  get_filename_component(source_dir ${source} DIRECTORY)
  if(NOT Q_IMAGES)
    file(GLOB Q_IMAGES CONFIGURE_DEPENDS ${source_dir}/images/*)
  endif()
  set(pack_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  add_custom_command(
    OUTPUT ${pack_dir}/quiz.rc ${pack_dir}/answers.lzw ${pack_dir}/codes.lzw
    COMMAND ${VIDOD_MAKE} pack ${source} -o ${pack_dir}
    DEPENDS ${source} ${Q_IMAGES} ${VIDOD_MAKE_DEPENDS}
    COMMENT "Packing the quiz ${target}"
    VERBATIM)
  set_source_files_properties(${pack_dir}/quiz.rc PROPERTIES GENERATED TRUE
    OBJECT_DEPENDS "${pack_dir}/answers.lzw;${pack_dir}/codes.lzw;${Q_IMAGES}")
  vidod_player_executable(${target} ${pack_dir}/quiz.rc ${Q_EXTRA_RC})
  if(Q_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${Q_OUTPUT_DIRECTORY})
  endif()
endfunction()
