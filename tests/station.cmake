# Tests of the station's windows, run on the offscreen platform.
if(NOT MW_BUILD_STATION)
  return()
endif()

mw_add_test(test_station
  SOURCES app/StationTestMain.cpp
          app/ScreenBehaviourTest.cpp
          app/StartUpTest.cpp
          app/DriveSelectTest.cpp
          app/frmMainTest.cpp
          app/SingleCopyTest.cpp
          supervisor/PasswordTest.cpp
  LIBS mwstation Qt6::Test)

# The real station on a real X server, driven by xdotool (skipped without Xvfb).
find_package(X11 QUIET)
mw_add_test(test_station_xvfb SOURCES app/XvfbStationTest.cpp LIBS mwstation)
target_compile_definitions(test_station_xvfb PRIVATE MW_STATION_EXE="$<TARGET_FILE:mirrorwise>")
add_dependencies(test_station_xvfb mirrorwise)
if(X11_FOUND)
  target_compile_definitions(test_station_xvfb PRIVATE MW_HAVE_X11)
  target_link_libraries(test_station_xvfb PRIVATE X11::X11)
endif()
