# The recorder program, rezara.exe.
file(GLOB recorder_program_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(rezara WIN32 ${recorder_program_sources} rezara.rc)
target_include_directories(rezara PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(rezara PRIVATE recorder_options recorder_model recorder_session editor_pictures ui net devices
                      formats core sys comctl32 comdlg32 shell32 ole32 gdi32 winmm msacm32)
target_link_options(rezara PRIVATE -municode)
set_source_files_properties(rezara.rc PROPERTIES OBJECT_DEPENDS
                            "${CMAKE_CURRENT_SOURCE_DIR}/resources/record_tone.wav;${CMAKE_CURRENT_SOURCE_DIR}/resources/stopped_tone.wav;${CMAKE_CURRENT_SOURCE_DIR}/recorder_ids.h")
