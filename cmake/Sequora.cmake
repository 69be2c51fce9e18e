# Helpers every folder uses to declare its deliverables and tests.
set(SEQUORA_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

set(SEQUORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix the tests run in")

# Test programs run through Wine; ctest prefixes every test command that is one of our targets.
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-exec.in ${CMAKE_BINARY_DIR}/wine-exec @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec)

# A Windows program of the suite, written into the program folder (or a sub-folder of it).
#   sequora_program(Brixom [CONSOLE] [OUTPUT_NAME name] [SUBDIR dir] SOURCES ...)
function(sequora_program target)
    cmake_parse_arguments(P "CONSOLE" "OUTPUT_NAME;SUBDIR" "SOURCES" ${ARGN})
    if(P_CONSOLE)
        add_executable(${target} ${P_SOURCES})
    else()
        add_executable(${target} WIN32 ${P_SOURCES})
    endif()
    set(dir ${PROGRAM_DIR})
    if(P_SUBDIR)
        set(dir ${PROGRAM_DIR}/${P_SUBDIR})
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
    if(P_OUTPUT_NAME)
        set_target_properties(${target} PROPERTIES OUTPUT_NAME ${P_OUTPUT_NAME})
    endif()
endfunction()

# Built small, for the files copied onto every USB drive: optimised for size, unused code and
# symbols dropped, and the C++ library's error reports without their string and demangler code.
# THREAD_SUPPORT also serves the runtime's few pthread calls itself (cmake/SmallThreadSupport.cpp)
# in place of the winpthread library; only for a file whose own code needs no more of it (no
# threads, no thread-safe statics: -fno-threadsafe-statics).
#   sequora_small(Agent [THREAD_SUPPORT])
function(sequora_small target)
    cmake_parse_arguments(S "THREAD_SUPPORT" "" "" ${ARGN})
    target_sources(${target} PRIVATE ${SEQUORA_CMAKE_DIR}/SmallRuntime.cpp)
    if(S_THREAD_SUPPORT)
        target_sources(${target} PRIVATE ${SEQUORA_CMAKE_DIR}/SmallThreadSupport.cpp)
    endif()
    target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
    target_link_options(${target} PRIVATE -Wl,--gc-sections -s)
endfunction()

# A DLL of the suite, written into the program folder without the "lib" prefix.
#   sequora_dll(Tavrin DEF Tavrin.def SOURCES ...)
function(sequora_dll target)
    cmake_parse_arguments(P "" "DEF" "SOURCES" ${ARGN})
    add_library(${target} SHARED ${P_SOURCES} ${P_DEF})
    set_target_properties(${target} PROPERTIES
        PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${PROGRAM_DIR} ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# Lets a program carry other built files as resources: its .rc names them by file name and finds
# them through the include path; the carried targets are built first and a change to them re-runs
# the resource compiler.
#   sequora_carry(Brixom RC resources/wizard/Brixom.rc TARGETS Agent FILES ${PROGRAM_DIR}/Agent.exe)
function(sequora_carry target)
    cmake_parse_arguments(P "" "RC" "TARGETS;FILES" ${ARGN})
    if(P_TARGETS)
        add_dependencies(${target} ${P_TARGETS})
    endif()
    set(dirs "")
    foreach(f ${P_FILES})
        get_filename_component(d ${f} DIRECTORY)
        list(APPEND dirs ${d})
    endforeach()
    list(REMOVE_DUPLICATES dirs)
    set_property(SOURCE ${P_RC} APPEND PROPERTY OBJECT_DEPENDS ${P_FILES})
    target_include_directories(${target} PRIVATE ${dirs})
endfunction()

# A GoogleTest program run under Wine by ctest. Tests share one Wine prefix, drive letters and the
# outside libraries' state, so they run one at a time unless marked PARALLEL.
#   sequora_test(test_name SOURCES ... [LIBS ...] [PARALLEL] [TIMEOUT seconds] [GUI])
function(sequora_test name)
    cmake_parse_arguments(T "PARALLEL;NO_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TEST_BIN_DIR})
    target_link_libraries(${name} PRIVATE harness ${T_LIBS})
    if(T_NO_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 180)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(NOT T_PARALLEL)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
    endif()
endfunction()

# A test written as a shell script (objdump checks, roads that need a second Wine prefix).
#   sequora_script_test(name script.sh [args...])
function(sequora_script_test name script)
    add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK wineprefix
        ENVIRONMENT "SEQUORA_BUILD_DIR=${CMAKE_BINARY_DIR};SEQUORA_PROGRAM_DIR=${PROGRAM_DIR};SEQUORA_SOURCE_DIR=${CMAKE_SOURCE_DIR};SEQUORA_OBJDUMP=${CMAKE_OBJDUMP};SEQUORA_WINE_EXEC=${CMAKE_BINARY_DIR}/wine-exec")
endfunction()

# Artwork drawn at build time by a small program of ours, built for and run on the build host with
# the canvas of resources/art; `target` depends on the drawn files.
#   sequora_host_art(brixom_art SOURCE MakeWizardArt.cpp OUTDIR ${dir} OUTPUTS ${dir}/a.bmp ...
#                    [INCLUDES dir...] [DEPENDS header...])
find_program(HOST_CXX NAMES g++ c++ clang++ REQUIRED)
function(sequora_host_art target)
    cmake_parse_arguments(A "" "SOURCE;OUTDIR" "OUTPUTS;INCLUDES;DEPENDS" ${ARGN})
    get_filename_component(tool ${A_SOURCE} NAME_WE)
    set(exe ${A_OUTDIR}/${tool})
    set(includes -I${CMAKE_SOURCE_DIR}/resources/art)
    foreach(dir ${A_INCLUDES})
        list(APPEND includes -I${dir})
    endforeach()
    add_custom_command(OUTPUT ${exe}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${A_OUTDIR}
        COMMAND ${HOST_CXX} -std=c++17 -O2 ${includes} -o ${exe} ${A_SOURCE}
        DEPENDS ${A_SOURCE} ${CMAKE_SOURCE_DIR}/resources/art/ArtImage.h ${A_DEPENDS}
        COMMENT "Building ${tool} for the build host")
    add_custom_command(OUTPUT ${A_OUTPUTS}
        COMMAND ${exe} ${A_OUTDIR}
        DEPENDS ${exe}
        COMMENT "Drawing with ${tool}")
    add_custom_target(${target} DEPENDS ${A_OUTPUTS})
endfunction()
