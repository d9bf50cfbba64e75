# Tests that run the built programs on real files and check the results with outside readers.
# Native only: the readers (dime's dxf2vrml, ezdxf) are Linux programs.
if(CMAKE_CROSSCOMPILING OR WIN32)
  return()
endif()

set(TESNOVA_CLI_WORK ${CMAKE_CURRENT_BINARY_DIR}/cli)
file(MAKE_DIRECTORY ${TESNOVA_CLI_WORK})

# prepare: the work bitmap it writes reads back in ImageMagick with the picture's own pixels,
# and the monochrome step leaves exactly black and white. 16-bit samples may round by less than
# half a level (0.2 %).
set(TESNOVA_PICTURES ${CMAKE_CURRENT_SOURCE_DIR}/data/pictures)
foreach(picture colours.tif colours-16.png colours-24.bmp)
  add_test(NAME cli_prepare_${picture}
    COMMAND sh -c "'$<TARGET_FILE:tesnova-cli>' prepare '${TESNOVA_PICTURES}/${picture}' '${TESNOVA_CLI_WORK}/${picture}.bmp' && test \"$(compare -metric AE -fuzz 0.3% '${TESNOVA_CLI_WORK}/${picture}.bmp' '${TESNOVA_PICTURES}/${picture}' null: 2>&1)\" = 0")
endforeach()
add_test(NAME cli_prepare_mono
  COMMAND sh -c "'$<TARGET_FILE:tesnova-cli>' prepare '${TESNOVA_PICTURES}/drawing.png' '${TESNOVA_CLI_WORK}/mono.bmp' --median --gauss --otsu --deskew 180.2 | grep -qx 'insertion rotation: 180' && test \"$(convert '${TESNOVA_CLI_WORK}/mono.bmp' -format '%k %w %h' info:)\" = '2 161 109'")
