# Checks the Debian package that PackageTest.cmake built with Debian's own checker: any error or
# warning fails.
# Run as: cmake -DLINTIAN=<lintian> -DPACKAGE_DIR=<folder of the .deb> -P LintianTest.cmake
file(GLOB packages ${PACKAGE_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${PACKAGE_DIR}, found: ${packages}")
endif()
# The package's own overrides (packaging/debian/lintian-overrides) say why each exception holds.
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --display-info --tag-display-limit 0
                        ${packages}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lintian found errors or warnings in ${packages}")
endif()
