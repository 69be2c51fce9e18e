# The menu library's painters, themes and menu hook: painters on DIB sections, themes on stand-in
# windows, the hook on real popup menus; and a picture of every theme's items for the eye.
set(menupaint_support menupaint/MenuCanvas.cpp menupaint/MenuTestSupport.cpp menupaint/PngFile.cpp)
sequora_test(test_menu_themes SOURCES menupaint/test_menu_themes.cpp ${menupaint_support} LIBS traymenu)
target_include_directories(test_menu_themes PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menupaint)
