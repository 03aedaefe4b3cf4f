# `cmake --install BUILD --prefix DIR` lays out a Maya module:
#   DIR/pellix.mod              the module description (add DIR to MAYA_MODULE_PATH)
#   DIR/pellix/plug-ins/        the plug-in
#   DIR/pellix/scripts/         the MEL scripts (Attribute Editor templates, the menu)
#   DIR/pellix/icons/           one icon per node type, as the Outliner and the Node Editor look them up
# Maya adds the conventional plug-ins, scripts and icons folders of a module by itself,
# so the description needs no variable lines.

set(PELLIX_MAYA_VERSION 2023)
set(PELLIX_MODULE_VERSION 1.0)
if(WIN32)
  set(PELLIX_MODULE_PLATFORM win64)
elseif(APPLE)
  set(PELLIX_MODULE_PLATFORM mac)
else()
  set(PELLIX_MODULE_PLATFORM linux)
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/pellix.mod.in ${CMAKE_BINARY_DIR}/pellix.mod @ONLY)

install(TARGETS pellix
  LIBRARY DESTINATION pellix/plug-ins
  RUNTIME DESTINATION pellix/plug-ins)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/plugin/scripts/ DESTINATION pellix/scripts OPTIONAL)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/plugin/icons/ DESTINATION pellix/icons
  FILES_MATCHING PATTERN "*.png")
install(FILES ${CMAKE_BINARY_DIR}/pellix.mod DESTINATION .)
