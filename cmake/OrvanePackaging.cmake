# Installs the exported targets, the CMake package files and orvanelib.pc.
include(CMakePackageConfigHelpers)

set(ORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvaneLib)

install(EXPORT OrvaneLibTargets
    NAMESPACE OrvaneLib::
    DESTINATION ${ORVANE_CMAKE_DIR})

configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/OrvaneLibConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/OrvaneLibConfig.cmake
    INSTALL_DESTINATION ${ORVANE_CMAKE_DIR})
write_basic_package_version_file(
    ${CMAKE_CURRENT_BINARY_DIR}/OrvaneLibConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/OrvaneLibConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/OrvaneLibConfigVersion.cmake
    DESTINATION ${ORVANE_CMAKE_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/orvanelib.pc.in ${CMAKE_CURRENT_BINARY_DIR}/orvanelib.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvanelib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
