# Tesnova.exe: the Windows GUI program, one static Unicode exe with its manifest (common
# controls 6, DPI awareness) and version in resources.
enable_language(RC)
add_executable(Tesnova WIN32 src/win32/tesnova_main.cpp src/win32/tesnova.rc)
target_link_libraries(Tesnova PRIVATE tesnova_platform)
target_link_options(Tesnova PRIVATE -municode)
target_compile_options(Tesnova PRIVATE ${TESNOVA_WARNINGS})
set_target_properties(Tesnova PROPERTIES OUTPUT_NAME Tesnova RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
