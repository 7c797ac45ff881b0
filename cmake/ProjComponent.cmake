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
  file(GLOB_RECURSE proj_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/proj/*.cpp")
  add_library(velmorutils_proj ${proj_sources})
  add_library(velmorutils::proj ALIAS velmorutils_proj)
  set_target_properties(velmorutils_proj PROPERTIES
    EXPORT_NAME proj
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  target_link_libraries(velmorutils_proj PUBLIC velmorutils
                        PRIVATE ${velmorutils_proj_link} $<BUILD_INTERFACE:velmorutils_warnings>)
  target_include_directories(velmorutils_proj PRIVATE ${PROJECT_SOURCE_DIR}/src)
  message(STATUS "PROJ found (${VELMORUTILS_PROJ_FOUND_BY}): the proj component is built")
else()
  message(STATUS "PROJ not found: the proj component and the tool's coordinate system options are not built")
endif()

# Installs the library, its exported targets and its pkg-config file, when it is built.
function(velmorutils_install_proj)
  if(NOT TARGET velmorutils_proj)
    return()
  endif()
  install(TARGETS velmorutils_proj EXPORT velmorutilsProjTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT velmorutilsProjTargets NAMESPACE velmorutils::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmorutils)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/velmorutils-proj.pc.in
    ${PROJECT_BINARY_DIR}/velmorutils-proj.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/velmorutils-proj.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
