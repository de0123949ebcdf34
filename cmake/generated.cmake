# Wiring that needs every target defined: the tests that read the generated
# pictures back, and the portable install.

# The picture tests read build/Images and the embedded resources.
foreach(test_name test_tools_pictures test_tools_library test_tools_resources)
  if(TARGET ${test_name})
    add_dependencies(${test_name} tesselo_images tesselo_gen)
  endif()
endforeach()
if(TARGET test_tools_resources)
  target_link_libraries(test_tools_resources PRIVATE tesselo_resources)
endif()
