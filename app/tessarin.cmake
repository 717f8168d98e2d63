# One copy per user.
add_library(tessarin_previnst STATIC previnst.cpp)
target_include_directories(tessarin_previnst PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessarin_previnst PUBLIC Qt6::Network)

add_executable(tessarin demo.cpp)
target_link_libraries(tessarin PRIVATE tessarin_server_qt)
