# Builds the Debian package from the build tree, unpacks it into a scratch root and runs the
# batch command from there. Run as: cmake -DBUILD_DIR=<build> -DVERSION=<x.y.z> -P PackageTest.cmake
set(scratch ${BUILD_DIR}/package-test)
file(REMOVE_RECURSE ${scratch})
file(MAKE_DIRECTORY ${scratch}/root)
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${scratch}
                        --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB packages ${scratch}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${packages}")
endif()

execute_process(COMMAND dpkg-deb --field ${packages} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt6widgets6" OR NOT depends MATCHES "libc6")
  message(FATAL_ERROR "the package's dependencies miss Qt or the C library: ${depends}")
endif()

execute_process(COMMAND dpkg -x ${packages} ${scratch}/root RESULT_VARIABLE status)
foreach(file usr/bin/quendrix usr/bin/quendrix-batch usr/libexec/quendrix/quendrix-batch-figures
             usr/share/applications/org.quendrix.Quendrix.desktop
             usr/share/metainfo/org.quendrix.Quendrix.metainfo.xml
             usr/share/icons/hicolor/scalable/apps/org.quendrix.Quendrix.svg
             usr/share/icons/hicolor/48x48/apps/org.quendrix.Quendrix.png
             usr/share/icons/hicolor/256x256/apps/org.quendrix.Quendrix.png
             usr/share/man/man1/quendrix.1.gz usr/share/man/man1/quendrix-batch.1.gz
             usr/share/doc/quendrix/copyright usr/share/doc/quendrix/changelog.Debian.gz)
  if(NOT EXISTS ${scratch}/root/${file})
    message(FATAL_ERROR "the package lacks ${file}")
  endif()
endforeach()

# The changelog's latest entry is the package's version.
execute_process(COMMAND dpkg-deb --field ${packages} Version OUTPUT_VARIABLE version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND gzip -dc ${scratch}/root/usr/share/doc/quendrix/changelog.Debian.gz
                OUTPUT_FILE ${scratch}/changelog)
execute_process(COMMAND dpkg-parsechangelog -l ${scratch}/changelog -S Version
                OUTPUT_VARIABLE logged OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT version MATCHES "^${VERSION}-" OR NOT logged STREQUAL version)
  message(FATAL_ERROR "the package's version ${version}, its changelog's ${logged} and the "
                      "project's ${VERSION} disagree")
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
message(STATUS "package ${packages} installs and runs")
