# The menu library's core: items and their records, loading and rebuilding, popups, lookups,
# colours and the version code (also as a program under Wine's per-program version setting).
add_executable(menuversion WIN32 menu/menuversion.cpp)
set_target_properties(menuversion PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TEST_BIN_DIR})
target_link_libraries(menuversion PRIVATE traymenu)
sequora_test(test_menu_core SOURCES menu/test_menu_core.cpp menu/test_menu_colors.cpp menu/test_menu_core.rc
    LIBS traymenu)
add_dependencies(test_menu_core menuversion)
