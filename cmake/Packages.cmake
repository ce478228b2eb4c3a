# The downloads of a Windows build, made from its Quellbox.exe and
# Quellbox.chm into ${PROJECT_BINARY_DIR}/dist:
#   Quellwatch-<version>-portable.zip  the program, its help, README.txt, LICENSE
#   Quellwatch-<version>.msi           the per-user installer (packaging/quellwatch.wxs)
#   SHA256SUMS                         of both
# <version> is major.minor.revision of the project's version (1.6.0.454 makes
# 1.6.454), as Windows Installer compares versions. The target `packages` is
# part of ALL where wixl (package wixl) and the help compiler are found;
# `test_packages` makes the same installer as an older version (revision one
# lower) into ${PROJECT_BINARY_DIR}/packages-test, for the upgrade test.

function(qw_add_packages)
  find_program(QW_WIXL wixl NO_CMAKE_FIND_ROOT_PATH DOC "wixl, the MSI builder (package wixl)")
  if(NOT QW_WIXL OR NOT TARGET help_chm)
    message(STATUS "wixl or chmcmd not found (packages wixl, fp-utils): no packages")
    return()
  endif()
  set(version "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK}")
  math(EXPR older_revision "${PROJECT_VERSION_TWEAK} - 1")
  set(older "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${older_revision}")
  _qw_package(packages ALL "${version}" "${PROJECT_BINARY_DIR}/dist" ON)
  _qw_package(test_packages "" "${older}" "${PROJECT_BINARY_DIR}/packages-test" OFF)
  set(QW_PACKAGE_VERSION "${version}" PARENT_SCOPE)
  set(QW_PACKAGE_OLDER_VERSION "${older}" PARENT_SCOPE)
endfunction()

# x86 or x64: the package's platform, which is the build's.
function(_qw_package_arch out)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(${out} x64 PARENT_SCOPE)
  else()
    set(${out} x86 PARENT_SCOPE)
  endif()
endfunction()

function(_qw_package target all version out_dir with_zip)
  # The UpgradeCode of packaging/quellwatch.wxs names the product; each
  # version's ProductCode is derived from it, the same for every build of
  # that version.
  string(UUID product_code NAMESPACE C4ED1D6F-F588-4EA6-A6E1-A3129F780E10 NAME "Quellwatch ${version}"
         TYPE SHA1 UPPER)
  _qw_package_arch(arch)
  set(outputs "${out_dir}/Quellwatch-${version}.msi" "${out_dir}/SHA256SUMS")
  if(with_zip)
    list(APPEND outputs "${out_dir}/Quellwatch-${version}-portable.zip")
  endif()
  set(script "${PROJECT_SOURCE_DIR}/cmake/MakePackages.cmake")
  set(sources "${PROJECT_SOURCE_DIR}/packaging/quellwatch.wxs" "${PROJECT_SOURCE_DIR}/packaging/README.txt"
              "${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_SOURCE_DIR}/resources/art/program.ico" "${script}")
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND "${CMAKE_COMMAND}" -DWIXL=${QW_WIXL} -DVERSION=${version} -DPRODUCT_CODE=${product_code}
            -DARCH=${arch} -DPROGRAM=$<TARGET_FILE:Quellbox> -DHELP=$<TARGET_FILE_DIR:Quellbox>/Quellbox.chm
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUT_DIR=${out_dir} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/${target}
            -DWITH_ZIP=${with_zip} -P "${script}"
    DEPENDS Quellbox help_chm ${sources} "$<TARGET_FILE_DIR:Quellbox>/Quellbox.chm"
    COMMENT "Packaging Quellwatch ${version} into ${out_dir}"
    VERBATIM)
  add_custom_target(${target} ${all} DEPENDS ${outputs})
endfunction()
