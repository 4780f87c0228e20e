# One library per source folder: the engine from the folder's own .cpp files
# (Qt Core only), and, where the folder has a ui/ subfolder, its windows.

function(_velmora_library target dir)
  cmake_parse_arguments(A "" "" "LINK" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  # A program's main() sits beside its folder's engine but is not part of it.
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  if(sources)
    add_library(${target} STATIC ${sources} ${headers})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${A_LINK})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${A_LINK})
  endif()
endfunction()

# velmora_engine(name [LINK libs...]): target velmora_<name>, links Qt Core only.
function(velmora_engine name)
  _velmora_library(velmora_${name} ${CMAKE_CURRENT_SOURCE_DIR} ${ARGN})
  if(TARGET velmora_${name})
    get_target_property(type velmora_${name} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      target_link_libraries(velmora_${name} PUBLIC Qt6::Core)
    endif()
  endif()
endfunction()

# velmora_ui(name [LINK libs...]): target velmora_<name>_ui from ui/*.cpp.
function(velmora_ui name)
  _velmora_library(velmora_${name}_ui ${CMAKE_CURRENT_SOURCE_DIR}/ui ${ARGN})
  get_target_property(type velmora_${name}_ui TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(velmora_${name}_ui PUBLIC Qt6::Widgets)
    if(TARGET velmora_${name})
      target_link_libraries(velmora_${name}_ui PUBLIC velmora_${name})
    endif()
  endif()
endfunction()
