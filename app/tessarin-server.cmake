# The headless server: one game on TCP, no window, no display needed.
add_executable(tessarin-server server_main.cpp)
target_link_libraries(tessarin-server PRIVATE tessarin_server_net tessarin_stopsignals)

# Hosting under Agones or a service manager: the sidecar's REST client and the table's end.
add_library(tessarin_hosting STATIC hosting.cpp agonessdk.cpp)
target_include_directories(tessarin_hosting PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessarin_hosting PUBLIC tessarin_server_net Qt6::Network)
tessarin_precompiled(tessarin_hosting core)
target_link_libraries(tessarin-server PRIVATE tessarin_hosting)
