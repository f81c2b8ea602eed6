# quendrix-batch loads no window library: it links none, and a plain run needs no display. The
# figure program it hands --figures to paints with Qt but links no widgets.
# Run as: cmake -DBATCH=<quendrix-batch> -DFIGURES=<quendrix-batch-figures> -DEXAMPLES=<examples>
#         -DOUT=<file> -P CheckBatchWithoutQt.cmake
execute_process(COMMAND ldd "${BATCH}" RESULT_VARIABLE status OUTPUT_VARIABLE libraries)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${BATCH}")
endif()
if(libraries MATCHES "libQt")
  message(FATAL_ERROR "quendrix-batch links Qt:\n${libraries}")
endif()
execute_process(COMMAND ldd "${FIGURES}" RESULT_VARIABLE status OUTPUT_VARIABLE libraries)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd failed on ${FIGURES}")
endif()
if(libraries MATCHES "libQt6Widgets")
  message(FATAL_ERROR "the figure program links Qt's widgets:\n${libraries}")
endif()
file(REMOVE "${OUT}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${BATCH}" --file1 "${EXAMPLES}/calibration.csv" --file2 "${EXAMPLES}/error.csv"
          -o "${OUT}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "the plain run failed (${status}):\n${out}${err}")
endif()
