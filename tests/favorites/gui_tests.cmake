# The Favorites dialog, the Favorites popup, the resizable-dialog grip and the About box on a display (Xvfb).
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)

set(FAVORITES_GUI_SOURCES
    gui_main.cpp
    gui_environment.cpp
    favorites_dialog_gui_test.cpp
    favorites_popup_gui_test.cpp
    about_box_gui_test.cpp
    ${DEALSCOPE_SRC}/app/window/favorites_dialog.cpp
    ${DEALSCOPE_SRC}/app/window/favorites_popup.cpp
    ${DEALSCOPE_SRC}/app/window/size_box_window.cpp
    ${DEALSCOPE_SRC}/app/window/about_box.cpp
    ${DEALSCOPE_SRC}/app/favorites.cpp
    ${DEALSCOPE_SRC}/app/favorites_menu.cpp
    ${DEALSCOPE_SRC}/app/favorites_order.cpp
    ${DEALSCOPE_SRC}/app/size_box.cpp
    ${DEALSCOPE_SRC}/app/dialog_state.cpp
    ${DEALSCOPE_SRC}/conversion/version_info.cpp)

# Not dealscope_add_test_suite: this suite has its own main (it starts wxWidgets) and needs its environment.
add_executable(favorites_gui_tests ${FAVORITES_GUI_SOURCES})
target_link_libraries(favorites_gui_tests PRIVATE GTest::gtest dealscope_platform ${wxWidgets_LIBRARIES})
target_include_directories(favorites_gui_tests SYSTEM PRIVATE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(favorites_gui_tests PRIVATE ${wxWidgets_DEFINITIONS}
    DEALSCOPE_TEST_DATA="${DEALSCOPE_TEST_DATA}")
target_compile_options(favorites_gui_tests PRIVATE ${wxWidgets_CXX_FLAGS_LIST})

# The version the About box must show, worked out here from the project version: major.minor, then the build
# and revision numbers when they are not zero.
set(FAVORITES_EXPECTED_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
if(PROJECT_VERSION_TWEAK)
    string(APPEND FAVORITES_EXPECTED_VERSION ".${PROJECT_VERSION_PATCH}.${PROJECT_VERSION_TWEAK}")
elseif(PROJECT_VERSION_PATCH)
    string(APPEND FAVORITES_EXPECTED_VERSION ".${PROJECT_VERSION_PATCH}")
endif()
set_source_files_properties(about_box_gui_test.cpp PROPERTIES COMPILE_DEFINITIONS
    "EXPECTED_VERSION_LINE=\"Dealscope, Version ${FAVORITES_EXPECTED_VERSION}\"")
get_source_file_property(FAVORITES_VERSION_DEFS ${DEALSCOPE_SRC}/conversion/version_info.cpp
    DIRECTORY ${DEALSCOPE_SRC}/conversion COMPILE_DEFINITIONS)
set_source_files_properties(${DEALSCOPE_SRC}/conversion/version_info.cpp PROPERTIES COMPILE_DEFINITIONS
    "${FAVORITES_VERSION_DEFS}")

# The display environment and the leak suppressions for GTK and the libraries under it: gui_environment.cpp.
gtest_discover_tests(favorites_gui_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS gui)

# The popup and commands in the real page window, driven as the window's own tests drive it.
if(TARGET dealscope_window_core AND EXISTS ${PROJECT_SOURCE_DIR}/tests/app/window_driver.cpp)
    find_package(Threads REQUIRED)
    add_executable(favorites_window_tests favorites_window_gui_test.cpp gui_environment.cpp
        ${PROJECT_SOURCE_DIR}/tests/app/window_driver.cpp ${PROJECT_SOURCE_DIR}/tests/app/test_http_server.cpp)
    target_include_directories(favorites_window_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/app)
    target_link_libraries(favorites_window_tests PRIVATE dealscope_window_core GTest::gtest GTest::gtest_main
        Threads::Threads)
    target_compile_definitions(favorites_window_tests PRIVATE DEALSCOPE_TEST_DATA="${DEALSCOPE_TEST_DATA}"
        DEALSCOPE_PROGRAM="$<TARGET_FILE:dealscope>" DEALSCOPE_STANDIN="$<TARGET_FILE:tricksmith-standin>")
    add_dependencies(favorites_window_tests dealscope tricksmith-standin)
    gtest_discover_tests(favorites_window_tests DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS gui TIMEOUT 300)
endif()
