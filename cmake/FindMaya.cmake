# Finds a Maya 2023 devkit to build the plug-in against.
#
# Looks in PELLIX_MAYA_DEVKIT (the unpacked devkitBase folder) and then in
# MAYA_LOCATION (CMake variable or environment: the Maya installation, e.g.
# /usr/autodesk/maya2023 or C:/Program Files/Autodesk/Maya2023), for
#   include/maya/MFnPlugin.h
#   the libraries OpenMaya, OpenMayaUI, OpenMayaAnim, OpenMayaRender, Foundation
# and makes the imported target Maya::Maya (headers, libraries and Maya's
# compile definitions for the platform), plus MAYA_PLUGIN_SUFFIX (.so, .mll or
# .bundle). It also puts the Qt 5 and TBB that ship with Maya first on the
# search path, so the plug-in uses the same Qt and TBB as Maya's process:
# Qt's CMake files from <MAYA_LOCATION>/lib/cmake or <devkit>/cmake, its
# headers from <devkit>/include/Qt* (the devkit ships them zipped: unpack
# them there first), TBB from <devkit>/include/tbb and Maya's lib folder.

if(NOT MAYA_LOCATION AND DEFINED ENV{MAYA_LOCATION})
  file(TO_CMAKE_PATH "$ENV{MAYA_LOCATION}" MAYA_LOCATION)
endif()

set(_maya_roots)
foreach(root ${PELLIX_MAYA_DEVKIT} ${MAYA_LOCATION})
  if(root)
    list(APPEND _maya_roots ${root})
  endif()
endforeach()
if(APPLE)
  # The macOS installation keeps its libraries inside the application bundle.
  foreach(root ${_maya_roots})
    list(APPEND _maya_lib_hints ${root}/lib ${root}/Maya.app/Contents/MacOS)
  endforeach()
else()
  foreach(root ${_maya_roots})
    list(APPEND _maya_lib_hints ${root}/lib)
  endforeach()
endif()

find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h
  PATHS ${_maya_roots} PATH_SUFFIXES include devkit/include NO_DEFAULT_PATH)

set(_maya_library_names OpenMaya OpenMayaUI OpenMayaAnim OpenMayaRender Foundation)
set(MAYA_LIBRARIES)
set(_maya_library_vars)
foreach(name ${_maya_library_names})
  find_library(MAYA_${name}_LIBRARY ${name} PATHS ${_maya_lib_hints} NO_DEFAULT_PATH)
  list(APPEND MAYA_LIBRARIES ${MAYA_${name}_LIBRARY})
  list(APPEND _maya_library_vars MAYA_${name}_LIBRARY)
  mark_as_advanced(MAYA_${name}_LIBRARY)
endforeach()

# The version from MTypes.h ("#define MAYA_API_VERSION 20230000" and the like).
if(MAYA_INCLUDE_DIR AND EXISTS ${MAYA_INCLUDE_DIR}/maya/MTypes.h)
  file(STRINGS ${MAYA_INCLUDE_DIR}/maya/MTypes.h _maya_api_line REGEX "#define MAYA_API_VERSION")
  string(REGEX MATCH "([0-9][0-9][0-9][0-9])[0-9]*" _maya_api_number "${_maya_api_line}")
  set(MAYA_VERSION ${CMAKE_MATCH_1})
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Maya
  REQUIRED_VARS MAYA_INCLUDE_DIR ${_maya_library_vars}
  VERSION_VAR MAYA_VERSION)

if(WIN32)
  set(MAYA_PLUGIN_SUFFIX .mll)
  set(_maya_definitions NT_PLUGIN REQUIRE_IOSTREAM _USE_MATH_DEFINES NOMINMAX)
elseif(APPLE)
  set(MAYA_PLUGIN_SUFFIX .bundle)
  set(_maya_definitions OSMac_ MAC_PLUGIN REQUIRE_IOSTREAM _BOOL)
else()
  set(MAYA_PLUGIN_SUFFIX .so)
  set(_maya_definitions LINUX _BOOL REQUIRE_IOSTREAM)
endif()

if(Maya_FOUND AND NOT TARGET Maya::Maya)
  add_library(Maya::Maya INTERFACE IMPORTED)
  set_target_properties(Maya::Maya PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${MAYA_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${MAYA_LIBRARIES}"
    INTERFACE_COMPILE_DEFINITIONS "${_maya_definitions}")
endif()

# Maya's own Qt and TBB, found before the system's.
foreach(root ${_maya_roots})
  foreach(qtdir ${root}/lib/cmake ${root}/cmake)
    if(EXISTS ${qtdir}/Qt5)
      list(PREPEND CMAKE_PREFIX_PATH ${qtdir})
    endif()
  endforeach()
endforeach()
if(NOT TARGET TBB::tbb)
  find_path(MAYA_TBB_INCLUDE_DIR tbb/tbb.h PATHS ${_maya_roots} PATH_SUFFIXES include NO_DEFAULT_PATH)
  find_library(MAYA_TBB_LIBRARY tbb PATHS ${_maya_lib_hints} NO_DEFAULT_PATH)
  if(MAYA_TBB_INCLUDE_DIR AND MAYA_TBB_LIBRARY)
    add_library(TBB::tbb UNKNOWN IMPORTED)
    set_target_properties(TBB::tbb PROPERTIES
      IMPORTED_LOCATION "${MAYA_TBB_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${MAYA_TBB_INCLUDE_DIR}")
  endif()
endif()

mark_as_advanced(MAYA_INCLUDE_DIR MAYA_TBB_INCLUDE_DIR MAYA_TBB_LIBRARY)
