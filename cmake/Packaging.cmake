# The Debian package, made by CPack from everything the install rules lay
# out under /usr: `cpack -G DEB` in a build folder, or tools/package.sh,
# which also builds with Debian's hardening flags.

# The copyright file in the machine-readable form Debian reads, made from
# LICENSE so that the licence is written down once: its copyright line
# becomes the Copyright field and the rest the licence text. An edit to
# LICENSE configures again, so the copyright file follows it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
if(NOT license_text MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.*)$")
  message(FATAL_ERROR "LICENSE: expected 'MIT License', a blank line, 'Copyright (c) ...'")
endif()
set(license_holders ${CMAKE_MATCH_1})
string(STRIP "${CMAKE_MATCH_2}" license_body)
# Continuation lines start with a space; an empty line is written " .".
string(REPLACE "\n\n" "\n.\n" license_body "${license_body}")
string(REPLACE "\n" "\n " license_body "${license_body}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: ${PROJECT_NAME}\n"
  "\n"
  "Files: *\n"
  "Copyright: ${license_holders}\n"
  "License: Expat\n"
  " ${license_body}\n")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package's name, version and one-line summary are CPack's defaults,
# taken from project(); so is Priority: optional.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_CONTACT ${HOUSE_MAINTAINER})
# Debian shows the description as it is: lines of at most 80 characters.
# What the program shows is docs/description.md, as in the README and the
# manual page.
set(description_file ${PROJECT_SOURCE_DIR}/docs/description.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${description_file})
execute_process(COMMAND fmt -w 80 ${description_file}
  OUTPUT_VARIABLE description OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "fmt could not fold ${description_file}")
endif()
set(CPACK_PACKAGE_DESCRIPTION
"${description}

It is drawn in real time with OpenGL in one window. The arrow keys orbit the
eye round the house, + and - zoom, and four letter keys swing the gates open
and shut.

house-snapshot draws any view the keys can reach into a PNG file, with no
display at all, and house-export writes it as a 3D model in glTF, for
Blender, game engines and web viewers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Depends is worked out by dpkg-shlibdeps from the libraries the binaries
# link, not written by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
