# mwstation: the station's windows, the shared screen behaviour and the
# platform layer. The tests link it; the executable only starts it.
find_package(X11 QUIET)

add_library(mwstation STATIC
  app/screen/Platform.h
  app/screen/QtPlatform.cpp
  app/screen/ScreenHelpers.cpp
  app/screen/MenuChoices.cpp
  app/DiskErrors.cpp
  app/DriveSelect.cpp
  app/frmDriveSelect.cpp
  app/frmAbout.cpp
  app/frmMain.cpp
  app/NumLockKeeper.cpp
  app/SingleCopy.cpp
  app/Station.cpp
  supervisor/frmMyInputBox.cpp
  supervisor/PASSWORD.cpp
)
set_target_properties(mwstation PROPERTIES AUTOMOC ON)
target_link_libraries(mwstation PUBLIC mwcore Qt6::Widgets Qt6::Network)
if(X11_FOUND)
  target_compile_definitions(mwstation PRIVATE MW_HAVE_X11)
  target_link_libraries(mwstation PRIVATE X11::X11)
endif()

add_executable(mirrorwise app/main.cpp)
target_link_libraries(mirrorwise PRIVATE mwstation)
