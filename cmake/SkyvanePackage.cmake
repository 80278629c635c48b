# The Debian package: `cpack -G DEB` in a build folder (or scripts/package)
# writes skyvane_VERSION_ARCH.deb from what `cmake --install` puts under /usr.

set(SKYVANE_MAINTAINER "The Skyvane developers <skyvane@example.invalid>")

# The two files Debian wants in every package's documentation folder: the
# copyright statement and the changelog.
execute_process(COMMAND date -u -R -d "${SKYVANE_RELEASE_DATE}"
                OUTPUT_VARIABLE SKYVANE_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
skyvane_install_gzipped(cmake/debian/changelog.in ${CMAKE_INSTALL_DOCDIR})
install(FILES cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyvane)
set(CPACK_PACKAGE_VENDOR "The Skyvane developers")
set(CPACK_PACKAGE_CONTACT "${SKYVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translucent desktop panel with a seven-day weather forecast")
set(CPACK_PACKAGE_DESCRIPTION [=[
Skyvane fetches a seven-day forecast when it starts and shows the day of
the month, the weather in words and as an icon, and the temperature range
of each day in a small borderless window that remembers where it was left.
It comes with skyvane-json, a lenient JSON reader, and skyvane-script, an
evaluator of small command scripts written as JSON.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries come from what the programs link. What no link shows: a font
# with the CJK characters of the weather texts, which would otherwise draw
# as boxes; the time-zone tables that name the time zone's city; the
# certificates that Open-Meteo's HTTPS answers are checked against. (Qt's
# GIF reader, which the icons need, is a plugin shipped in libqt6gui6, and
# its TLS backend is in libqt6network6, which depends on libssl3; the link
# brings both.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, tzdata, ca-certificates")
include(CPack)
