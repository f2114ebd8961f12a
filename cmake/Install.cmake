# cmake --install: the lumawipe command and its manual page, the engine and toolkit core
# libraries with the headless backend, their headers, and the CMake package Lumawipe whose
# target Lumawipe::engine links all three (the core calls into its backend and back, so
# they form one link group) and Threads.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LUMAWIPE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumawipe)
set(LUMAWIPE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/Lumawipe)

install(TARGETS lumawipe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES cli/lumawipe.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The libraries as files: the package describes them itself (LumawipeConfig.cmake.in), so
# the build tree's backend selection stays out of it.
install(TARGETS lumawipe_engine lumawipe_toolkit lumawipe_headless ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
file(GLOB lumawipe_engine_headers engine/*.h)
file(GLOB lumawipe_toolkit_headers toolkit/*.h)
install(FILES ${lumawipe_engine_headers} DESTINATION ${LUMAWIPE_INSTALL_INCLUDEDIR}/engine)
install(FILES ${lumawipe_toolkit_headers} DESTINATION ${LUMAWIPE_INSTALL_INCLUDEDIR}/toolkit)
install(FILES toolkit/headless/Headless.h DESTINATION ${LUMAWIPE_INSTALL_INCLUDEDIR}/toolkit/headless)

# Paths in the package are relative to where it is installed.
file(RELATIVE_PATH LUMAWIPE_PACKAGE_TO_PREFIX /prefix/${LUMAWIPE_INSTALL_CMAKEDIR} /prefix)
set(LUMAWIPE_LIBRARY_PREFIX ${CMAKE_STATIC_LIBRARY_PREFIX})
set(LUMAWIPE_LIBRARY_SUFFIX ${CMAKE_STATIC_LIBRARY_SUFFIX})
configure_file(cmake/LumawipeConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/LumawipeConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/LumawipeConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LumawipeConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/LumawipeConfigVersion.cmake
  DESTINATION ${LUMAWIPE_INSTALL_CMAKEDIR})
