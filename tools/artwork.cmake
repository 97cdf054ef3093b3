# The artwork generator: draws every picture the game shows and lays the files in the resources
# folder beside the program. Included from tools/CMakeLists.txt when the Qt program is built.
find_package(Qt6 REQUIRED COMPONENTS Gui)
if(NOT DEFINED CP_OUTPUT_DIR)
  set(CP_OUTPUT_DIR ${CMAKE_BINARY_DIR}/game)
endif()

# The drawing code is a library so that the tests can draw the same pictures in-process.
add_library(artwork_drawing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/artwork/bmp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/suits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/cards.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/screens.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/catalog.cpp)
target_include_directories(artwork_drawing PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(artwork_drawing PUBLIC Qt6::Gui)
set_target_properties(artwork_drawing PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

add_executable(make_artwork ${CMAKE_CURRENT_LIST_DIR}/make_artwork.cpp)
target_link_libraries(make_artwork PRIVATE artwork_drawing)
set_target_properties(make_artwork PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

set(CP_ARTWORK_DIR ${CP_OUTPUT_DIR}/resources)
set(artwork_files
  card/draw.bmp card/head.bmp card/body.bmp card/tail.bmp card/select1.bmp card/select2.bmp
  title/title.bmp title/newgame1.bmp title/newgame2.bmp title/hiscore1.bmp title/hiscore2.bmp
  title/exit1.bmp title/exit2.bmp title/icon.png title/icon.bmp)
foreach(suit heart club diamond spade)
  foreach(rank 01 02 03 04 05 06 07 08 09 10 11 12 13)
    list(APPEND artwork_files ${suit}/${rank}.bmp)
  endforeach()
endforeach()
list(TRANSFORM artwork_files PREPEND ${CP_ARTWORK_DIR}/ OUTPUT_VARIABLE artwork_outputs)

add_custom_command(
  OUTPUT ${artwork_outputs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:make_artwork> ${CP_ARTWORK_DIR}
  DEPENDS make_artwork
  COMMENT "Drawing the card, title and icon pictures"
  VERBATIM)
add_custom_target(artwork ALL DEPENDS ${artwork_outputs})
