# libmpg123, the MPEG audio decoder behind the MP3 reader, as the imported
# target zed::mpg123: the static library the codec stack cross-builds for
# Windows, the system's library (through pkg-config) for native builds.
if(TARGET zed::mpg123)
  return()
endif()
if(WIN32)
  set(ZED_CODECS_DIR "" CACHE PATH "Install prefix of the cross-built codec stack")
  set(zed_mpg123_library "${ZED_CODECS_DIR}/lib/libmpg123.a")
  if(NOT EXISTS "${zed_mpg123_library}")
    message(FATAL_ERROR "libmpg123 is missing from the codec stack (ZED_CODECS_DIR='${ZED_CODECS_DIR}'): "
                        "run scripts/build-codecs.sh (scripts/build.sh does) first.")
  endif()
  add_library(zed::mpg123 STATIC IMPORTED GLOBAL)
  set_target_properties(zed::mpg123 PROPERTIES
    IMPORTED_LOCATION "${zed_mpg123_library}"
    INTERFACE_INCLUDE_DIRECTORIES "${ZED_CODECS_DIR}/include"
    # The library's file-name helpers use the shell path functions; its
    # 64-bit file offsets need off_t of 64 bits in the code calling it.
    INTERFACE_LINK_LIBRARIES shlwapi
    INTERFACE_COMPILE_DEFINITIONS _FILE_OFFSET_BITS=64)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ZED_MPG123 REQUIRED IMPORTED_TARGET GLOBAL libmpg123)
  add_library(zed::mpg123 ALIAS PkgConfig::ZED_MPG123)
endif()
