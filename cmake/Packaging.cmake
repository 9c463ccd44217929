# Debian packages: `cpack -G DEB` in a build folder makes zanvo-cli_<version>_<arch>.deb and, in
# builds with the windows, zanvo_<version>_<arch>.deb, which needs the first. dpkg-shlibdeps
# finds the libraries each needs, so zanvo-cli depends on no Qt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zanvo)
set(CPACK_PACKAGE_VENDOR Orbelle)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.orbelle.example/")
set(CPACK_PACKAGE_CONTACT "Orbelle <zanvo@orbelle.example>")

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)

set(CPACK_COMPONENTS_ALL zanvo-cli)
set(CPACK_DEBIAN_ZANVO-CLI_PACKAGE_NAME zanvo-cli)
set(CPACK_COMPONENT_ZANVO-CLI_DESCRIPTION "install game maps from ZIP archives, without a window
zanvo-cli reads and installs ZIP archives of game maps the way Zanvo does, for a terminal or a
game server without a display: it sorts every file into the game folder it belongs in, asks
before it replaces a file, and writes a report of every run. It can also plan an installation,
list archives and test them.")

if(ZANVO_BUILD_GUI)
    list(APPEND CPACK_COMPONENTS_ALL zanvo)
    set(CPACK_DEBIAN_ZANVO_PACKAGE_NAME zanvo)
    set(CPACK_DEBIAN_ZANVO_PACKAGE_DEPENDS "zanvo-cli (= ${PROJECT_VERSION})")
    set(CPACK_COMPONENT_ZANVO_DESCRIPTION "install custom game maps from ZIP archives
Zanvo takes one ZIP archive of a game map, or every archive of a folder, and installs the files
into the folder of a game run by Steam. It sorts every file into the game folder it belongs in,
from its extension and folders, asks before it replaces a file, keeps a report of every run,
shows the content of archives, and speaks English and French.")
endif()

include(CPack)
