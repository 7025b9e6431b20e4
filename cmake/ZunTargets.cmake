# Helpers that keep each folder's CMakeLists short: a library is every .cpp of its folder, a test
# executable is every .cpp of its test folder.

# zun_core_library(NAME DIR [DEPS ...]): a library without Qt. A Qt include in it fails to compile
# because no Qt include path is ever given to it.
function(zun_core_library name dir)
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
    if(srcs)
        add_library(${name} STATIC ${srcs})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARGN})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
endfunction()

# zun_ui_library(NAME DIR [DEPS ...]): window classes, with Qt Widgets and automoc.
function(zun_ui_library name dir)
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    if(srcs)
        add_library(${name} STATIC ${srcs})
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARGN})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE Qt6::Widgets ${ARGN})
    endif()
endfunction()

# The longest a test of each label may run before ctest stops it: a hung test fails on its own
# instead of holding up the run.
function(zun_test_timeout label out)
    if(label STREQUAL "corpus")
        set(${out} 900 PARENT_SCOPE)
    elseif(label STREQUAL "e2e")
        set(${out} 300 PARENT_SCOPE)
    else()
        set(${out} 120 PARENT_SCOPE)
    endif()
endfunction()

# zun_test(NAME DIR LABEL [DEPS ...]): one GoogleTest executable of every .cpp in DIR, registered
# with CTest under LABEL. Test sources find their fixtures through ZUN_TEST_DATA and the shared
# HDL corpus through ZUN_CORPUS_DIR.
function(zun_test name dir label)
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT srcs)
        return()
    endif()
    add_executable(${name} ${srcs})
    # A folder with its own main.cpp (the window tests make a QApplication there) does without
    # gtest_main.
    if(EXISTS ${dir}/main.cpp)
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${ARGN})
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main ${ARGN})
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    # The random drivers run longer where the sanitizers watch them.
    if(ZUN_SANITIZE)
        target_compile_definitions(${name} PRIVATE ZUN_LONG_RANDOM_RUNS)
    endif()
    target_compile_definitions(${name} PRIVATE
        ZUN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        ZUN_CORPUS_DIR="${ZUN_CORPUS_DIR}"
        ZUN_BUILD_DIR="${PROJECT_BINARY_DIR}")
    zun_test_timeout(${label} timeout)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
        PROPERTIES LABELS ${label} TIMEOUT ${timeout} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
