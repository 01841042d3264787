# make install: the programs, their manual pages, the documentation with the
# examples, and the library for programs that draw maps in-process:
#
#   bin/orvex, bin/orvex-replay
#   share/man/man1/orvex.1            (orvex.1.gz with ORVEX_DEBIAN_LAYOUT)
#   share/man/man1/orvex-replay.1     (orvex-replay.1.gz likewise)
#   share/doc/orvex/                  README.md, copyright, docs/*.png and
#                                     *.gif, examples/ (scenarios, pictures,
#                                     replay/, embed/)
#   lib/liborvex.a                    every layer's objects in one archive
#   include/orvex/orvex.h             the library: render(), check(), runOrvex
#   include/orvex/base/finding.h      included by orvex.h
#   include/orvex/base/run_limits.h   included by orvex.h
#   include/orvex/base/options.h      included by orvex.h
#   lib/pkgconfig/orvex.pc
#   lib/cmake/orvex/                  find_package(orvex): target orvex::orvex
#
# The prefix is chosen at install time (cmake --install --prefix, DESTDIR),
# so orvex.pc and the CMake package locate the prefix from where they lie
# (the Debian package's orvex.pc names /usr).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

option(ORVEX_DEBIAN_LAYOUT "Install the manual page gzipped and the Debian changelog, as the .deb has them" OFF)

# liborvex.a: the layer libraries stay separate for the program and the
# tests (each layer links only downwards); the installed archive holds all
# their objects, compiled once.
get_property(ORVEX_LAYER_TARGETS GLOBAL PROPERTY ORVEX_LAYERS)
set(ORVEX_LAYER_OBJECTS "")
foreach(layer IN LISTS ORVEX_LAYER_TARGETS)
    list(APPEND ORVEX_LAYER_OBJECTS $<TARGET_OBJECTS:${layer}>)
endforeach()
add_library(orvex_library STATIC ${ORVEX_LAYER_OBJECTS})
set_target_properties(orvex_library PROPERTIES OUTPUT_NAME orvex EXPORT_NAME orvex LINKER_LANGUAGE CXX)
# Installed, the library's users include <orvex/orvex.h>, whose
# "base/run_limits.h" is found beside it; gd comes from the package's config file.
target_include_directories(orvex_library INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Crowded labels are laid out on a second thread as well.
target_link_libraries(orvex_library INTERFACE $<INSTALL_INTERFACE:orvex::gd> m Threads::Threads)

# Objects built with the sanitizers (make test installs its build) need
# their run-time libraries wherever they are linked.
set(ORVEX_PC_LIBS "")
if(ORVEX_SANITIZE)
    target_link_options(orvex_library INTERFACE $<INSTALL_INTERFACE:-fsanitize=address,undefined>)
    set(ORVEX_PC_LIBS " -fsanitize=address,undefined")
endif()

install(TARGETS orvex orvex-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orvex_library EXPORT orvexTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES src/app/orvex.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orvex)
install(FILES src/base/finding.h src/base/run_limits.h src/base/options.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/orvex/base)

# orvex.pc: the prefix is found from the file's own place, except in the
# Debian package, which is only ever installed under /usr.
set(ORVEX_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(ORVEX_DEBIAN_LAYOUT)
    set(ORVEX_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
    file(RELATIVE_PATH ORVEX_PC_TO_PREFIX /${ORVEX_PC_DIR} /)
    string(REGEX REPLACE "/$" "" ORVEX_PC_TO_PREFIX "${ORVEX_PC_TO_PREFIX}")
    set(ORVEX_PC_PREFIX "\${pcfiledir}/${ORVEX_PC_TO_PREFIX}")
endif()
configure_file(cmake/orvex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/orvex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvex.pc DESTINATION ${ORVEX_PC_DIR})

set(ORVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)
install(EXPORT orvexTargets NAMESPACE orvex:: DESTINATION ${ORVEX_CMAKE_DIR})
configure_package_config_file(cmake/orvexConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/orvexConfig.cmake
    INSTALL_DESTINATION ${ORVEX_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/orvexConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/orvexConfigVersion.cmake
    DESTINATION ${ORVEX_CMAKE_DIR})

# Documentation and examples.
install(FILES README.md packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
file(GLOB ORVEX_GALLERY CONFIGURE_DEPENDS docs/*.png docs/*.gif)
install(FILES ${ORVEX_GALLERY} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
file(GLOB ORVEX_EXAMPLES CONFIGURE_DEPENDS examples/*.scn examples/*.ini examples/*.gif examples/*.png)
install(FILES ${ORVEX_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
file(GLOB ORVEX_REPLAY_TURNS CONFIGURE_DEPENDS examples/replay/*.scn)
install(FILES ${ORVEX_REPLAY_TURNS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/replay)
install(FILES examples/embed/README.md examples/embed/Makefile examples/embed/CMakeLists.txt
              examples/embed/render_maps.cpp examples/embed/image_map.cpp examples/embed/scenario_files.h
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/embed)

if(ORVEX_DEBIAN_LAYOUT)
    # Debian wants manual pages and changelogs gzipped with the most
    # compression and no name or time stamp in the gzip header.
    set(ORVEX_DEBIAN_DOCS ${CMAKE_CURRENT_BINARY_DIR}/debian-docs)
    add_custom_command(
        OUTPUT ${ORVEX_DEBIAN_DOCS}/orvex.1.gz ${ORVEX_DEBIAN_DOCS}/orvex-replay.1.gz ${ORVEX_DEBIAN_DOCS}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVEX_DEBIAN_DOCS}
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/orvex.1 > ${ORVEX_DEBIAN_DOCS}/orvex.1.gz
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/orvex-replay.1 > ${ORVEX_DEBIAN_DOCS}/orvex-replay.1.gz
        COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${ORVEX_DEBIAN_DOCS}/changelog.gz
        DEPENDS docs/orvex.1 docs/orvex-replay.1 packaging/changelog
        VERBATIM)
    add_custom_target(orvex_debian_docs ALL DEPENDS
        ${ORVEX_DEBIAN_DOCS}/orvex.1.gz ${ORVEX_DEBIAN_DOCS}/orvex-replay.1.gz ${ORVEX_DEBIAN_DOCS}/changelog.gz)
    # As Debian's dh_strip does: the compiler's .comment section out of the
    # programs (CPack strips the rest).
    foreach(program orvex orvex-replay)
        install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" COMMAND_ERROR_IS_FATAL ANY)")
    endforeach()
    install(FILES ${ORVEX_DEBIAN_DOCS}/orvex.1.gz ${ORVEX_DEBIAN_DOCS}/orvex-replay.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${ORVEX_DEBIAN_DOCS}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
    install(FILES docs/orvex.1 docs/orvex-replay.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
