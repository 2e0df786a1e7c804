# chanwright_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One QtTest executable per area, run headless with its own temporary home, so no test touches
# the real user's settings or files.
function(chanwright_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} test_support Qt6::Test)
    target_compile_definitions(${T_NAME} PRIVATE
        CHANWRIGHT_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(home "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.home")
    file(MAKE_DIRECTORY "${home}")
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "${T_LABELS}"
        TIMEOUT 600
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;XDG_CACHE_HOME=${home}/cache")
endfunction()
