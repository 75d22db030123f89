# Warning sets: strict for the product, -Wall -Wextra for tests.
set(TOLVANE_STRICT_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2 -Wcast-qual)
set(TOLVANE_TEST_WARNINGS -Wall -Wextra)

function(tolvane_strict_warnings target)
    target_compile_options(${target} PRIVATE ${TOLVANE_STRICT_WARNINGS})
    if(TOLVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

function(tolvane_test_warnings target)
    target_compile_options(${target} PRIVATE ${TOLVANE_TEST_WARNINGS})
    if(TOLVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
