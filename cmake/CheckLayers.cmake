# Fails when an include runs up the layers, when a file of the Qt-free core includes a Qt header,
# or when the figures reach for widgets.
# Run as: cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# The layers from the bottom up; a folder includes its own headers and those of lower layers only.
set(layers "base" "io data" "colour pipeline" "readout export" "session" "tuning" "batch python ui" "figures"
    "print figexport" "app")
set(core_folders base io data colour pipeline readout export session tuning batch python)
# The figures are drawn into scenes, without widgets, so that the figure files need none: the
# drawing code and the figure program use Qt's painting, never its widgets.
set(widgetless_folders figures figexport)
set(widget_headers QApplication QWidget QFrame QLabel QDialog QMainWindow QStyle QAbstractButton)
list(JOIN widget_headers "|" widget_pattern)

set(rank 0)
foreach(layer IN LISTS layers)
  string(REPLACE " " ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    set(rank_${folder} ${rank})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB folders RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
set(offences "")
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()
  endif()
  if(NOT DEFINED rank_${folder})
    string(APPEND offences "  ${folder}/: a folder in no layer (cmake/CheckLayers.cmake lists them)\n")
    continue()
  endif()
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp"
       "${SOURCE_DIR}/${folder}/*.h.in")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "\"([a-z]+)/")
        set(used ${CMAKE_MATCH_1})
        if(NOT DEFINED rank_${used})
          string(APPEND offences "  ${name}: ${line} (a folder in no layer)\n")
        elseif(NOT used STREQUAL folder AND NOT rank_${used} LESS rank_${folder})
          string(APPEND offences "  ${name}: ${line} (${used}/ is not below ${folder}/)\n")
        endif()
      endif()
      if(folder IN_LIST core_folders AND line MATCHES "<Q[A-Za-z]*[>/]")
        string(APPEND offences "  ${name}: ${line} (the core has no Qt)\n")
      endif()
      if(folder IN_LIST widgetless_folders AND
         (line MATCHES "<(${widget_pattern})>" OR line MATCHES "\"ui/FigureSurface"))
        string(APPEND offences "  ${name}: ${line} (the figures use no widgets)\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(offences)
  message(FATAL_ERROR "Includes that break the layers:\n${offences}")
endif()
