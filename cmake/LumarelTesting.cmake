# lumarel_add_test(<name> SOURCES <files...> LIBS <targets...> [OFFICE] [CONVERTER])
# One QtTest executable per class; each runs in its own temporary directory so
# no real settings are touched. GUI tests run on the offscreen platform.
function(lumarel_add_test name)
  cmake_parse_arguments(T "OFFICE;CONVERTER" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  if(TARGET lumarel_testsupport)
    target_link_libraries(${name} PRIVATE lumarel_testsupport lumarel_testresources)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(env "QT_QPA_PLATFORM=offscreen" "LC_ALL=C.UTF-8")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
  if(T_OFFICE)
    # One office at a time on a 2-core machine.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK office LABELS office)
  endif()
  if(T_CONVERTER)
    # Runs lumarel-convert through ConverterRun (tests/support).
    add_dependencies(${name} lumarel-convert)
  endif()
endfunction()
