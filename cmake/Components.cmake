# The optional components (velmorutils::landxml, ::proj, ::gis) are built and installed alike:
# each is a shared library of its own from src/<name>/, on top of the core or another component,
# so the core never depends on the component's third-party library.

# The library velmorutils_<name> (alias velmorutils::<name>) from src/<name>/*.cpp, linking `base`
# publicly and the remaining arguments (the third-party targets) privately.
function(velmorutils_add_component name base)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${name}/*.cpp")
  add_library(velmorutils_${name} ${sources})
  add_library(velmorutils::${name} ALIAS velmorutils_${name})
  set_target_properties(velmorutils_${name} PROPERTIES
    EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  target_link_libraries(velmorutils_${name} PUBLIC ${base}
                        PRIVATE ${ARGN} $<BUILD_INTERFACE:velmorutils_warnings>)
  target_include_directories(velmorutils_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
endfunction()

# Installs the component's library, its exported targets (velmorutils<Name>Targets, which the
# package's config file includes when the component is asked for) and its pkg-config file, when
# the component was built.
function(velmorutils_install_component name)
  if(NOT TARGET velmorutils_${name})
    return()
  endif()
  string(SUBSTRING ${name} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${name} 1 -1 rest)
  set(export velmorutils${first}${rest}Targets)
  install(TARGETS velmorutils_${name} EXPORT ${export}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT ${export} NAMESPACE velmorutils::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmorutils)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/velmorutils-${name}.pc.in
    ${PROJECT_BINARY_DIR}/velmorutils-${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/velmorutils-${name}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
