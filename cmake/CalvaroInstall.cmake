# The installed layout (cmake --install, GNUInstallDirs) and the Debian package (cpack -G DEB):
#   bin/calvaro, bin/calvaro-calc
#   share/doc/calvaro/help.chm           found by the program from its own location (bin/../share/...)
#   share/doc/calvaro/examples/          the example waters, their README and the laboratory samples
#   share/applications/, share/mime/packages/, share/metainfo/, share/icons/hicolor/, share/man/man1/
include(GNUInstallDirs)

set(CALVARO_APP_ID org.calvaro.CalvaroV)

# Installing (and so packaging) builds only what is installed, not the tests and benchmarks:
# calvaro_installables is that set.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(calvaro_installables)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

# The help file is looked for beside the executable first, then here, relative to it.
file(RELATIVE_PATH CALVARO_INSTALLED_HELP_DIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DOCDIR})
if(TARGET calvaro_shell)
  target_compile_definitions(calvaro_shell PRIVATE CALVARO_INSTALLED_HELP_DIR="${CALVARO_INSTALLED_HELP_DIR}")
endif()

foreach(program calvaro calvaro-calc)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    add_dependencies(calvaro_installables ${program})
  endif()
endforeach()

if(TARGET calvaro_help)
  install(FILES ${CALVARO_HELP_FILE} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  add_dependencies(calvaro_installables calvaro_help)
endif()

file(GLOB CALVARO_EXAMPLE_WATERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.clv)
install(FILES ${CALVARO_EXAMPLE_WATERS} ${PROJECT_SOURCE_DIR}/examples/README.md
              ${PROJECT_SOURCE_DIR}/examples/lab-samples.csv
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# Man pages, compressed as Debian keeps them (gzip -n: no time stamp, so the package is reproducible).
find_program(CALVARO_GZIP gzip REQUIRED)
set(CALVARO_MAN_PAGES calvaro-calc.1)
if(TARGET calvaro)
  list(APPEND CALVARO_MAN_PAGES calvaro.1)
endif()
set(compressed_pages "")
foreach(page ${CALVARO_MAN_PAGES})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${CALVARO_GZIP} -9nc ${packaging}/${page} > ${out}
    DEPENDS ${packaging}/${page} VERBATIM)
  list(APPEND compressed_pages ${out})
endforeach()
add_custom_target(calvaro_man ALL DEPENDS ${compressed_pages})
add_dependencies(calvaro_installables calvaro_man)
install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET calvaro)
  configure_file(${packaging}/${CALVARO_APP_ID}.metainfo.xml.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${CALVARO_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${packaging}/${CALVARO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${CALVARO_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${packaging}/calvaro-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${CALVARO_APP_ID}.xml)
  install(FILES ${packaging}/icons/calvaro.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${packaging}/icons/calvaro-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME calvaro.png)
  endforeach()
endif()

# The Debian package calvaro_<version>_amd64.deb; its dependencies come from the shared libraries
# the programs link (dpkg-shlibdeps).
if(NOT CALVARO_CORE_ONLY)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME calvaro)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "Calvaro V")
  set(CPACK_PACKAGE_CONTACT "Calvaro V maintainers <calvaro@localhost>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator of water chemistry for drinking and process water")
  set(CPACK_PACKAGE_DESCRIPTION
      "Calvaro V characterises a water from its analysis (ionic strength, alkalinity, acidity and\n"
      "calcium carbonate precipitation potential) and calculates the water after a treatment: pH\n"
      "adjustment, stabilisation, softening, blending, equilibrium with the air, underground water,\n"
      "temperature and concentration changes. The package holds the desktop program calvaro, the\n"
      "command-line calculator calvaro-calc, the help file and example waters.")
  string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The viewer of the help file (the X11 platform plugin comes with libqt6gui6, a shared-library
  # dependency).
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm")
  set(CPACK_PACKAGE_FILE_NAME calvaro_${PROJECT_VERSION}_amd64)
  set(CALVARO_PACKAGE_FILE ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.deb)
  set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
