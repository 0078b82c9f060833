# The built-in demo set is an ordinary scenario folder shipped beside the
# executable (scenarios/demo), in the build folder and in an installation.
# A program run from where the copy is missing falls back to the source tree.
set(ORVEL_DEMO_SCENARIO_SOURCE ${PROJECT_SOURCE_DIR}/scenarios/demo)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/platform/sim/scenario_location.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS ORVEL_DEMO_SCENARIO_SOURCE="${ORVEL_DEMO_SCENARIO_SOURCE}")

file(GLOB_RECURSE ORVEL_DEMO_SCENARIO_FILES CONFIGURE_DEPENDS ${ORVEL_DEMO_SCENARIO_SOURCE}/*)
set(ORVEL_DEMO_SCENARIO_STAMP ${CMAKE_CURRENT_BINARY_DIR}/demo_scenario.stamp)
add_custom_command(
  OUTPUT ${ORVEL_DEMO_SCENARIO_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf $<TARGET_FILE_DIR:orvel-disk-image>/scenarios/demo
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${ORVEL_DEMO_SCENARIO_SOURCE} $<TARGET_FILE_DIR:orvel-disk-image>/scenarios/demo
  COMMAND ${CMAKE_COMMAND} -E touch ${ORVEL_DEMO_SCENARIO_STAMP}
  DEPENDS ${ORVEL_DEMO_SCENARIO_FILES}
  COMMENT "Copying the demo scenario beside the executable"
  VERBATIM)
add_custom_target(orvel_demo_scenario DEPENDS ${ORVEL_DEMO_SCENARIO_STAMP})
add_dependencies(orvel-disk-image orvel_demo_scenario)

# Installed into the executable's own folder.
install(DIRECTORY ${ORVEL_DEMO_SCENARIO_SOURCE} DESTINATION "${ORVEL_INSTALL_APP_DIR}/scenarios")
