# One static library per folder (two where a folder has a portable and a win32 half), with
# dependencies pointing down one way only:
#   core -> streaming -> graphics -> actions -> controls -> dialogs -> actnman -> app
# A library states the libraries below it that it uses with target_link_libraries; every
# build then checks that the library's sources and its folder's headers include only headers
# of its own folder and of the folders of those libraries, so an include that points up (or
# sideways past what was declared) fails the build before anything compiles.
#
#   tavelo_layer(TARGET)   after the target's add_library and target_link_libraries
#   tavelo_check_layers()  once, after every folder was added

set_property(GLOBAL PROPERTY TAVELO_LAYERS "")

function(tavelo_layer target)
  set_property(GLOBAL APPEND PROPERTY TAVELO_LAYERS ${target})
endfunction()

# The folders a target may include from: its own and those of every library it links,
# transitively.
function(_tavelo_layer_folders target out)
  set(folders "")
  set(pending ${target})
  set(seen "")
  while(pending)
    list(POP_FRONT pending t)
    if(t IN_LIST seen OR NOT TARGET ${t})
      continue()
    endif()
    list(APPEND seen ${t})
    get_target_property(dir ${t} SOURCE_DIR)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${dir})
    list(APPEND folders ${folder})
    get_target_property(deps ${t} LINK_LIBRARIES)
    if(deps)
      list(APPEND pending ${deps})
    endif()
  endwhile()
  list(REMOVE_DUPLICATES folders)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

function(tavelo_check_layers)
  get_property(targets GLOBAL PROPERTY TAVELO_LAYERS)
  set(folders "")
  foreach(t ${targets})
    _tavelo_layer_folders(${t} allowed)
    get_target_property(dir ${t} SOURCE_DIR)
    get_target_property(sources ${t} SOURCES)
    set(files "")
    foreach(s ${sources})
      if(s MATCHES "\\.(cpp|h)$")
        get_filename_component(path ${s} ABSOLUTE BASE_DIR ${dir})
        list(APPEND files ${path})
        # A header beside a source is checked with it.
        string(REGEX REPLACE "\\.cpp$" ".h" header ${path})
        if(EXISTS ${header})
          list(APPEND files ${header})
        endif()
      endif()
    endforeach()
    list(REMOVE_DUPLICATES files)
    _tavelo_layer_check(${t} ${t} "${allowed}" "${files}")
    # What the folder's libraries may include between them, and which of its files were
    # checked, for the headers that stand beside no source.
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${dir})
    list(APPEND folders ${folder})
    list(APPEND allowed_${folder} ${allowed})
    list(APPEND checked_${folder} ${files})
    list(APPEND targets_${folder} ${t})
  endforeach()
  # A header no source stands beside (declarations, templates) is checked against the folder's
  # widest allowance: for a folder of one library, exactly that library's. Only the Windows
  # trees build every library a folder has, so only they know that allowance.
  if(NOT WIN32)
    return()
  endif()
  list(REMOVE_DUPLICATES folders)
  foreach(folder ${folders})
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    if(checked_${folder})
      list(REMOVE_ITEM headers ${checked_${folder}})
    endif()
    if(NOT headers)
      continue()
    endif()
    list(REMOVE_DUPLICATES allowed_${folder})
    list(GET targets_${folder} 0 first)
    _tavelo_layer_check(${first} ${folder}_headers "${allowed_${folder}}" "${headers}")
  endforeach()
endfunction()

# Adds the build step that checks `files` against `allowed` folders, before `target` builds.
function(_tavelo_layer_check target name allowed files)
  string(REPLACE ";" "," allowed_csv "${allowed}")
  string(REPLACE ";" "," files_csv "${files}")
  set(stamp ${CMAKE_BINARY_DIR}/layers/${name}.ok)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTARGET=${name} "-DALLOWED=${allowed_csv}" "-DFILES=${files_csv}"
            -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "layers: ${name}")
  add_custom_target(${name}_layers DEPENDS ${stamp})
  add_dependencies(${target} ${name}_layers)
endfunction()
