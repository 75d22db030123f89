# tolvane_program(target "description"): what a program needs on Windows: wmain() for arguments
# in UTF-16 (-municode), and a resource with the version and the icon. Nothing elsewhere.
set(TOLVANE_ICON ${CMAKE_SOURCE_DIR}/src/app/images/tolvane.ico)

function(tolvane_program target description)
    if(NOT WIN32)
        return()
    endif()
    set(TOLVANE_RC_NAME ${target})
    set(TOLVANE_RC_DESCRIPTION ${description})
    set(TOLVANE_RC_ICON ${TOLVANE_ICON})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/windows/program.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    target_link_options(${target} PRIVATE -municode)
endfunction()
