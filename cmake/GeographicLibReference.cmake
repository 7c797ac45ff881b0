# GeographicLib, when installed, is the reference the geodetic inverse is checked and timed
# against. It is a test and benchmark dependency only; the library never links it.
if(NOT TARGET velmorutils_geographiclib)
  find_library(GEOGRAPHICLIB_LIBRARY GeographicLib)
  find_path(GEOGRAPHICLIB_INCLUDE_DIR GeographicLib/Geodesic.hpp)
  if(GEOGRAPHICLIB_LIBRARY AND GEOGRAPHICLIB_INCLUDE_DIR)
    add_library(velmorutils_geographiclib UNKNOWN IMPORTED)
    set_target_properties(velmorutils_geographiclib PROPERTIES
      IMPORTED_LOCATION "${GEOGRAPHICLIB_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${GEOGRAPHICLIB_INCLUDE_DIR}"
      INTERFACE_COMPILE_DEFINITIONS VELMORUTILS_HAVE_GEOGRAPHICLIB)
  endif()
endif()
