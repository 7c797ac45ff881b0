# The component velmorutils::proj: coordinate reference systems, transformations and grid scale
# factors through PROJ's C API. Built when PROJ is found, through its own CMake package or else
# through pkg-config; without PROJ the component, its headers and its pkg-config file are left out.
find_package(PROJ CONFIG QUIET)
set(velmorutils_proj_link "")
if(TARGET PROJ::proj)
  set(velmorutils_proj_link PROJ::proj)
  set(VELMORUTILS_PROJ_FOUND_BY "CMake")
else()
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(VELMORUTILS_PKG_PROJ QUIET IMPORTED_TARGET proj)
    if(VELMORUTILS_PKG_PROJ_FOUND)
      set(velmorutils_proj_link PkgConfig::VELMORUTILS_PKG_PROJ)
      set(VELMORUTILS_PROJ_FOUND_BY "pkg-config")
    endif()
  endif()
endif()

if(velmorutils_proj_link)
  velmorutils_add_component(proj velmorutils ${velmorutils_proj_link})
  message(STATUS "PROJ found (${VELMORUTILS_PROJ_FOUND_BY}): the proj component is built")
else()
  message(STATUS "PROJ not found: the proj component and the tool's coordinate system options are not built")
endif()

