# The tray icon and window subclassing.
sequora_test(test_traywnd SOURCES traywnd/test_traywnd.cpp LIBS traywnd)
