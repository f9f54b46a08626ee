# Form sources: each *.form compiles, with the native tree's formc, into a component stream
# that the win32 tree embeds in a program as an RCDATA resource named after the root's class.
#   tavelo_add_forms(TARGET form1.form form2.form ...)
# Several targets of one folder may embed the same sources.
# binary("file") values are found beside the source or among the generated images
# (TAVELO_ASSET_DIR). The native tree has no resources; its tests register the streams they
# need themselves.
function(tavelo_add_forms target)
  if(NOT WIN32)
    return()
  endif()
  if(NOT TAVELO_FORMC)
    message(FATAL_ERROR "TAVELO_FORMC must name the native tree's formc (scripts/build.sh sets it)")
  endif()
  foreach(source ${ARGN})
    get_filename_component(path ${source} ABSOLUTE)
    get_filename_component(stem ${source} NAME_WE)
    set(stream ${CMAKE_CURRENT_BINARY_DIR}/forms/${stem}.bin)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/forms/${stem}.rc)
    # A second program of the folder embedding the same source shares its compiled stream.
    get_property(compiled DIRECTORY PROPERTY TAVELO_FORM_STREAMS)
    if(NOT stream IN_LIST compiled)
      add_custom_command(
        OUTPUT ${stream} ${rc}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms
        COMMAND ${TAVELO_FORMC} compile ${path} ${stream} --rc ${rc} --binary-dir ${TAVELO_ASSET_DIR}
        DEPENDS ${path} ${TAVELO_FORMC} ${TAVELO_ASSET_FILES}
        COMMENT "formc ${source}")
      set_property(DIRECTORY APPEND PROPERTY TAVELO_FORM_STREAMS ${stream})
    endif()
    target_sources(${target} PRIVATE ${rc})
    add_dependencies(${target} tavelo_assets)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${stream})
  endforeach()
endfunction()
