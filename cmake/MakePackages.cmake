# Makes the packages of one version (cmake -P, called by cmake/Packages.cmake
# with WIXL, VERSION, PRODUCT_CODE, ARCH, PROGRAM, HELP, SOURCE_DIR, OUT_DIR,
# WORK_DIR, WITH_ZIP). Any step that fails fails the build.
cmake_minimum_required(VERSION 3.16)

set(stage "${WORK_DIR}/stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}" "${OUT_DIR}")
file(COPY "${PROGRAM}" "${HELP}" "${SOURCE_DIR}/resources/art/program.ico" DESTINATION "${stage}")
# Texts for Windows users: line ends that every editor there shows, and the
# packages' own names in README.txt.
foreach(name IN ITEMS README.txt LICENSE)
  if(name STREQUAL "README.txt")
    file(READ "${SOURCE_DIR}/packaging/README.txt" text)
    string(REPLACE "<version>" "${VERSION}" text "${text}")
  else()
    file(READ "${SOURCE_DIR}/${name}" text)
  endif()
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${stage}/${name}" "${text}")
endforeach()

set(msi "Quellwatch-${VERSION}.msi")
set(zip "Quellwatch-${VERSION}-portable.zip")
file(REMOVE "${OUT_DIR}/${msi}" "${OUT_DIR}/${zip}" "${OUT_DIR}/SHA256SUMS")

# wixl only warns of what it does not build (an attribute outside its subset
# is left out of the package): a warning is a failure here. It finds the
# files by names relative to its working folder.
execute_process(
  COMMAND "${WIXL}" -a ${ARCH} -D Version=${VERSION} -D ProductCode=${PRODUCT_CODE}
          -D ProgramFile=Quellbox.exe -D HelpFile=Quellbox.chm -D LicenseFile=LICENSE -D IconFile=program.ico
          -o "${OUT_DIR}/${msi}" "${SOURCE_DIR}/packaging/quellwatch.wxs"
  WORKING_DIRECTORY "${stage}" RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR errors MATCHES "WARNING|CRITICAL|ERROR|[Ee]rror" OR NOT EXISTS "${OUT_DIR}/${msi}")
  file(REMOVE "${OUT_DIR}/${msi}")
  message(FATAL_ERROR "wixl failed (${result}):\n${output}${errors}")
endif()
set(made "${msi}")

if(WITH_ZIP)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUT_DIR}/${zip}" --format=zip
            Quellbox.exe Quellbox.chm README.txt LICENSE
    WORKING_DIRECTORY "${stage}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the zip could not be made (${result})")
  endif()
  list(APPEND made "${zip}")
endif()

# As sha256sum writes them, so that `sha256sum -c SHA256SUMS` checks them.
set(sums "")
foreach(name IN LISTS made)
  file(SHA256 "${OUT_DIR}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUT_DIR}/SHA256SUMS" "${sums}")
