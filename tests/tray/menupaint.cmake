# The menu library's painters, themes and menu hook: painters on DIB sections, themes on stand-in
# windows, the hook on real popup menus; and a picture of every theme's items for the eye.
set(menupaint_support menupaint/MenuCanvas.cpp menupaint/MenuTestSupport.cpp menupaint/PngFile.cpp)
sequora_test(test_menu_themes SOURCES menupaint/test_menu_themes.cpp ${menupaint_support} LIBS traymenu)
target_include_directories(test_menu_themes PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menupaint)
sequora_test(test_menu_painters SOURCES menupaint/test_menu_painters.cpp ${menupaint_support} LIBS traymenu)
target_include_directories(test_menu_painters PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menupaint)
sequora_test(test_menu_hook SOURCES menupaint/test_menu_hook.cpp ${menupaint_support} LIBS traymenu)
target_include_directories(test_menu_hook PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menupaint)
# Not a check of the looks: the picture is for the eye (build/<arch>/menu_gallery.png).
sequora_test(menu_gallery SOURCES menupaint/menu_gallery.cpp ${menupaint_support} LIBS traymenu)
target_include_directories(menu_gallery PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menupaint)
