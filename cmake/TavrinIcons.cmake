# The program's icons: .ico files written at build time by tools/make-icons.py
# from the readable description src/app/icons/mouse.txt (pixel art at 16, an
# outline for the larger sizes), then compiled into a target through a resource
# script that names them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TAVRIN_ICON_DESCRIPTION ${CMAKE_CURRENT_LIST_DIR}/../src/app/icons/mouse.txt)
set(TAVRIN_ICON_GENERATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/make-icons.py)

# tavrin_add_icon_resources(<target> <rc file>): generates the icons into
# <current binary dir>/icons (once per directory) and adds the resource script,
# which finds them by plain file name, to the target.
function(tavrin_add_icon_resources target rc)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
  file(STRINGS ${TAVRIN_ICON_DESCRIPTION} lines REGEX "^icon[ \t]")
  set(outputs)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^icon[ \t]+([^ \t]+).*" "${dir}/\\1" file "${line}")
    list(APPEND outputs ${file})
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVRIN_ICON_DESCRIPTION})

  get_property(done DIRECTORY PROPERTY TAVRIN_ICONS_GENERATED)
  if(NOT done)
    add_custom_command(
      OUTPUT ${outputs}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND Python3::Interpreter ${TAVRIN_ICON_GENERATOR} ${TAVRIN_ICON_DESCRIPTION} ${dir}
      DEPENDS ${TAVRIN_ICON_GENERATOR} ${TAVRIN_ICON_DESCRIPTION}
      COMMENT "Generating icons from mouse.txt"
      VERBATIM)
    set_property(DIRECTORY PROPERTY TAVRIN_ICONS_GENERATED TRUE)
  endif()

  target_sources(${target} PRIVATE ${rc} ${outputs})
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${outputs})
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
