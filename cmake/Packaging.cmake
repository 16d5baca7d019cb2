# What `cmake --install` installs, and the package CPack makes of it. On Windows: zemblaro.exe,
# LICENSE and README.txt in zemblaro-<version>-win64.zip. Elsewhere: the program, its manual page
# (gzipped) and the bash completion (component program), with the Debian package `cpack -G DEB`
# makes. An install adds LICENSE (component license); only the package has the Debian copyright
# file and changelog (component debian, which a plain install leaves out), as a packager's own
# tools write both. Included from the top-level CMakeLists.txt once the target zemblaro exists.
if(WIN32)
  install(TARGETS zemblaro RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/packaging/README.txt
    DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_NAME zemblaro)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_STRIP_FILES ON)
  if(PROJECT_IS_TOP_LEVEL)
    include(CPack)
  endif()
  return()
endif()

include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS zemblaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT license)

# Debian wants the manual page and the changelog gzipped; -n keeps name and time stamp out of
# the header, so the bytes repeat.
function(zemblaro_gzip file)
  add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9 -n -k -f ${file} DEPENDS ${file}
    COMMENT "Compressing ${file}")
endfunction()

# The manual page carries the version and date of the program.
set(zemblaro_man ${PROJECT_BINARY_DIR}/doc/zemblaro.1)
configure_file(${PROJECT_SOURCE_DIR}/doc/zemblaro.1.in ${zemblaro_man} @ONLY)
zemblaro_gzip(${zemblaro_man})
install(FILES ${zemblaro_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)

# The Debian package: zemblaro_<version>_<arch>.deb, installing under /usr. Depends is what
# dpkg-shlibdeps finds the binary needs (nothing else is packed that loads a library).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zemblaro)
set(CPACK_PACKAGE_VENDOR "The zemblaro developers")
set(CPACK_PACKAGE_CONTACT "The zemblaro developers <zemblaro@example.org>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exact arithmetic on unsigned integers of up to 1024 bits")
set(CPACK_PACKAGE_DESCRIPTION
  "zemblaro reads two unsigned integers as digit strings in a base from 2 to 36,
adds, subtracts, multiplies, divides or takes the remainder with exact
multi-byte arithmetic, and prints the result in another base. Its tst action
runs a built-in self-test that checks two digit-string converters against each
other over every 32-bit value.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The changelog's one entry is this release. Debian's changelogs date it as in RFC 5322:
# "Thu, 10 Sep 2026 00:00:00 +0000", the weekday by Sakamoto's method.
function(zemblaro_rfc_date out date)
  if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-0?([1-9][0-9]?)-0?([1-9][0-9]?)$")
    message(FATAL_ERROR "ZEMBLARO_DATE is not YYYY-MM-DD: ${date}")
  endif()
  set(y ${CMAKE_MATCH_1})
  set(d ${CMAKE_MATCH_3})
  math(EXPR m "${CMAKE_MATCH_2} - 1")
  set(y0 ${y})
  if(m LESS 2)
    math(EXPR y0 "${y} - 1")
  endif()
  set(t 0 3 2 5 0 3 5 1 4 6 2 4)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  list(GET t ${m} t)
  math(EXPR w "(${y0} + ${y0} / 4 - ${y0} / 100 + ${y0} / 400 + ${t} + ${d}) % 7")
  list(GET weekdays ${w} w)
  list(GET months ${m} m)
  set(${out} "${w}, ${d} ${m} ${y} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
zemblaro_rfc_date(zemblaro_rfc_date ${ZEMBLARO_DATE})
set(zemblaro_changelog ${PROJECT_BINARY_DIR}/packaging/changelog)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${zemblaro_changelog} @ONLY)
zemblaro_gzip(${zemblaro_changelog})
install(FILES ${zemblaro_changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT debian EXCLUDE_FROM_ALL)
add_custom_target(zemblaro_docs ALL DEPENDS ${zemblaro_man}.gz ${zemblaro_changelog}.gz)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/zemblaro.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zemblaro
  COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT debian EXCLUDE_FROM_ALL)

# One package of the program and the Debian files; LICENSE stays out, its text is in copyright.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program debian)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(PROJECT_IS_TOP_LEVEL)
  include(CPack)
endif()
