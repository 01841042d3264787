# make package: a Debian package built by CPack (scripts/package.sh runs it
# from a build configured for /usr with ORVEX_DEBIAN_LAYOUT, then checks the
# result with lintian).
set(ORVEX_MAINTAINER "Seed 8915bcdd maintainers <maintainers@users.noreply.c-seed-8915bcdd.example>")

# The changelog's newest entry must be this version, so that a version
# change cannot go out without its changelog entry.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog ORVEX_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT ORVEX_CHANGELOG_TOP MATCHES "^orvex \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with \"${ORVEX_CHANGELOG_TOP}\", "
                        "not with an entry for version ${PROJECT_VERSION}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ORVEX_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "orvex")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# liborvex.a links with gd, whose headers and link files come with libgd-dev.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libgd-dev, pkg-config")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "game scenario map renderer")
# CPack puts the summary before the description as the Debian synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "orvex draws the map of a game scenario read on standard input and writes
it as an interlaced GIF of at most 256 colours: a background picture
scaled or tiled, axes and a coordinate grid, each object's icon turned to
its facing, motion tracks or thrust lines, labels placed where they hide
least, the title and a legend. Colours come from a small resource file; a
bitonal black-on-white map is one option away.

orvex-replay draws every turn of a game the same way and puts the maps
together as the frames of one animated GIF, labels kept in place from
turn to turn if asked.

The package also holds liborvex.a with its header, pkg-config file and
CMake package, for programs that draw maps in-process, and example
scenarios with their pictures.")

include(CPack)
