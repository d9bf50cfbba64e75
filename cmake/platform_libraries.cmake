# System libraries that the platform adapters need.
if(WIN32)
  target_link_libraries(tesnova_platform PUBLIC
    ole32 oleaut32 uuid windowscodecs gdiplus gdi32 user32 shell32 shlwapi comctl32 comdlg32 uxtheme)
else()
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
  find_package(TIFF REQUIRED)
  find_package(ZLIB REQUIRED)
  target_link_libraries(tesnova_platform PUBLIC PNG::PNG JPEG::JPEG TIFF::TIFF ZLIB::ZLIB)
endif()
