# The headless server: one game on TCP, no window, no display needed.
add_executable(tessarin-server server_main.cpp)
target_link_libraries(tessarin-server PRIVATE tessarin_server_net tessarin_stopsignals)
