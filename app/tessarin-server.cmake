# The headless server: one game on TCP, no window, no display needed.
add_executable(tessarin-server server_main.cpp)
target_link_libraries(tessarin-server PRIVATE tessarin_server_net tessarin_stopsignals tessarin_announce)

# Hosting under Agones or a service manager: the sidecar's REST client, the table's end,
# the drain and the metrics page.
find_package(Qt6 6.4 REQUIRED COMPONENTS HttpServer)
add_library(tessarin_hosting STATIC hosting.cpp agonessdk.cpp metrics.cpp logline.cpp)
target_include_directories(tessarin_hosting PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessarin_hosting PUBLIC tessarin_server_net Qt6::Network Qt6::HttpServer)
tessarin_precompiled(tessarin_hosting core)
target_link_libraries(tessarin-server PRIVATE tessarin_hosting)

# Public tables: the registration with a lobby service.
add_library(tessarin_lobby_registration STATIC lobbyregistration.cpp)
target_link_libraries(tessarin_lobby_registration PUBLIC tessarin_server_net tessarin_lobby_format Qt6::Network)
target_link_libraries(tessarin-server PRIVATE tessarin_lobby_registration)
