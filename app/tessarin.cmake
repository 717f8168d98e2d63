# One copy per user.
add_library(tessarin_previnst STATIC previnst.cpp)
target_include_directories(tessarin_previnst PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessarin_previnst PUBLIC Qt6::Network)
tessarin_precompiled(tessarin_previnst core)

# Stop signals handled on the event loop, for both programs.
add_library(tessarin_stopsignals STATIC stopsignals.cpp)
target_include_directories(tessarin_stopsignals PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessarin_stopsignals PUBLIC Qt6::Core)
tessarin_precompiled(tessarin_stopsignals core)

# The game.
add_executable(tessarin main.cpp display.cpp)
target_link_libraries(tessarin PRIVATE tessarin_client tessarin_forms tessarin_previnst
    tessarin_server_net tessarin_pictures_data tessarin_stopsignals tessarin_lobby_registration
    tessarin_announce)
# The window names its desktop entry, so that docks and task bars show the entry's icon.
target_compile_definitions(tessarin PRIVATE TESSARIN_APP_ID="${TESSARIN_APP_ID}")
