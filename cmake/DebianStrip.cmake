# Run by CPack before it builds the Debian package: drops from the programs the sections that
# Debian's own dh_strip drops (CPack has already stripped their symbols).
file(GLOB_RECURSE files LIST_DIRECTORIES false ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
foreach(file IN LISTS files)
  file(READ ${file} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND ${CPACK_QUENDRIX_STRIP} --remove-section=.comment
                            --remove-section=.note ${file}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${CPACK_QUENDRIX_STRIP} failed on ${file}")
    endif()
  endif()
endforeach()
