# What `cmake --install` puts in place, and the two Debian packages CPack
# makes of it:
#   library  libcmd_zel, its header, the platform headers an integrator
#            compiles against, the CMake package and the pkg-config file;
#   console  the platform console with the stand-ins it runs on (simulated
#            device, OS support, JSON accessors, message service, key utility,
#            face-track codec), the simulator's control header and the demo.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(CMD_ZEL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/cmd_zel)
set(CMD_ZEL_PLATFORM_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/cmd_zel/platform)

set_target_properties(cmd_zel PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  # Installed beside the platform's libraries, the library finds them there.
  INSTALL_RPATH "$ORIGIN")
target_include_directories(cmd_zel INTERFACE
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
  $<INSTALL_INTERFACE:${CMD_ZEL_PLATFORM_INCLUDE_DIR}>)

install(TARGETS cmd_zel EXPORT cmd_zel_targets COMPONENT library
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT library
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(WIN32)
  install(FILES ${CMD_ZEL_JSONC_DLL} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/include/cmd_zel.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT library)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/include/ DESTINATION ${CMD_ZEL_PLATFORM_INCLUDE_DIR}
        COMPONENT library FILES_MATCHING PATTERN "*.h")

install(EXPORT cmd_zel_targets NAMESPACE cmd_zel:: DESTINATION ${CMD_ZEL_CMAKE_DIR} COMPONENT library)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/cmd_zelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/cmd_zelConfig.cmake INSTALL_DESTINATION ${CMD_ZEL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/cmd_zelConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmd_zelConfig.cmake ${PROJECT_BINARY_DIR}/cmd_zelConfigVersion.cmake
        DESTINATION ${CMD_ZEL_CMAKE_DIR} COMPONENT library)

# pkg-config: the paths are relative to the file, so a staged or relocated
# install works as it is.
file(RELATIVE_PATH CMD_ZEL_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" CMD_ZEL_PC_TO_PREFIX "${CMD_ZEL_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/cmd_zel.pc.in ${PROJECT_BINARY_DIR}/cmd_zel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/cmd_zel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

# The console and the stand-ins. The stand-ins go beside the library, where
# a platform keeps its own libraries.
set(CMD_ZEL_STAND_INS os_support json_accessors device_sdk message_service key_utility face_track_codec)
set_target_properties(${CMD_ZEL_STAND_INS} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${CMD_ZEL_STAND_INS} COMPONENT console
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/platform/device_sdk/device_sdk_sim.h
        DESTINATION ${CMD_ZEL_PLATFORM_INCLUDE_DIR} COMPONENT console)
if(TARGET zel_console)
  file(RELATIVE_PATH CMD_ZEL_BIN_TO_LIB /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(zel_console PROPERTIES INSTALL_RPATH "$ORIGIN/${CMD_ZEL_BIN_TO_LIB}")
  install(TARGETS zel_console RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT console)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/demo.zel DESTINATION ${CMAKE_INSTALL_DATADIR}/cmd_zel COMPONENT console)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/tools/demo DESTINATION ${CMAKE_INSTALL_DATADIR}/cmd_zel COMPONENT console)
endif()

set(CPACK_PACKAGE_NAME cmd-zel)
set(CPACK_PACKAGE_VENDOR "cmd_zel developers")
set(CPACK_PACKAGE_CONTACT "cmd_zel developers <cmd_zel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Command library of a video-surveillance platform")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library console)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libcmd-zel)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# The platform's own libraries (device SDK, OS support, ...) come with the
# platform, or with the console package here; only Debian's are listed.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS "libjson-c5, libssl3, libstdc++6, libc6")
set(CPACK_DEBIAN_CONSOLE_PACKAGE_NAME cmd-zel-console)
set(CPACK_DEBIAN_CONSOLE_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_CONSOLE_PACKAGE_DEPENDS "libcmd-zel (= ${PROJECT_VERSION}), libjson-c5, libssl3, libpugixml1v5, libedit2")
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "libcmd_zel with its header, CMake package and pkg-config file")
set(CPACK_COMPONENT_CONSOLE_DESCRIPTION "The platform console with a simulated device and the platform stand-ins")
include(CPack)
