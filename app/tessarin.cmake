add_executable(tessarin demo.cpp)
target_link_libraries(tessarin PRIVATE tessarin_server_qt)
