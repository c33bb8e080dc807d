# What `cmake --install` puts under the prefix besides the programs, the runtime and the docs
# (which their own folders install): the examples, the CMake package that gives other projects
# kiv_add_grammar, and the Debian package that CPack makes of it all (`cpack -G DEB`).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kiv/examples
        PATTERN out EXCLUDE)

# find_package(kiv): the config finds kiv and the runtime relative to itself, so an installed
# tree can be moved.
set(KIV_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
set(KIV_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kiv)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kivConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kivConfig.cmake
  INSTALL_DESTINATION ${KIV_INSTALL_CMAKEDIR}
  PATH_VARS KIV_INSTALL_BINDIR KIV_INSTALL_RUNTIMEDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kivConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kivConfig.cmake ${PROJECT_BINARY_DIR}/kivConfigVersion.cmake
        DESTINATION ${KIV_INSTALL_CMAKEDIR})

set(CPACK_PACKAGE_NAME kiv)
set(CPACK_PACKAGE_VENDOR "Orvanth")
set(CPACK_PACKAGE_CONTACT "The KIV developers <kiv@orvanth.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "LL(k) parser generator for Object Pascal, with its workbench")
set(CPACK_PACKAGE_DESCRIPTION
    "KIV turns lexer and parser grammars into Object Pascal (Delphi dialect) units on its own runtime, reports LL(k) conflicts, and comes with a Qt workbench.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The shared libraries the programs link decide the run-time dependencies; generated units are
# compiled with Free Pascal, which users want but kiv itself does not need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fp-compiler, fp-units-fcl")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "lazarus")
include(CPack)
