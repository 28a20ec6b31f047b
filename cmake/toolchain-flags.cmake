# Compiler settings of the two trees.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(WIN32)
    set(VANTRELL_WIN ON)
    # Narrow Win32, 64-bit; everything linked statically so dist/ needs nothing beside the programs.
    add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0700 STRICT NOMINMAX WIN32_LEAN_AND_MEAN)
    add_link_options(-static -static-libgcc -static-libstdc++)
    if(NOT LIBJPEG_WIN_PREFIX)
        message(FATAL_ERROR "LIBJPEG_WIN_PREFIX must name the mingw libjpeg-turbo install")
    endif()
    add_library(jpeg STATIC IMPORTED GLOBAL)
    set_target_properties(jpeg PROPERTIES
        IMPORTED_LOCATION ${LIBJPEG_WIN_PREFIX}/lib/libjpeg.a
        INTERFACE_INCLUDE_DIRECTORIES ${LIBJPEG_WIN_PREFIX}/include)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
else()
    set(VANTRELL_WIN OFF)
    find_package(JPEG REQUIRED)
    add_library(jpeg INTERFACE IMPORTED GLOBAL)
    target_link_libraries(jpeg INTERFACE JPEG::JPEG)
    if(VANTRELL_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()
