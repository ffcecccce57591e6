# The manifest of a Windows program: the resource (type 24, id 1) that Windows
# reads before the program runs. Without one, Windows guesses: it elevates a
# program whose name says "setup" or "uninstall", and applies the shims of an
# old system to one that names no system it was made for. All three programs
# have the same one (common controls 6 for their message boxes and controls,
# DPI awareness, the systems from Vista on) but for the elevation they ask for.
#
# fx_manifest(TARGET SCRIPT DESCRIPTION LEVEL) writes TARGET.manifest for the
# resource script SCRIPT of TARGET to name ("1 24 "TARGET.manifest""), with
# LEVEL as the requestedExecutionLevel: highestAvailable for a program that
# changes what belongs to all users, asInvoker for one that must run with the
# rights of whoever starts it.
set(fx_manifest_template ${CMAKE_CURRENT_LIST_DIR}/../resources/Program.manifest.in)

function(fx_manifest target script description level)
  set(FX_MANIFEST_NAME ${target})
  set(FX_MANIFEST_DESCRIPTION ${description})
  set(FX_MANIFEST_LEVEL ${level})
  set(folder ${CMAKE_BINARY_DIR}/manifests/${target})
  configure_file(${fx_manifest_template} ${folder}/${target}.manifest @ONLY)
  # The resource compiler looks for the files that a script names in its
  # include folders too.
  target_include_directories(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:${folder}>)
  # It reports no dependencies: name the manifest.
  set_property(SOURCE ${script} TARGET_DIRECTORY ${target} APPEND
               PROPERTY OBJECT_DEPENDS ${folder}/${target}.manifest)
endfunction()
