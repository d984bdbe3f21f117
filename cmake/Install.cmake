include(CMakePackageConfigHelpers)

install(TARGETS pelmora EXPORT PelmoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pelmora)
install(EXPORT PelmoraTargets NAMESPACE Pelmora:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Pelmora)

configure_package_config_file(cmake/PelmoraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/PelmoraConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Pelmora)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PelmoraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PelmoraConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/PelmoraConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Pelmora)

configure_file(cmake/pelmora.pc.in ${CMAKE_CURRENT_BINARY_DIR}/pelmora.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/pelmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
