# quendrix-batch loads no window library: it links none, and a plain run needs no display. The
# figure program it hands --figures to paints with Qt but links no widgets.
# Run as: cmake -DBATCH=<quendrix-batch> -DFIGURES=<quendrix-batch-figures> -DEXAMPLES=<examples>
#         -DOUT=<file> -P CheckBatchWithoutQt.cmake
# Fails when `program` links a library whose name matches `pattern`.
function(refuse_library program pattern what)
  execute_process(COMMAND ldd "${program}" RESULT_VARIABLE status OUTPUT_VARIABLE libraries)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd failed on ${program}")
  endif()
  if(libraries MATCHES "${pattern}")
    message(FATAL_ERROR "${program} links ${what}:\n${libraries}")
  endif()
endfunction()
refuse_library("${BATCH}" "libQt" "Qt")
refuse_library("${FIGURES}" "libQt6Widgets" "Qt's widgets")
file(REMOVE "${OUT}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${BATCH}" --file1 "${EXAMPLES}/calibration.csv" --file2 "${EXAMPLES}/error.csv"
          -o "${OUT}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS "${OUT}")
  message(FATAL_ERROR "the plain run failed (${status}):\n${out}${err}")
endif()
