include_guard(GLOBAL)

# The drawing libraries that the bundle brings in (Cairo, Pixman, Fontconfig)
# linked into a test program, so that they stay loaded when the bundle is
# unloaded: Pixman allocates its implementation table once per load and never
# frees it, and the leak check must be able to read the frames of these
# libraries. The bundle itself still unloads, so its own leaks are still found.
# One linker item, so that the libraries stay between the two switches.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PALVIS_DRAWING_LIBS QUIET cairo pixman-1 fontconfig)
function(palvis_keep_drawing_libraries_loaded target)
  if(PALVIS_DRAWING_LIBS_FOUND)
    target_link_libraries(${target} PRIVATE "-Wl,--no-as-needed,-lcairo,-lpixman-1,-lfontconfig,--as-needed")
  endif()
endfunction()
