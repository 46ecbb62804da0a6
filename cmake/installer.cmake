# The installer of the default brand (build/win/installer/GRIV-setup.exe),
# made with makensis from the stripped program, griv.dat and, when the build
# makes one, the help file. scripts/release and scripts/brand-release make the
# named installers of a release.
if(WIN32)
  find_program(GRIV_MAKENSIS makensis)
  find_program(GRIV_STRIP NAMES i686-w64-mingw32-strip)
  if(NOT GRIV_MAKENSIS OR NOT GRIV_STRIP)
    message(WARNING "makensis or the MinGW strip not found: no installer (scripts/setup installs them)")
  else()
    set(GRIV_INSTALLER ${CMAKE_BINARY_DIR}/installer/GRIV-setup.exe)
    add_custom_command(
      OUTPUT ${GRIV_INSTALLER}
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/installer/make_installer.py
              --ini ${GRIV_BRAND_INI} --bin ${CMAKE_BINARY_DIR}/bin --icon ${GRIV_GEN}/griv.ico
              --version ${PROJECT_VERSION} --dat ${GRIV_BRAND_DAT}
              --stage ${CMAKE_BINARY_DIR}/installer/files --out ${GRIV_INSTALLER}
      DEPENDS GRIV ${GRIV_BRAND_DAT} ${GRIV_BRAND_INI}
              ${CMAKE_SOURCE_DIR}/installer/griv.nsi ${CMAKE_SOURCE_DIR}/installer/make_installer.py
      COMMENT "Making the installer GRIV-setup.exe"
      VERBATIM)
    add_custom_target(griv_installer ALL DEPENDS ${GRIV_INSTALLER})
    add_dependencies(griv_installer griv_brand_dat)
    # The help file, once the build makes one, goes into the installer too.
    if(TARGET griv_help)
      add_dependencies(griv_installer griv_help)
    endif()
  endif()
endif()
