option(TOLVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TOLVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz targets need the coverage of the code they drive: every object of a fuzz build is
# instrumented for libFuzzer; only the fuzz programs themselves link its main().
if(TOLVANE_BUILD_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
