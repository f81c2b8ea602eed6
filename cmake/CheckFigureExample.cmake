# Runs the README's --figures example as a user without any display would, and checks that it
# writes the nine pictures and prints nothing but its summary and read-out.
# Run as: cmake -DBATCH=<quendrix-batch> -DEXAMPLES=<examples> -DOUT=<folder> -P CheckFigureExample.cmake
file(REMOVE_RECURSE "${OUT}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          "${BATCH}" --file1 "${EXAMPLES}/calibration.csv" --file2 "${EXAMPLES}/error.csv"
          --section 50 --figures "${OUT}"
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}\n${out}${err}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "unexpected messages:\n${err}")
endif()
if(NOT out MATCHES "wrote the figures in .*Average")
  message(FATAL_ERROR "unexpected summary:\n${out}")
endif()
foreach(name fig1 fig2 fig3 fig4 fig5 fig6 fig7 fig8 chart)
  if(NOT EXISTS "${OUT}/${name}.png")
    message(FATAL_ERROR "${name}.png was not written")
  endif()
  file(READ "${OUT}/${name}.png" signature LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${name}.png is no PNG file")
  endif()
endforeach()
