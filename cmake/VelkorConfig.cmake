# Operator hosts and addresses compiled into the program. The `local` preset points every
# host at the stand-in operator server on loopback; `release` uses the operator's names.
set(VELKOR_STANDIN_PORT "18765" CACHE STRING "Port of the stand-in operator server (local builds)")
set(_local "127.0.0.1:${VELKOR_STANDIN_PORT}")
set(VELKOR_STAT_HOST    "${_local}" CACHE STRING "Statistics server host[:port]")
set(VELKOR_UPDATE_HOST  "${_local}" CACHE STRING "Update server host[:port] (update/ConfigVelkor.htm, client configs)")
set(VELKOR_CLIENT_HOST  "${_local}" CACHE STRING "Client server host[:port] (webgame.htm, notice/velkor.txt)")
set(VELKOR_GAME_HOST    "${_local}" CACHE STRING "Game web site host[:port] (login/index.php)")
set(VELKOR_HALL_URL     "http://${_local}/hall/" CACHE STRING "Game hall home page address")
set(VELKOR_SITE_DOMAIN1 "127.0.0.1" CACHE STRING "Operator site domain 1 (downloads must come from one of the three)")
set(VELKOR_SITE_DOMAIN2 "localhost" CACHE STRING "Operator site domain 2")
set(VELKOR_SITE_DOMAIN3 "olvesk.test" CACHE STRING "Operator site domain 3")
configure_file(${CMAKE_CURRENT_LIST_DIR}/velkor_config.h.in ${CMAKE_BINARY_DIR}/generated/velkor_config.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/velkor_version.h.in ${CMAKE_BINARY_DIR}/generated/velkor_version.h @ONLY)
