# The built-in theme bitmaps: the artwork generator (a host tool, from the host build tree)
# writes every BMP and theme_art.rc, which embeds them as BITMAP resources.
set(VX_ART_OUT ${CMAKE_CURRENT_BINARY_DIR}/art CACHE INTERNAL "")
set(artgen ${VX_HOST_BUILD}/tools/artgen/artgen)
add_custom_command(
  OUTPUT ${VX_ART_OUT}/theme_art.rc ${VX_ART_OUT}/theme_art.stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_ART_OUT}
  COMMAND ${artgen} ${VX_ART_OUT}
  COMMAND ${CMAKE_COMMAND} -E touch ${VX_ART_OUT}/theme_art.stamp
  DEPENDS ${artgen}
  COMMENT "Drawing the built-in theme bitmaps")
add_custom_target(theme_art DEPENDS ${VX_ART_OUT}/theme_art.rc ${VX_ART_OUT}/theme_art.stamp)

# Embeds the theme bitmaps in a Windows program that uses the skin. The .rc's bitmaps are
# invisible to CMake; the stamp, rewritten with them, stands for them in OBJECT_DEPENDS
# (a per-directory property, so set in the caller's directory).
function(vx_embed_theme_art target)
  target_sources(${target} PRIVATE ${VX_ART_OUT}/theme_art.rc)
  set_source_files_properties(${VX_ART_OUT}/theme_art.rc PROPERTIES OBJECT_DEPENDS ${VX_ART_OUT}/theme_art.stamp)
  add_dependencies(${target} theme_art)
endfunction()
