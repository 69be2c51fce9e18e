# The application: Lumetta's about box and link labels in process, on the program's own
# resources; its helpers (the Brixom search, the log-on start value, the USB count) and its hidden
# dialog in process; and the built program driven from outside.
if(TARGET lumetta_core AND TARGET fennick_by_name)
    set(lumetta_rc_depends ${LUMETTA_RESOURCES_DIR}/Lumetta.rc ${LUMETTA_RESOURCES_DIR}/resource.h
        ${LUMETTA_RESOURCES_DIR}/Lumetta.manifest)
    set_property(SOURCE app/test_lumetta.rc APPEND PROPERTY OBJECT_DEPENDS ${lumetta_rc_depends})

    sequora_test(test_lumetta_about SOURCES app/test_about_box.cpp app/test_lumetta.rc
        LIBS lumetta_core fennick_by_name)
    sequora_carry(test_lumetta_about RC app/test_lumetta.rc TARGETS lumetta_art recorder FILES ${LUMETTA_ART_FILES})
    target_include_directories(test_lumetta_about PRIVATE ${LUMETTA_RESOURCES_DIR})

    sequora_test(test_lumetta_parts SOURCES app/test_lumetta_parts.cpp LIBS lumetta_core fennick_by_name)
    add_dependencies(test_lumetta_parts recorder peerwindow)
endif()

if(TARGET Lumetta)
    sequora_test(test_lumetta_dialog
        SOURCES app/test_lumetta_dialog.cpp app/test_lumetta.rc ${CMAKE_SOURCE_DIR}/tests/outside/TavrinFixture.cpp
        LIBS lumetta_core tavrin_by_ordinal fennick_by_name)
    sequora_carry(test_lumetta_dialog RC app/test_lumetta.rc TARGETS lumetta_art recorder peerwindow
        FILES ${LUMETTA_ART_FILES})
    target_include_directories(test_lumetta_dialog PRIVATE ${LUMETTA_RESOURCES_DIR}
        ${CMAKE_SOURCE_DIR}/tests/outside ${CMAKE_SOURCE_DIR}/outside/tavrin)

    sequora_test(test_lumetta_program SOURCES app/test_lumetta_program.cpp TIMEOUT 240)
    target_include_directories(test_lumetta_program PRIVATE ${LUMETTA_RESOURCES_DIR})
    add_dependencies(test_lumetta_program Lumetta recorder peerwindow)
endif()
