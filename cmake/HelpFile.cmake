# Builds the help file Quellbox.chm from the sources in docs/help with chmcmd
# (Debian package fp-utils).
#
#   include(cmake/HelpFile.cmake)
#   qw_add_help_file(<target_dir>)
#
# adds the target `help_chm` (part of ALL) that compiles docs/help/Quellbox.hhp
# in a copy of docs/help inside the build tree and places Quellbox.chm in
# <target_dir>. <target_dir> may be relative (to the current binary dir) and
# may hold generator expressions, e.g. $<TARGET_FILE_DIR:Quellbox>. The help
# is compiled again whenever a file in docs/help changes; adding or removing a
# file there re-runs CMake. Without chmcmd (cache variable QW_CHMCMD) the
# function only prints a message.

get_filename_component(QW_HELP_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/../docs/help" ABSOLUTE)

function(qw_add_help_file target_dir)
  # chmcmd runs on the build machine, also when cross-compiling.
  find_program(QW_CHMCMD chmcmd NO_CMAKE_FIND_ROOT_PATH
               DOC "chmcmd, the compiler for Quellbox.chm (package fp-utils)")
  if(NOT QW_CHMCMD)
    message(STATUS "chmcmd not found (package fp-utils): Quellbox.chm will not be built")
    return()
  endif()
  if(TARGET help_chm)
    message(FATAL_ERROR "qw_add_help_file: the target help_chm already exists")
  endif()

  if(NOT target_dir MATCHES "\\$<" AND NOT IS_ABSOLUTE "${target_dir}")
    get_filename_component(target_dir "${target_dir}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  endif()

  # Every source of the help; a compiled .chm left in the source tree is not one.
  file(GLOB help_sources LIST_DIRECTORIES false CONFIGURE_DEPENDS
       "${QW_HELP_SOURCE_DIR}/*")
  list(FILTER help_sources EXCLUDE REGEX "\\.[cC][hH][mM]$")
  if(NOT EXISTS "${QW_HELP_SOURCE_DIR}/Quellbox.hhp")
    message(FATAL_ERROR "qw_add_help_file: ${QW_HELP_SOURCE_DIR}/Quellbox.hhp is missing")
  endif()

  set(work_dir "${CMAKE_CURRENT_BINARY_DIR}/help_chm")
  set(copy_dir "${work_dir}/src")
  set(compiled "${work_dir}/Quellbox.chm")

  # chmcmd writes Quellbox.chm next to the project even when it fails, so it
  # works in a fresh copy and the result is taken only after it succeeded.
  add_custom_command(
    OUTPUT "${compiled}"
    COMMAND "${CMAKE_COMMAND}" -E remove_directory "${copy_dir}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${copy_dir}"
    COMMAND "${CMAKE_COMMAND}" -E copy ${help_sources} "${copy_dir}"
    COMMAND "${CMAKE_COMMAND}" -E chdir "${copy_dir}" "${QW_CHMCMD}" Quellbox.hhp
    COMMAND "${CMAKE_COMMAND}" -E copy "${copy_dir}/Quellbox.chm" "${compiled}"
    DEPENDS ${help_sources}
    COMMENT "Compiling the help file Quellbox.chm"
    VERBATIM)

  # The copy into target_dir runs on every build (it is cheap and only writes
  # when the file changed), so a deleted Quellbox.chm comes back.
  add_custom_target(help_chm ALL
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${target_dir}"
    COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${compiled}" "${target_dir}/Quellbox.chm"
    DEPENDS "${compiled}"
    SOURCES ${help_sources}
    VERBATIM)
endfunction()
