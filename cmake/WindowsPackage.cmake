# The Windows package (the mingw preset): a folder to unpack anywhere and run from.
#
#   cd build/mingw && cpack -G ZIP      # tolvane-cli-<version>-windows-x64.zip
#
# The programs with the Define folder beside them (where they look for it, base/uniPaths), the
# samples, a Japanese README.txt and the licence, both with CR LF; README.txt is UTF-8 with a
# byte-order mark, so that Notepad shows it as such.
install(TARGETS tolvane-cli tolvane-gen RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/Define/ DESTINATION Define)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/samples/ DESTINATION samples)

configure_file(${CMAKE_SOURCE_DIR}/dist/windows/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/LICENSE.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tolvane-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tolvane Converter developers")
set(CPACK_PACKAGE_FILE_NAME tolvane-cli-${PROJECT_VERSION}-windows-x64)
set(CPACK_STRIP_FILES ON)
include(CPack)
