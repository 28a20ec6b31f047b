# Helpers every folder uses, so that adding a source or a test file needs no CMake edit.

# vantrell_library(NAME DIR [LIBS ...]): a static library of every .cpp in DIR.
function(vantrell_library name dir)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)  # a folder whose code is still to come
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARGN})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# vantrell_tests(NAME DIR MAIN [LIBS ...]): one test executable of every .cpp in DIR,
# run by ctest (under Wine in the Windows tree, through the crosscompiling emulator).
function(vantrell_tests name dir main)
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${main} GTest::gmock ${ARGN})
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${CMAKE_BINARY_DIR}/test-results/${name}.xml)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
