# Installation and the Debian package. The programs go to bin/ and their data to share/flikka,
# which is where an installed game looks for them (../share/flikka beside the program), so both
# destinations are fixed rather than taken from GNUInstallDirs.
set(FLIKKA_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

foreach(program flikka flikka-sim)
  if(TARGET ${program})
    target_compile_definitions(${program} PRIVATE FLIKKA_VERSION="${PROJECT_VERSION}")
    install(TARGETS ${program} RUNTIME DESTINATION bin)
  endif()
endforeach()

# The generated data; the stamp files beside them are the build's business only.
install(DIRECTORY ${CMAKE_BINARY_DIR}/gfx DESTINATION share/flikka PATTERN ".*" EXCLUDE)
install(DIRECTORY ${CMAKE_BINARY_DIR}/sfx DESTINATION share/flikka OPTIONAL PATTERN ".*" EXCLUDE)

if(TARGET flikka-artgen)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/icons/.generated
    COMMAND flikka-artgen --icons ${CMAKE_BINARY_DIR}/icons
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/icons/.generated
    DEPENDS flikka-artgen
    COMMENT "Drawing the application icon")
  add_custom_target(icons ALL DEPENDS ${CMAKE_BINARY_DIR}/icons/.generated)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor PATTERN ".*" EXCLUDE)
endif()

# Man pages carry the version and are installed compressed, as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(FLIKKA_MAN_PAGES)
foreach(page flikka.6 flikka-sim.6)
  configure_file(${FLIKKA_PACKAGING}/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${CMAKE_BINARY_DIR}/man/${page}
    COMMENT "Compressing the man page ${page}")
  list(APPEND FLIKKA_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(man ALL DEPENDS ${FLIKKA_MAN_PAGES})
install(FILES ${FLIKKA_MAN_PAGES} DESTINATION share/man/man6)

configure_file(${FLIKKA_PACKAGING}/flikka.metainfo.xml.in ${CMAKE_BINARY_DIR}/packaging/flikka.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/flikka.metainfo.xml DESTINATION share/metainfo)
install(FILES ${FLIKKA_PACKAGING}/flikka.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/flikka)

# cpack (in the build folder) writes flikka_<version>_<arch>.deb. Its run-time dependencies are
# read off the programs' shared libraries by dpkg-shlibdeps, so they follow what is linked.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flikka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Flikka developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down football against the computer")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A single-player, top-down football game: one side of an eleven-a-side match
against the computer, or two computer sides, on a scrolling pitch, with a
3D ball, a referee, team, outfield and goalkeeper AI, a radar, a formation
editor and match statistics. Also holds flikka-sim, which plays whole
matches without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)

# The package and the programs' command lines, checked without a display.
file(GLOB FLIKKA_INSTALL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/install/*.sh)
if(TARGET flikka AND TARGET flikka-sim)
  foreach(t ${FLIKKA_INSTALL_TESTS})
    get_filename_component(n ${t} NAME_WE)
    add_test(NAME install.${n}
             COMMAND bash ${t} ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR} ${PROJECT_VERSION})
    set_tests_properties(install.${n} PROPERTIES LABELS install TIMEOUT 300)
  endforeach()
endif()
