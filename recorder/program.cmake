# The recorder program, rezara.exe.
file(GLOB recorder_program_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(rezara WIN32 ${recorder_program_sources} rezara.rc)
target_include_directories(rezara PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(rezara PRIVATE recorder_options recorder_model recorder_session recorder_transmit mail shell
                      shipped_installer_catalog effects editor_pictures ui net devices formats core sys
                      comctl32 comdlg32 shell32 ole32 gdi32 winmm msacm32)
target_link_options(rezara PRIVATE -municode)
set_source_files_properties(rezara.rc PROPERTIES OBJECT_DEPENDS
                            "${CMAKE_CURRENT_SOURCE_DIR}/resources/record_tone.wav;${CMAKE_CURRENT_SOURCE_DIR}/resources/stopped_tone.wav;${CMAKE_CURRENT_SOURCE_DIR}/recorder_ids.h")

# End-to-end test: the real program under Wine with a private sound server,
# driven through its command line, second starts and hot keys.
if(CMAKE_CROSSCOMPILING)
  add_test(NAME rezara_e2e COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/rezara_e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(rezara_e2e PROPERTIES TIMEOUT 420 RUN_SERIAL TRUE ENVIRONMENT "WINEPREFIX=${ZED_WINEPREFIX}")
  add_dependencies(rezara razavo_driver capture_check component_mp3el)
  # Recordings passed on to real SMTP and FTP servers, and a kill in the middle.
  add_test(NAME rezara_transmit_e2e
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/rezara_transmit_e2e.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(rezara_transmit_e2e PROPERTIES TIMEOUT 420 RUN_SERIAL TRUE
                       ENVIRONMENT "WINEPREFIX=${ZED_WINEPREFIX}")
endif()
