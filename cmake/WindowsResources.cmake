# The Windows program's resource script: the icon and the toolbar's bitmap made from the same
# images, the version record and the manifest. TESSIVER_RESOURCE_SCRIPT(target program description)
# adds it to an executable.
find_program(IMAGE_CONVERT NAMES convert-im6.q16 convert REQUIRED)
set(ICON_FILE ${CMAKE_BINARY_DIR}/resources/tessiver.ico)
set(TOOLBAR_FILE ${CMAKE_BINARY_DIR}/resources/toolbar.bmp)
set(MANIFEST_FILE ${CMAKE_SOURCE_DIR}/resources/Tessiver.manifest)
# Magenta marks where a button image is transparent.
add_custom_command(
  OUTPUT ${ICON_FILE} ${TOOLBAR_FILE}
  COMMAND ${IMAGE_CONVERT} ${CMAKE_SOURCE_DIR}/resources/images/tessiver.png
          -define icon:auto-resize=48,32,16 ${ICON_FILE}
  COMMAND ${IMAGE_CONVERT} ${CMAKE_SOURCE_DIR}/resources/images/toolbar.png -background "#FF00FF"
          -flatten BMP3:${TOOLBAR_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/images/tessiver.png
          ${CMAKE_SOURCE_DIR}/resources/images/toolbar.png
  COMMENT "Making the Windows icon and toolbar bitmap"
  VERBATIM)
add_custom_target(tessiver_windows_images DEPENDS ${ICON_FILE} ${TOOLBAR_FILE})
string(REPLACE "." "," VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
function(tessiver_resource_script target program description)
  set(PROGRAM ${program})
  set(DESCRIPTION ${description})
  set(script ${CMAKE_BINARY_DIR}/resources/${program}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/Tessiver.rc.in ${script} @ONLY)
  # The files the script names are compiled into the program: a change to one rebuilds it.
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS
                              "${MANIFEST_FILE};${ICON_FILE};${TOOLBAR_FILE}")
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} tessiver_windows_images)
endfunction()
