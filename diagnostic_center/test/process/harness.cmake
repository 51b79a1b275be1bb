# The harness shared by the process-level tests and the end-to-end
# benchmarks (bench/node_e2e): child processes, scratch directories, log and
# record reading, the diag_srv payload decoder and the robot-module probe.
if(NOT TARGET diagnostic_center_e2e_harness)
  find_package(rclcpp REQUIRED)
  find_package(corvanta_protocol REQUIRED)
  add_library(diagnostic_center_e2e_harness STATIC
    ${CMAKE_CURRENT_LIST_DIR}/diag_srv_payload.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/node_process.cpp
    ${CMAKE_CURRENT_LIST_DIR}/robot_probe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scratch_dir.cpp)
  target_include_directories(diagnostic_center_e2e_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  ament_target_dependencies(diagnostic_center_e2e_harness PUBLIC rclcpp corvanta_protocol)
endif()
