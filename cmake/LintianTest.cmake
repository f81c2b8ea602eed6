# Checks the Debian packages that PackageTest.cmake built (the program's and, where the build has
# the Python module, the module's) with Debian's own checker: any error or warning fails.
# Run as: cmake -DLINTIAN=<lintian> -DPACKAGE_DIR=<folder of the .deb files> -P LintianTest.cmake
file(GLOB packages ${PACKAGE_DIR}/*.deb)
if(NOT packages)
  message(FATAL_ERROR "no package in ${PACKAGE_DIR}")
endif()
# Each package's own overrides (packaging/debian/*lintian-overrides) say why each exception holds.
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --display-info --tag-display-limit 0
                        ${packages}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lintian found errors or warnings in ${packages}")
endif()
