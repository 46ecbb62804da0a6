# The default brand file griv.dat, encrypted from resources/brand.ini by
# griv-brand at build time: next to GRIV.exe in the Windows build, at the top
# of the build tree natively.
set(GRIV_BRAND_INI ${CMAKE_SOURCE_DIR}/resources/brand.ini)

if(WIN32)
  # The Windows griv-brand.exe cannot run on the build machine: build a copy
  # of the tool with the machine's own compiler.
  include(ExternalProject)
  find_program(GRIV_HOST_CXX NAMES c++ g++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(GRIV_BRAND_HOST_DIR ${CMAKE_BINARY_DIR}/host-tools/griv-brand)
  set(GRIV_BRAND_TOOL ${GRIV_BRAND_HOST_DIR}/griv-brand${CMAKE_HOST_EXECUTABLE_SUFFIX})
  ExternalProject_Add(griv_brand_host
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/griv-brand/host
    BINARY_DIR ${GRIV_BRAND_HOST_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${GRIV_HOST_CXX}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${GRIV_BRAND_TOOL})
  set(GRIV_BRAND_TOOL_DEPS griv_brand_host ${GRIV_BRAND_TOOL})
  set(GRIV_BRAND_DAT ${CMAKE_BINARY_DIR}/bin/griv.dat)
elseif(NOT GRIV_FUZZ)
  set(GRIV_BRAND_TOOL $<TARGET_FILE:griv-brand>)
  set(GRIV_BRAND_TOOL_DEPS griv-brand)
  set(GRIV_BRAND_DAT ${CMAKE_BINARY_DIR}/griv.dat)
endif()

if(GRIV_BRAND_DAT)
  add_custom_command(
    OUTPUT ${GRIV_BRAND_DAT}
    COMMAND ${GRIV_BRAND_TOOL} make ${GRIV_BRAND_INI} ${GRIV_BRAND_DAT}
    DEPENDS ${GRIV_BRAND_INI} ${GRIV_BRAND_TOOL_DEPS}
    COMMENT "Making the default brand file griv.dat"
    VERBATIM)
  add_custom_target(griv_brand_dat ALL DEPENDS ${GRIV_BRAND_DAT})
endif()
