# The codec components: separate Windows console programs that the editor
# and the recorder start as child processes, each carried by an installer
# named after it. Some are the upstream front ends of the codec stack that
# scripts/build-codecs.sh cross-builds into ZED_CODECS_DIR; the others are
# thin front ends of ours in components/<name>/ over the stack's libraries.
#
# Every component's program ends up as ${CMAKE_BINARY_DIR}/component-programs/<file>,
# built by the target component_<name>:
#   zed_component_program(<name> <path-var> [<target-var>])
# ZED_COMPONENTS lists the names.

set(ZED_CODECS_DIR "" CACHE PATH "Install prefix of the cross-built codec stack")
if(NOT ZED_CODECS_DIR OR NOT EXISTS "${ZED_CODECS_DIR}/bin/mp3enc.exe")
  message(FATAL_ERROR "The codec stack is missing (ZED_CODECS_DIR='${ZED_CODECS_DIR}'): "
                      "run scripts/build-codecs.sh (scripts/build.sh does) first.")
endif()

set(ZED_COMPONENT_DIR ${CMAKE_BINARY_DIR}/component-programs)

# name -> program file; the upstream programs they are copies of.
set(ZED_COMPONENTS mp3el oggenc oggdec flacenc flacdec aacenc aacdec amrenc amrdec shndec actdec)
set(ZED_COMPONENT_FILE_mp3el mp3enc.exe)
set(ZED_COMPONENT_UPSTREAM_mp3el mp3enc.exe)
set(ZED_COMPONENT_UPSTREAM_oggenc oggenc.exe)
set(ZED_COMPONENT_UPSTREAM_flacenc flac.exe)
set(ZED_COMPONENT_UPSTREAM_flacdec flac.exe)

function(zed_component_program name path_var)
  if(NOT name IN_LIST ZED_COMPONENTS)
    message(FATAL_ERROR "no component named ${name}")
  endif()
  set(file ${ZED_COMPONENT_FILE_${name}})
  if(NOT file)
    set(file ${name}.exe)
  endif()
  set(${path_var} ${ZED_COMPONENT_DIR}/${file} PARENT_SCOPE)
  if(ARGC GREATER 2)
    set(${ARGV2} component_${name} PARENT_SCOPE)
  endif()
endfunction()
