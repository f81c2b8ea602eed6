# Builds the Debian packages from the build tree, unpacks them into a scratch root and runs the
# batch command from there and, where the build has the Python module, imports it from there.
# Run as: cmake -DBUILD_DIR=<build> -DVERSION=<x.y.z> -DEXAMPLES=<examples> -P PackageTest.cmake
cmake_minimum_required(VERSION 3.25)
set(scratch ${BUILD_DIR}/package-test)
file(REMOVE_RECURSE ${scratch})
file(MAKE_DIRECTORY ${scratch}/root)
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${scratch}
                        --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()

# Whether there must be a Python package is the build's own install rules' answer, not the
# packaging's: the module is what its component installs.
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --component python
                        --prefix ${scratch}/python-install
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB_RECURSE module LIST_DIRECTORIES false ${scratch}/python-install/quendrix.*)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installing the python component failed:\n${out}")
endif()

file(GLOB packages RELATIVE ${scratch} ${scratch}/*.deb)
set(names quendrix)
if(module)
  list(APPEND names python3-quendrix)
endif()
list(LENGTH packages count)
list(LENGTH names expected)
if(NOT count EQUAL expected)
  message(FATAL_ERROR "expected the packages ${names}, found: ${packages}")
endif()
foreach(name IN LISTS names)
  set(deb "")
  foreach(file IN LISTS packages)
    if(file MATCHES "^${name}_${VERSION}-[0-9A-Za-z.+~]+_[a-z0-9]+\\.deb$")
      set(deb ${scratch}/${file})
    endif()
  endforeach()
  if(NOT deb)
    message(FATAL_ERROR "no package file named ${name}_${VERSION}-<revision>_<arch>.deb among: "
                        "${packages}")
  endif()
  set(deb_${name} ${deb})

  # Each package's changelog is its source's, and its latest entry is the package's version.
  execute_process(COMMAND dpkg-deb --field ${deb} Package OUTPUT_VARIABLE package
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-deb --field ${deb} Version OUTPUT_VARIABLE version
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-deb --field ${deb} Source OUTPUT_VARIABLE source
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT source)
    set(source ${package})
  endif()
  if(NOT package STREQUAL name)
    message(FATAL_ERROR "${deb} holds the package ${package}")
  endif()
  execute_process(COMMAND dpkg-deb --contents ${deb} OUTPUT_VARIABLE listing)
  string(REGEX MATCHALL "\\./[^\n]*[^/\n]\n" files_${name} "${listing}")
  list(TRANSFORM files_${name} STRIP)
  set(changelog usr/share/doc/${name}/changelog.Debian.gz)
  foreach(file usr/share/doc/${name}/copyright ${changelog})
    if(NOT ./${file} IN_LIST files_${name})
      message(FATAL_ERROR "the package ${name} lacks ${file}")
    endif()
  endforeach()
  execute_process(COMMAND dpkg -x ${deb} ${scratch}/root RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg -x ${deb} failed")
  endif()
  execute_process(COMMAND gzip -dc ${scratch}/root/${changelog}
                  OUTPUT_FILE ${scratch}/${name}.changelog)
  execute_process(COMMAND dpkg-parsechangelog -l ${scratch}/${name}.changelog -S Version
                  OUTPUT_VARIABLE logged OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND dpkg-parsechangelog -l ${scratch}/${name}.changelog -S Source
                  OUTPUT_VARIABLE logged_source OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT version MATCHES "^${VERSION}-" OR NOT logged STREQUAL version)
    message(FATAL_ERROR "the package ${name}'s version ${version}, its changelog's ${logged} "
                        "and the project's ${VERSION} disagree")
  endif()
  if(NOT logged_source STREQUAL source)
    message(FATAL_ERROR "the package ${name} is built from the source ${source}, its changelog "
                        "is the source ${logged_source}'s")
  endif()

  # dpkg refuses to install two packages that ship the same file.
  foreach(earlier IN LISTS seen)
    foreach(file IN LISTS files_${name})
      if(file IN_LIST files_${earlier})
        message(FATAL_ERROR "the packages ${earlier} and ${name} both ship ${file}")
      endif()
    endforeach()
  endforeach()
  list(APPEND seen ${name})
endforeach()

execute_process(COMMAND dpkg-deb --field ${deb_quendrix} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt6widgets6" OR NOT depends MATCHES "libc6")
  message(FATAL_ERROR "the package's dependencies miss Qt or the C library: ${depends}")
endif()
foreach(file usr/bin/quendrix usr/bin/quendrix-batch usr/libexec/quendrix/quendrix-batch-figures
             usr/share/applications/org.quendrix.Quendrix.desktop
             usr/share/metainfo/org.quendrix.Quendrix.metainfo.xml
             usr/share/icons/hicolor/scalable/apps/org.quendrix.Quendrix.svg
             usr/share/icons/hicolor/48x48/apps/org.quendrix.Quendrix.png
             usr/share/icons/hicolor/256x256/apps/org.quendrix.Quendrix.png
             usr/share/man/man1/quendrix.1.gz usr/share/man/man1/quendrix-batch.1.gz)
  if(NOT ./${file} IN_LIST files_quendrix)
    message(FATAL_ERROR "the package quendrix lacks ${file}")
  endif()
endforeach()
# The program's package leaves the module to its own.
if(files_quendrix MATCHES "dist-packages")
  message(FATAL_ERROR "the package quendrix ships a Python module: ${files_quendrix}")
endif()

execute_process(COMMAND ${scratch}/root/usr/bin/quendrix-batch --version
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "${VERSION}")
  message(FATAL_ERROR "quendrix-batch --version from the package said: ${out}${err}")
endif()
# The installed layout finds the figure program, without a display.
set(ENV{DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "")
execute_process(COMMAND ${scratch}/root/usr/bin/quendrix-batch --file1 ${EXAMPLES}/calibration.csv
                        --model-sd 5 --figures ${scratch}/figures
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS ${scratch}/figures/chart.png)
  message(FATAL_ERROR "the packaged quendrix-batch --figures failed: ${out}${err}")
endif()
if(NOT module)
  message(STATUS "package ${deb_quendrix} installs and runs")
  return()
endif()

# The module's file name names the Python it is built for (cpython-311: 3.11); the package must
# depend on that Python, and on numpy, which the module imports when it runs.
get_filename_component(module_name ${module} NAME)
set(dist_packages ${scratch}/root/usr/lib/python3/dist-packages)
if(NOT module_name MATCHES "^quendrix\\.cpython-([0-9])([0-9]+)-"
   OR NOT ./usr/lib/python3/dist-packages/${module_name} IN_LIST files_python3-quendrix)
  message(FATAL_ERROR "the package python3-quendrix lacks usr/lib/python3/dist-packages/"
                      "${module_name}: ${files_python3-quendrix}")
endif()
set(python ${CMAKE_MATCH_1}.${CMAKE_MATCH_2})
math(EXPR next "${CMAKE_MATCH_2} + 1")
execute_process(COMMAND dpkg-deb --field ${deb_python3-quendrix} Depends OUTPUT_VARIABLE depends)
foreach(dependency "python3 (>= ${python})" "python3 (<< ${CMAKE_MATCH_1}.${next})"
                   python3-numpy libc6 libstdc++6)
  string(FIND "${depends}" "${dependency}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package python3-quendrix does not depend on ${dependency}: ${depends}")
  endif()
endforeach()
if(files_python3-quendrix MATCHES "usr/bin")
  message(FATAL_ERROR "the package python3-quendrix ships programs: ${files_python3-quendrix}")
endif()

# The system's Python, which the package is for, imports the unpacked module, not one from
# elsewhere, and calibrates with it.
set(ENV{PYTHONPATH} ${dist_packages})
execute_process(COMMAND /usr/bin/python3 -c "import numpy" RESULT_VARIABLE status
                OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  message(NOTICE "/usr/bin/python3 cannot import numpy (python3-numpy is not installed): "
                 "the packaged module is not run")
  return()
endif()
execute_process(
  COMMAND
    /usr/bin/python3 -s -c
    "import quendrix, sys
print(quendrix.__file__)
print(quendrix.__version__)
c = quendrix.calibrate([1, 2, 3, 4, 5, 6], [1.1, 2, 2.9, 4.2, 5, 6.1], model_sd=5)
c.save(sys.argv[1])"
    ${scratch}/module.txt
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX MATCH "^[^\n]*" imported "${out}")
string(FIND "${imported}" "${dist_packages}/" at)
if(NOT status EQUAL 0 OR NOT at EQUAL 0 OR NOT out MATCHES "\n${VERSION}\n")
  message(FATAL_ERROR "the packaged Python module did not import or calibrate: ${out}${err}")
endif()
if(EXISTS ${scratch}/module.txt)
  file(SIZE ${scratch}/module.txt size)
endif()
if(NOT size GREATER 0)
  message(FATAL_ERROR "the packaged Python module saved no calibration")
endif()
message(STATUS "packages ${deb_quendrix} and ${deb_python3-quendrix} install and run")
