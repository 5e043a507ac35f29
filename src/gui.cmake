# The windows: Qt 6 Widgets over the core. Included from src/CMakeLists.txt when
# TARNWICK_BUILD_GUI is on.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

# The main window keeps itself off the taskbar through the X11 window-manager hints when
# the xcb headers are at hand; without them it simply has a taskbar button.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND AND UNIX AND NOT APPLE)
    pkg_check_modules(TARNWICK_XCB QUIET IMPORTED_TARGET xcb)
endif()

add_library(tarnwick_gui STATIC
    app/ClickableLabel.cpp
    app/ClickableLabel.h
    app/Desktop.cpp
    app/Desktop.h
    app/DocAbout.cpp
    app/DocAbout.h
    app/FrmMain.cpp
    app/FrmMain.h
    app/OpenFileDialog.cpp
    app/OpenFileDialog.h
    app/TaskbarHint.cpp
    app/TaskbarHint.h
    app/WindowLook.cpp
    app/WindowLook.h
    export/FrmConversion.cpp
    export/FrmConversion.h
    shell/ShellServices.cpp
    shell/ShellServices.h
    ${PROJECT_SOURCE_DIR}/assets/tarnwick.qrc
)
set_target_properties(tarnwick_gui PROPERTIES AUTOMOC ON AUTORCC ON)
target_include_directories(tarnwick_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tarnwick_gui PUBLIC tarnwick_core Qt6::Widgets PRIVATE tarnwick_flags)
if(TARGET PkgConfig::TARNWICK_XCB)
    target_link_libraries(tarnwick_gui PRIVATE PkgConfig::TARNWICK_XCB)
    target_compile_definitions(tarnwick_gui PRIVATE TARNWICK_HAVE_XCB=1)
endif()

add_executable(tarnwick app/main.cpp)
set_target_properties(tarnwick PROPERTIES WIN32_EXECUTABLE ON)
target_link_libraries(tarnwick PRIVATE tarnwick_gui tarnwick_flags)

# "Contents" opens the help document from the program's own folder, so it travels with
# the executable in the build tree as well as when installed.
set(TARNWICK_HELP_DOCUMENT ${PROJECT_SOURCE_DIR}/docs/help/Help.html)
add_custom_command(TARGET tarnwick POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TARNWICK_HELP_DOCUMENT} $<TARGET_FILE_DIR:tarnwick>/Help.html
    VERBATIM)
include(GNUInstallDirs)
install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TARNWICK_HELP_DOCUMENT} DESTINATION ${CMAKE_INSTALL_BINDIR})

# How long the window takes to scan a book, for comparison with tarnwick-cli; run by the
# benchmark script, so it is built with everything else.
add_executable(tarnwick-window-scan-bench ${PROJECT_SOURCE_DIR}/bench/WindowScanBench.cpp)
target_link_libraries(tarnwick-window-scan-bench PRIVATE tarnwick_gui tarnwick_flags)
