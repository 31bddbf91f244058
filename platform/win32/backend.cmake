# The Win32 back end and the real Windows services (qm_win32), the program's resources, and
# Quietus.exe. Included from this folder's CMakeLists.txt.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The icons are drawn by a script at build time; no binary icon is kept in the tree.
set(QM_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(QM_ICONS ${QM_ICON_DIR}/running.ico ${QM_ICON_DIR}/paused.ico)
add_custom_command(
  OUTPUT ${QM_ICONS}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make-icons.py ${QM_ICON_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-icons.py
  COMMENT "Drawing the traffic-light icons")
add_custom_target(qm_icons DEPENDS ${QM_ICONS})

add_library(qm_win32 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/icons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_painting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_keys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_accessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_end.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_shortcut.cpp
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tray_icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_watcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/real_time_alarm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/console.cpp)
qm_warnings(qm_win32)
target_compile_definitions(qm_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(qm_win32 PUBLIC qm_ui qm_os comctl32 shell32 ole32 uuid gdi32 user32 advapi32)

# Manifest, version and icons: linked into the program and into the Windows tests alike, so the
# tests see the same common controls and icons as the program. The version in both is the
# project's (PROJECT_VERSION), written in when the build is configured.
set(QM_RESOURCE_DIR ${CMAKE_CURRENT_BINARY_DIR}/resources)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quietus.rc.in ${QM_RESOURCE_DIR}/quietus.rc @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quietus.manifest.in ${QM_RESOURCE_DIR}/quietus.manifest @ONLY)
add_library(qm_win32_resources OBJECT ${QM_RESOURCE_DIR}/quietus.rc)
target_include_directories(qm_win32_resources PRIVATE ${QM_ICON_DIR} ${QM_RESOURCE_DIR})
set_source_files_properties(${QM_RESOURCE_DIR}/quietus.rc PROPERTIES
  OBJECT_DEPENDS "${QM_ICONS};${QM_RESOURCE_DIR}/quietus.manifest")
add_dependencies(qm_win32_resources qm_icons)

# Quietus.exe: a GUI program, linked statically so that it needs no DLL beyond Windows' own.
# qm_program (forms/ and app/) is defined later in the tree; CMake resolves it at generation.
add_executable(Quietus WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp $<TARGET_OBJECTS:qm_win32_resources>)
qm_warnings(Quietus)
set_target_properties(Quietus PROPERTIES OUTPUT_NAME Quietus)
target_link_options(Quietus PRIVATE -municode -s -Wl,--gc-sections)
target_link_libraries(Quietus PRIVATE qm_program qm_command_line qm_win32)

# The package: cmake --install build/<preset> --prefix dist/<win32|win64> lays out Quietus.exe,
# Readme.txt, LICENSE and Help/Help.htm. The text files are written as Notepad reads them on any
# Windows.
set(QM_README ${CMAKE_CURRENT_BINARY_DIR}/Readme.txt)
set(QM_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE)
add_custom_command(
  OUTPUT ${QM_README}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/windows-text.py
          ${PROJECT_SOURCE_DIR}/package/Readme.txt ${QM_README}
  DEPENDS ${PROJECT_SOURCE_DIR}/package/Readme.txt ${PROJECT_SOURCE_DIR}/scripts/windows-text.py
  COMMENT "Writing Readme.txt for Windows")
add_custom_command(
  OUTPUT ${QM_LICENSE}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/windows-text.py
          ${PROJECT_SOURCE_DIR}/LICENSE ${QM_LICENSE}
  DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/scripts/windows-text.py
  COMMENT "Writing LICENSE for Windows")
add_custom_target(qm_readme ALL DEPENDS ${QM_README} ${QM_LICENSE})
install(TARGETS Quietus RUNTIME DESTINATION .)
install(FILES ${QM_README} ${QM_LICENSE} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/package/Help/Help.htm DESTINATION Help)

# The same folder as QuietusMachine-<version>-<win32|win64>.zip in build/<preset>/package, made by
# the `package` target: unzipped it is a folder of that name, the program folder.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QM_WINDOWS_PACKAGE win64)
else()
  set(QM_WINDOWS_PACKAGE win32)
endif()
set(QM_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME QuietusMachine)
set(CPACK_PACKAGE_FILE_NAME "QuietusMachine-${PROJECT_VERSION}-${QM_WINDOWS_PACKAGE}")
set(CPACK_PACKAGE_DIRECTORY ${QM_PACKAGE_DIR})
include(CPack)

# And QuietusMachine-<version>-<win32|win64>.msi beside it, made by the `msi` target with msitools'
# wixl (scripts/make-msi.sh, package/windows/QuietusMachine.wxs) from the installed folder.
set(QM_MSI_STAGE ${CMAKE_BINARY_DIR}/msi-stage)
add_custom_target(msi
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QM_MSI_STAGE}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${QM_MSI_STAGE}
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-msi.sh
          ${QM_MSI_STAGE} ${PROJECT_VERSION} ${QM_WINDOWS_PACKAGE} ${QM_PACKAGE_DIR}
  COMMENT "Building QuietusMachine-${PROJECT_VERSION}-${QM_WINDOWS_PACKAGE}.msi"
  VERBATIM)
add_dependencies(msi Quietus qm_readme)
