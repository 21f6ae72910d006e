# The server program: rpc/ (endpoint, sessions, dispatcher), modules/ (the
# remote modules), AppServer (the whole, for serve, --embedded and tests).
find_package(PkgConfig REQUIRED)
if(NOT TARGET PkgConfig::HTTPLIB)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
endif()
pkg_check_modules(MHD REQUIRED IMPORTED_TARGET GLOBAL libmicrohttpd)
find_package(OpenSSL REQUIRED)
find_package(CLI11 CONFIG REQUIRED)

file(GLOB appserver_core_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/rpc/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/modules/*.cpp)
add_library(appserver_core STATIC ${appserver_core_sources} ${CMAKE_CURRENT_SOURCE_DIR}/AppServer.cpp)
target_include_directories(appserver_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(appserver_core PUBLIC framework appstore PRIVATE PkgConfig::MHD OpenSSL::Crypto)

add_executable(pla-appserver ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(pla-appserver PRIVATE appserver_core CLI11::CLI11)
