# Checks what a Windows build's packages hold (cmake -P; the test
# package_contents): the zip holds exactly the program, its help, README.txt
# and LICENSE, each as built or written for Windows; the installer installs the
# same files, says it needs no administrator and carries the product's names
# and version; SHA256SUMS matches both. Takes DIST, PROGRAM, HELP, SOURCE_DIR,
# VERSION, ARCH (x86 or x64), WORK_DIR.
cmake_minimum_required(VERSION 3.16)

set(failures "")
macro(fail what)
  string(APPEND failures "  ${what}\n")
endmacro()

set(zip "${DIST}/Quellwatch-${VERSION}-portable.zip")
set(msi "${DIST}/Quellwatch-${VERSION}.msi")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/zip" "${WORK_DIR}/msi")

# The zip: these four files and nothing else, none in a folder.
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" RESULT_VARIABLE listed OUTPUT_VARIABLE names)
string(REPLACE "\n" ";" names "${names}")
list(REMOVE_ITEM names "")
list(SORT names)
if(NOT (listed EQUAL 0 AND "${names}" STREQUAL "LICENSE;Quellbox.chm;Quellbox.exe;README.txt"))
  fail("the zip holds ${names} (${listed})")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}" WORKING_DIRECTORY "${WORK_DIR}/zip")

# The installer's files, where it puts them under the user's local folder.
find_program(MSIEXTRACT msiextract)
find_program(MSIINFO msiinfo)
if(NOT MSIEXTRACT OR NOT MSIINFO)
  message(FATAL_ERROR "msiextract and msiinfo (package msitools) are needed")
endif()
execute_process(COMMAND "${MSIEXTRACT}" -C "${WORK_DIR}/msi" "${msi}" RESULT_VARIABLE extracted OUTPUT_QUIET)
if(NOT (extracted EQUAL 0))
  fail("msiextract failed (${extracted})")
endif()
set(installed "${WORK_DIR}/msi/Programs/Quellwatch")
file(GLOB installed_names RELATIVE "${installed}" "${installed}/*")
list(SORT installed_names)
if(NOT ("${installed_names}" STREQUAL "LICENSE;Quellbox.chm;Quellbox.exe"))
  fail("the installer installs ${installed_names}")
endif()

foreach(from IN ITEMS "${WORK_DIR}/zip" "${installed}")
  foreach(pair IN ITEMS "Quellbox.exe|${PROGRAM}" "Quellbox.chm|${HELP}")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 name)
    list(GET pair 1 built)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${from}/${name}" "${built}" RESULT_VARIABLE differs)
    if(NOT (differs EQUAL 0))
      fail("${from}/${name} is not the build's ${built}")
    endif()
  endforeach()
  # The licence word for word, in Windows' line ends (file(READ) drops the
  # carriage returns, so the files are compared).
  if(NOT EXISTS "${WORK_DIR}/LICENSE")
    file(READ "${SOURCE_DIR}/LICENSE" licence)
    string(REPLACE "\n" "\r\n" licence "${licence}")
    file(WRITE "${WORK_DIR}/LICENSE" "${licence}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${from}/LICENSE" "${WORK_DIR}/LICENSE"
                  RESULT_VARIABLE differs)
  if(NOT (differs EQUAL 0))
    fail("${from}/LICENSE is not the MIT licence of LICENSE in CRLF line ends")
  endif()
endforeach()

# README.txt: Windows' line ends, the packages by their names.
file(READ "${WORK_DIR}/zip/README.txt" hex HEX)
string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
string(REGEX MATCHALL " 0d 0a" crlf "${bytes}")
string(REGEX MATCHALL " 0a" any_lf "${bytes}")
list(LENGTH crlf crlf_count)
list(LENGTH any_lf lf_count)
file(READ "${WORK_DIR}/zip/README.txt" readme)
string(FIND "${readme}" "<version>" placeholder)
string(FIND "${readme}" "msiexec /x Quellwatch-${VERSION}.msi /qn REMOVEDATA=1" removal)
string(FIND "${readme}" "Quellbox.exe /exit" exit_word)
string(FIND "${readme}" "LICENSE" licence_named)
if(NOT (crlf_count GREATER 20 AND crlf_count EQUAL lf_count AND placeholder EQUAL -1))
  fail("README.txt has a bare LF (${crlf_count} CRLF, ${lf_count} LF) or a <version> left")
endif()
if(NOT (removal GREATER -1 AND exit_word GREATER -1 AND licence_named GREATER -1))
  fail("README.txt does not say how to remove the data, end the program or where the licence is")
endif()

# The installer's own facts: per user without an administrator (word count
# 10: compressed, elevation not required), its names, version and icon.
execute_process(COMMAND "${MSIINFO}" suminfo "${msi}" OUTPUT_VARIABLE summary)
if(ARCH STREQUAL "x64")
  set(template "x64;1033")
else()
  set(template "Intel;1033")
endif()
string(FIND "${summary}" "Source: 10 (a)" unelevated)
string(FIND "${summary}" "Template: ${template}" platform)
if(NOT (unelevated GREATER -1 AND platform GREATER -1))
  fail("the summary is not per-user ${template}:\n${summary}")
endif()
execute_process(COMMAND "${MSIINFO}" export "${msi}" Property OUTPUT_VARIABLE properties)
foreach(property IN ITEMS "ALLUSERS\t2" "MSIINSTALLPERUSER\t1" "ProductVersion\t${VERSION}" "ProductName\tQuellwatch"
                          "Manufacturer\tThe Quellwatch authors" "ARPPRODUCTICON\tQuellwatch.ico"
                          "UpgradeCode\t{C4ED1D6F-F588-4EA6-A6E1-A3129F780E10}")
  string(FIND "${properties}" "\n${property}\n" found)
  if(NOT (found GREATER -1))
    fail("the property ${property} is missing")
  endif()
endforeach()

# SHA256SUMS as sha256sum writes it, of exactly the two packages.
file(SHA256 "${msi}" msi_hash)
file(SHA256 "${zip}" zip_hash)
file(READ "${DIST}/SHA256SUMS" sums)
if(NOT (sums STREQUAL "${msi_hash}  Quellwatch-${VERSION}.msi\n${zip_hash}  Quellwatch-${VERSION}-portable.zip\n"))
  fail("SHA256SUMS does not match the packages:\n${sums}")
endif()

if(failures)
  message(FATAL_ERROR "The packages in ${DIST}:\n${failures}")
endif()
message(STATUS "The packages in ${DIST} hold what they should")
