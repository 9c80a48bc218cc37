# The Windows build's own tests, run under Wine beside the suites every build runs:
# the DLL's checks, a Windows host, and the transcript. Included by the tests'
# CMakeLists.txt in place of its Linux-only list.

# The DLL itself: a PE32 image for i386 whose export table holds the fifteen names and
# whose imports are system DLLs.
find_program(KORVAN_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)
add_test(NAME exports COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/abi/check_exports_pe.sh ${KORVAN_OBJDUMP}
  $<TARGET_FILE:korvan_drv>)
add_test(NAME target COMMAND sh -c "${KORVAN_OBJDUMP} -f \"$1\" | grep -q 'file format pei-i386' && echo \"$1: pei-i386\""
  sh $<TARGET_FILE:korvan_drv>)

# A host's own C and C++ files with the whole of the system's headers and the driver's
# in either order, built with __stdcall as their default (as with /Gz), linked to the
# DLL by its import library, each calling every entry point.
foreach(order windows_first header_first)
  add_library(header_host_${order} OBJECT windows/header_host.c windows/header_host.cpp)
  target_include_directories(header_host_${order} PRIVATE ${PROJECT_SOURCE_DIR}/include)
  target_compile_options(header_host_${order} PRIVATE -mrtd)
  if(order STREQUAL "header_first")
    target_compile_definitions(header_host_${order} PRIVATE KORVAN_HEADER_FIRST)
  endif()
endforeach()
add_executable(windows_header_test windows/header_host_main.cpp)
target_include_directories(windows_header_test PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(windows_header_test PRIVATE header_host_windows_first header_host_header_first korvan_drv)
set_target_properties(windows_header_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_test(NAME windows_header_test COMMAND windows_header_test)

# A Windows host written from the Windows ABI page: the DLL through LoadLibraryW, and
# through COM ports whose other ends are simulated drives of the Linux build
# (KORVAN_LINUX_BUILD; `make test-windows` names it). The scripted host session plays
# through this build with its drive on the Linux side, and must write the Linux
# build's transcript.
korvan_test(windows_host_test SOURCES windows/windows_host_test.cpp LIBS korvan_hostkit oleaut32)
add_dependencies(windows_host_test korvan_drv)
# The configuration's Chinese names where the system's default code page is not 936.
add_test(NAME windows_host_other_code_page_test COMMAND windows_host_test --gtest_filter=WindowsHost.TheBlob*)
set_tests_properties(windows_host_other_code_page_test PROPERTIES
  ENVIRONMENT "KORVAN_DRIVER=$<TARGET_FILE:korvan_drv>;LC_ALL=en_US.UTF-8;KORVAN_OTHER_CODE_PAGE=1")
set(KORVAN_LINUX_BUILD "" CACHE PATH "The Linux build folder, with korvan-sim and korvan-transcript")
if(KORVAN_LINUX_BUILD)
  add_test(NAME windows_host_com_test COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/com_ports.sh
    ${KORVAN_LINUX_BUILD}/korvan-sim ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:windows_host_test>
    --gtest_filter=ComPortHost.*)
  add_test(NAME transcript COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/transcript.sh ${KORVAN_LINUX_BUILD}
    ${PROJECT_BINARY_DIR})
  set_tests_properties(windows_host_com_test transcript PROPERTIES TIMEOUT 120
    ENVIRONMENT "KORVAN_DRIVER=$<TARGET_FILE:korvan_drv>")
  # korvan-host.exe as a person runs it, with the driver and the catalog beside it.
  add_test(NAME korvan_host_exe_test COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows/korvan_host.sh
    ${KORVAN_LINUX_BUILD}/korvan-sim $<TARGET_FILE:korvan-host>)
  set_tests_properties(korvan_host_exe_test PROPERTIES TIMEOUT 120)
endif()

# korvan-host's archive saves while another program holds the archive a moment.
korvan_test(windows_archive_held_test SOURCES windows/archive_held_test.cpp
  ${PROJECT_SOURCE_DIR}/tools/korvan-host/archive/archive_file.cpp ${PROJECT_SOURCE_DIR}/tools/korvan-host/archive/archive_file_win.cpp
  ${PROJECT_SOURCE_DIR}/tools/korvan-host/archive/archive_format.cpp ${PROJECT_SOURCE_DIR}/tools/korvan-host/windows_system_win.cpp
  LIBS korvan_hostkit)

# The built driver where no window can open: Wine without a display, whatever the
# session around it has.
set_property(TEST dialog_driver_test APPEND PROPERTY ENVIRONMENT "DISPLAY=")

# The dialogs: the DLL's resources read back against the resource script, and the
# channel dialog as the DLL shows it under Xvfb, on a Wine desktop of the test's own,
# under a time limit (a dialog left open must not hold the suite).
korvan_test(windows_resources_test SOURCES windows/dialog_resources_test.cpp
  LIBS korvan_hostkit korvan_rc_compiler version)
target_compile_definitions(windows_resources_test PRIVATE
  KORVAN_RESOURCE_SCRIPT="${PROJECT_SOURCE_DIR}/resources/korvan.rc" KORVAN_VERSION="${PROJECT_VERSION}"
  KORVAN_HOST_PROGRAM="$<TARGET_FILE:korvan-host>")
add_dependencies(windows_resources_test korvan_drv korvan-host)

add_library(korvan_win_driving STATIC windows/win_driving.cpp)
target_include_directories(korvan_win_driving PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvan_win_driving PUBLIC comctl32 gdiplus)
add_executable(windows_dialog_test windows/dialog_test.cpp)
target_link_libraries(windows_dialog_test PRIVATE korvan_hostkit korvan_win_driving GTest::gtest_main)
target_compile_definitions(windows_dialog_test PRIVATE KORVAN_BUILT_DRIVER="$<TARGET_FILE:korvan_drv>")
add_dependencies(windows_dialog_test korvan_drv)
add_test(NAME windows_dialog_test COMMAND timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24"
  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:windows_dialog_test>)
set_tests_properties(windows_dialog_test PROPERTIES TIMEOUT 120 RESOURCE_LOCK xvfb
  ENVIRONMENT "KORVAN_DRIVER=$<TARGET_FILE:korvan_drv>")

# Pictures of both dialogs for the documentation: `make screenshots`.
add_executable(korvan-screenshots windows/dialog_screenshots.cpp)
target_link_libraries(korvan-screenshots PRIVATE korvan_hostkit korvan_win_driving)
set_target_properties(korvan-screenshots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(korvan-screenshots korvan_drv)
