# Component installers and the list of their hashes.
#
# zed_add_component_installer(<component> <program-path> <display-name>
#     [TARGET name] [OUTPUT_NAME name] [INSTALLED_AS file] [SERVE_DIR folder] [VERSION text]
#     [DEPENDS targets...])
#   Builds the component installer (componentsetup/main.cpp) carrying the
#   program at <program-path> as resource 99/99; it installs the program under
#   its own file name (or INSTALLED_AS) and registers it as <component>. The installer is built
#   as OUTPUT_NAME (default <component>) and copied to SERVE_DIR/<component>.exe
#   (default <build>/component-installers), the name the download on demand fetches.
#
# zed_add_installer_catalog(<library> <installer targets...>)
#   A library defining net::shippedInstallers() with the SHA-256 of each
#   installer, computed after the installers are built.

set(ZED_INSTALLER_HASH_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/installer_hashes.cmake)

function(zed_add_component_installer component program display)
  cmake_parse_arguments(ARG "" "TARGET;OUTPUT_NAME;INSTALLED_AS;SERVE_DIR;VERSION" "DEPENDS" ${ARGN})
  if(NOT ARG_TARGET)
    set(ARG_TARGET ${component}_installer)
  endif()
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME ${component})
  endif()
  if(NOT ARG_SERVE_DIR)
    set(ARG_SERVE_DIR ${CMAKE_BINARY_DIR}/component-installers)
  endif()
  if(NOT ARG_VERSION)
    set(ARG_VERSION "1.00")
  endif()
  get_filename_component(program_file "${program}" NAME)
  if(ARG_INSTALLED_AS)
    set(program_file ${ARG_INSTALLED_AS})
  endif()

  # The one resource of this installer: its program, type 99, name 99.
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}/payload.rc)
  file(GENERATE OUTPUT ${resource} CONTENT "99 99 \"${program}\"\n")
  set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS "${program}")

  add_executable(${ARG_TARGET} WIN32 ${PROJECT_SOURCE_DIR}/componentsetup/main.cpp ${resource})
  set_target_properties(${ARG_TARGET} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                        ZED_COMPONENT ${component})
  target_compile_definitions(${ARG_TARGET} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:ZED_COMPONENT_NAME=L"${component}">
    $<$<COMPILE_LANGUAGE:CXX>:ZED_COMPONENT_FILE=L"${program_file}">
    $<$<COMPILE_LANGUAGE:CXX>:ZED_COMPONENT_DISPLAY=L"${display}">
    $<$<COMPILE_LANGUAGE:CXX>:ZED_COMPONENT_VERSION=L"${ARG_VERSION}">)
  target_link_libraries(${ARG_TARGET} PRIVATE componentsetup_core)
  # Stripped: the installer is what users download.
  target_link_options(${ARG_TARGET} PRIVATE -municode -static -s)
  if(ARG_DEPENDS)
    add_dependencies(${ARG_TARGET} ${ARG_DEPENDS})
  endif()
  add_custom_command(TARGET ${ARG_TARGET} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ARG_SERVE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${ARG_TARGET}> ${ARG_SERVE_DIR}/${component}.exe
    VERBATIM)
endfunction()

function(zed_add_installer_catalog library)
  set(pairs "")
  foreach(installer ${ARGN})
    get_target_property(component ${installer} ZED_COMPONENT)
    list(APPEND pairs "${component}=$<TARGET_FILE:${installer}>")
  endforeach()
  string(REPLACE ";" "|" pairs "${pairs}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${library}.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${source}" "-DINSTALLERS=${pairs}" -P ${ZED_INSTALLER_HASH_SCRIPT}
    DEPENDS ${ARGN} ${ZED_INSTALLER_HASH_SCRIPT}
    COMMENT "Hashing the component installers of ${library}"
    VERBATIM)
  add_library(${library} STATIC ${source})
  target_link_libraries(${library} PUBLIC net)
endfunction()
