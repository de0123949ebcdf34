# Wiring that needs every target defined: the tests that read the generated
# pictures back, and the portable install.

# The picture tests read build/Images and the embedded resources; so does
# the end-to-end test of the Hard level.
foreach(test_name test_tools_pictures test_tools_library test_tools_resources test_tools_font test_qa_hard_library)
  if(TARGET ${test_name})
    add_dependencies(${test_name} tesselo_images tesselo_gen)
  endif()
endforeach()
foreach(test_name test_tools_resources test_tools_font test_tools_scramble test_tools_cases)
  if(TARGET ${test_name})
    target_link_libraries(${test_name} PRIVATE tesselo_resources)
  endif()
endforeach()

# The program's executable comes with its picture library.
add_dependencies(tesselo tesselo_images)
# The build folder is a portable folder: the program run from it keeps its
# files there (app/filelocations.h).
configure_file(${CMAKE_SOURCE_DIR}/tools/portable ${CMAKE_BINARY_DIR}/portable COPYONLY)

# Portable install: `cmake --install build --prefix DIR` makes DIR a
# self-contained folder (the program keeps Settings.ini and its other files
# beside its executable, so the folder can be moved):
#   DIR/tesselo                 the program
#   DIR/tesselo_cube.so         the About window's cube view (OpenGL), loaded when first needed
#   DIR/tesselo_progress.so     the Progress window (Qt Charts), loaded when first needed
#   DIR/Images/OLL-2, PLL-2, PLL-2-sides   the Hard picture library
#   DIR/tesselo.png             the icon
#   DIR/tesselo.desktop         a desktop entry for DIR
#   DIR/add-to-menu.sh          puts the entry in the user's menu (again after a move)
#   DIR/LICENSE, THIRD-PARTY.md the licence (GPL-3.0-or-later) and the credits
#   DIR/portable                keeps the files the program writes in DIR
install(TARGETS tesselo RUNTIME DESTINATION .)
install(TARGETS tesselo_cube LIBRARY DESTINATION .)
install(TARGETS tesselo_progress LIBRARY DESTINATION .)
install(DIRECTORY ${CMAKE_BINARY_DIR}/Images/OLL-2 ${CMAKE_BINARY_DIR}/Images/PLL-2
    ${CMAKE_BINARY_DIR}/Images/PLL-2-sides
  DESTINATION Images
  FILES_MATCHING PATTERN "*.gif")
install(FILES ${CMAKE_BINARY_DIR}/resources/generated/Icon.png DESTINATION . RENAME tesselo.png)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/add-to-menu.sh DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/THIRD-PARTY.md ${CMAKE_SOURCE_DIR}/tools/portable DESTINATION .)
install(CODE "
  get_filename_component(tesselo_folder \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  file(READ \"${CMAKE_SOURCE_DIR}/tools/tesselo.desktop.in\" tesselo_entry)
  string(REPLACE \"@FOLDER@\" \"\${tesselo_folder}\" tesselo_entry \"\${tesselo_entry}\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${tesselo_folder}/tesselo.desktop\")
  file(WRITE \"\$ENV{DESTDIR}\${tesselo_folder}/tesselo.desktop\" \"\${tesselo_entry}\")
")
