# The user's manual: griv.chm compiled from docs/help with chmcmd (Free
# Pascal's CHM compiler, Debian package fp-utils), next to GRIV.exe, and the
# same pages as plain files in bin/help, which the program opens in the
# browser when the help file cannot be shown.
if(WIN32)
  find_program(GRIV_CHMCMD NAMES chmcmd chmcmd-3.2.2)
  set(GRIV_HELP_SRC ${CMAKE_SOURCE_DIR}/docs/help)
  set(GRIV_HELP_STAGE ${CMAKE_BINARY_DIR}/help-build)
  set(GRIV_HELP_PAGES ${CMAKE_BINARY_DIR}/bin/help)
  set(GRIV_HELP_CHM ${CMAKE_BINARY_DIR}/bin/griv.chm)
  file(GLOB_RECURSE GRIV_HELP_FILES CONFIGURE_DEPENDS ${GRIV_HELP_SRC}/*)
  set(stage_and_copy
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${GRIV_HELP_STAGE} ${GRIV_HELP_PAGES}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${GRIV_HELP_SRC} ${GRIV_HELP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${GRIV_HELP_SRC} ${GRIV_HELP_PAGES})
  if(GRIV_CHMCMD)
    add_custom_command(
      OUTPUT ${GRIV_HELP_CHM}
      ${stage_and_copy}
      COMMAND ${CMAKE_COMMAND} -E chdir ${GRIV_HELP_STAGE} ${GRIV_CHMCMD} --verbosity 0 griv.hhp
      COMMAND ${CMAKE_COMMAND} -E copy ${GRIV_HELP_STAGE}/griv.chm ${GRIV_HELP_CHM}
      DEPENDS ${GRIV_HELP_FILES}
      COMMENT "Compiling the manual griv.chm"
      VERBATIM)
    add_custom_target(griv_help ALL DEPENDS ${GRIV_HELP_CHM})
  else()
    message(WARNING "chmcmd not found (package fp-utils): the manual is shipped as plain pages only")
    add_custom_command(
      OUTPUT ${GRIV_HELP_PAGES}/index.htm
      ${stage_and_copy}
      DEPENDS ${GRIV_HELP_FILES}
      COMMENT "Copying the manual's pages"
      VERBATIM)
    add_custom_target(griv_help ALL DEPENDS ${GRIV_HELP_PAGES}/index.htm)
  endif()
endif()
