# The hardening Debian builds its packages with, for every optimised build
# (Release, RelWithDebInfo, MinSizeRel): checked buffer functions, stack
# protection, a read-only relocation table resolved at start, and a position
# independent executable. Debug builds leave them out (_FORTIFY_SOURCE needs
# the optimiser), as do sanitizer builds, whose own checks cover the same
# ground and dislike the fortified functions.
include(CheckPIESupported)

if(NOT CHROMELLY_SANITIZE)
  check_pie_supported(OUTPUT_VARIABLE CHROMELLY_PIE_ERROR LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  set(CHROMELLY_OPTIMISED "$<NOT:$<CONFIG:Debug>>")
  # -U first: a compiler that defines its own level would otherwise warn of a redefinition.
  add_compile_options("$<${CHROMELLY_OPTIMISED}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2;-fstack-protector-strong>")
  add_link_options("$<${CHROMELLY_OPTIMISED}:-Wl,-z,relro,-z,now>")
endif()
