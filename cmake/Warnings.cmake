# Warning sets: strict for the product, -Wall -Wextra for tests (GCC, Clang and MinGW; /W4 for
# Microsoft's compiler).
if(MSVC)
    set(TOLVANE_STRICT_WARNINGS /W4 /permissive-)
    set(TOLVANE_TEST_WARNINGS /W3)
    set(TOLVANE_WERROR_FLAG /WX)
else()
    set(TOLVANE_STRICT_WARNINGS
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
        -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2 -Wcast-qual)
    set(TOLVANE_TEST_WARNINGS -Wall -Wextra)
    set(TOLVANE_WERROR_FLAG -Werror)
endif()

function(tolvane_strict_warnings target)
    target_compile_options(${target} PRIVATE ${TOLVANE_STRICT_WARNINGS})
    if(TOLVANE_WERROR)
        target_compile_options(${target} PRIVATE ${TOLVANE_WERROR_FLAG})
    endif()
endfunction()

function(tolvane_test_warnings target)
    target_compile_options(${target} PRIVATE ${TOLVANE_TEST_WARNINGS})
    if(TOLVANE_WERROR)
        target_compile_options(${target} PRIVATE ${TOLVANE_WERROR_FLAG})
    endif()
endfunction()
