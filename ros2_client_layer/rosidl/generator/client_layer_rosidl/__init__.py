"""C++ code generation for ROS 2 interface definitions (.msg and .srv files)."""
