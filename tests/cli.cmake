# Tests that run the built programs on real files and check the results with outside readers.
# Native only: the readers (dime's dxf2vrml, ezdxf) are Linux programs.
if(CMAKE_CROSSCOMPILING OR WIN32)
  return()
endif()

set(TESNOVA_CLI_WORK ${CMAKE_CURRENT_BINARY_DIR}/cli)
file(MAKE_DIRECTORY ${TESNOVA_CLI_WORK})

# The bundled real VTracer trace of a scanned drawing, converted by tesnova-cli.
add_test(NAME cli_svg2dxf_demo
  COMMAND $<TARGET_FILE:tesnova-cli> svg2dxf ${CMAKE_SOURCE_DIR}/demo/scan.svg ${TESNOVA_CLI_WORK}/scan.dxf)
set_tests_properties(cli_svg2dxf_demo PROPERTIES FIXTURES_SETUP demo_dxf)

# dime's reader is the strictest found: it exits non-zero on a missing SEQEND or EOF.
add_test(NAME cli_demo_dxf_dime
  COMMAND dxf2vrml ${TESNOVA_CLI_WORK}/scan.dxf -o ${TESNOVA_CLI_WORK}/scan.wrl)
set_tests_properties(cli_demo_dxf_dime PROPERTIES FIXTURES_REQUIRED demo_dxf TIMEOUT 60)

# ezdxf: audit clean, polylines on the bitmap's edges with Y up, holes present.
add_test(NAME cli_demo_dxf_ezdxf
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_dxf.py ${TESNOVA_CLI_WORK}/scan.dxf
          ${CMAKE_SOURCE_DIR}/demo/scan.png)
set_tests_properties(cli_demo_dxf_ezdxf PROPERTIES FIXTURES_REQUIRED demo_dxf TIMEOUT 60)

# A fresh trace by the VTracer engine, through VTracer's command line, converted and checked.
set(TESNOVA_VTRACER ${CMAKE_SOURCE_DIR}/testbed/vtracer-node/vtracer)
add_test(NAME cli_vtracer_trace_to_dxf
  COMMAND sh -c "'${TESNOVA_VTRACER}' --colormode bw -i '${CMAKE_SOURCE_DIR}/demo/scan.png' -o '${TESNOVA_CLI_WORK}/fresh.svg' && '$<TARGET_FILE:tesnova-cli>' svg2dxf '${TESNOVA_CLI_WORK}/fresh.svg' '${TESNOVA_CLI_WORK}/fresh.dxf' --divisions 4 && dxf2vrml '${TESNOVA_CLI_WORK}/fresh.dxf' -o '${TESNOVA_CLI_WORK}/fresh.wrl' && /usr/bin/python3 '${CMAKE_CURRENT_SOURCE_DIR}/cli/check_dxf.py' '${TESNOVA_CLI_WORK}/fresh.dxf' '${CMAKE_SOURCE_DIR}/demo/scan.png'")
set_tests_properties(cli_vtracer_trace_to_dxf PROPERTIES TIMEOUT 120)

# Errors: a clear message naming the file and a non-zero exit status; no DXF is left behind.
add_test(NAME cli_svg2dxf_errors
  COMMAND sh -c "cli='$<TARGET_FILE:tesnova-cli>'; w='${TESNOVA_CLI_WORK}'; rm -f \"$w/none.dxf\" \"$w/bad.dxf\"
    if out=$(\"$cli\" svg2dxf \"$w/no such.svg\" \"$w/none.dxf\" 2>&1); then echo 'missing SVG: exit 0'; exit 1; fi
    case \"$out\" in *'no such.svg'*'見つかりません'*) ;; *) echo \"missing SVG: $out\"; exit 1;; esac
    printf '<svg height=\"10\">\\n<path d=\"M1 2 L3 4,5.5.5 Z\"/>\\n' > \"$w/bad.svg\"
    if out=$(\"$cli\" svg2dxf \"$w/bad.svg\" \"$w/bad.dxf\" 2>&1); then echo 'bad number: exit 0'; exit 1; fi
    case \"$out\" in *\"'5.5.5' は浮動小数点数ではありません\"*) ;; *) echo \"bad number: $out\"; exit 1;; esac
    test ! -e \"$w/bad.dxf\" || { echo 'DXF written despite the error'; exit 1; }
    if \"$cli\" svg2dxf \"$w/bad.svg\" \"$w/bad.dxf\" --divisions x 2>/dev/null; then echo 'bad divisions: exit 0'; exit 1; fi
    if \"$cli\" svg2dxf \"$w/bad.svg\" 2>/dev/null; then echo 'one file: exit 0'; exit 1; fi
    \"$cli\" --help | grep -q svg2dxf || { echo 'help lacks svg2dxf'; exit 1; }")

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

# trace: the picture prepared, traced by the real Potrace and the real VTracer engine with the
# window's command lines (from a folder with a blank in its name), and the DXF checked by dime
# and ezdxf against the picture (pixels, Y up).
set(TESNOVA_TRACE_IN "${TESNOVA_CLI_WORK}/scan picture.png")
file(COPY_FILE ${CMAKE_SOURCE_DIR}/demo/scan.png ${TESNOVA_TRACE_IN})
foreach(tracer potrace vtracer)
  if(tracer STREQUAL "vtracer")
    set(tool "--tool '${TESNOVA_VTRACER}'")
  else()
    set(tool "")
  endif()
  add_test(NAME cli_trace_${tracer}
    COMMAND sh -c "rm -f '${TESNOVA_CLI_WORK}/trace-${tracer}.dxf' && '$<TARGET_FILE:tesnova-cli>' trace '${TESNOVA_TRACE_IN}' '${TESNOVA_CLI_WORK}/trace-${tracer}.dxf' --with ${tracer} ${tool} --otsu >/dev/null && dxf2vrml '${TESNOVA_CLI_WORK}/trace-${tracer}.dxf' -o '${TESNOVA_CLI_WORK}/trace-${tracer}.wrl' && /usr/bin/python3 '${CMAKE_CURRENT_SOURCE_DIR}/cli/check_dxf.py' '${TESNOVA_CLI_WORK}/trace-${tracer}.dxf' '${CMAKE_SOURCE_DIR}/demo/scan.png'")
  set_tests_properties(cli_trace_${tracer} PROPERTIES TIMEOUT 120)
endforeach()

# trace with Potrace on the one-bit picture: the same DXF as Potrace writes from the 24-bit one.
add_test(NAME cli_trace_potrace_one_bit
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_one_bit_trace.py
          $<TARGET_FILE:tesnova-cli> ${CMAKE_SOURCE_DIR}/demo/scan.png ${TESNOVA_CLI_WORK}/one-bit)
set_tests_properties(cli_trace_potrace_one_bit PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# trace errors: a tool path naming nothing or a folder, a tool that cannot start, one that ends
# at once writing nothing; each a message naming the tool, exit status 1, and no DXF.
add_test(NAME cli_trace_errors
  COMMAND sh -c "cli='$<TARGET_FILE:tesnova-cli>'; w='${TESNOVA_CLI_WORK}'; in='${TESNOVA_TRACE_IN}'; out=\"$w/trace-error.dxf\"
    printf 'x' > \"$w/not-a-program\"
    for tool in \"$w/none/potrace\" \"$w\" \"$w/not-a-program\" /bin/false; do
      rm -f \"$out\"
      if msg=$(\"$cli\" trace \"$in\" \"$out\" --with potrace --tool \"$tool\" 2>&1 >/dev/null); then echo \"$tool: exit 0\"; exit 1; fi
      case \"$msg\" in *\"$tool\"*) ;; *) echo \"$tool: $msg\"; exit 1;; esac
      test ! -e \"$out\" || { echo \"$tool: DXF written\"; exit 1; }
    done
    if \"$cli\" trace \"$in\" \"$out\" --with autotrace 2>/dev/null; then echo 'autotrace: accepted'; exit 1; fi
    \"$cli\" --help | grep -q '^  trace ' || { echo 'help lacks trace'; exit 1; }")

# VTracer's command line as the tracer calls see it: exit statuses and the SVG layout.
add_test(NAME cli_vtracer_command_line
  COMMAND sh -c "v='${TESNOVA_VTRACER}'; w='${TESNOVA_CLI_WORK}'; rm -f \"$w/vt.svg\" \"$w/none.svg\"
    \"$v\" --bogus 1 -i x -o y 2>/dev/null; test $? -eq 2 || { echo 'unknown option: not 2'; exit 1; }
    \"$v\" --colormode bw -i \"$w/no such.png\" -o \"$w/none.svg\" 2>/dev/null; test $? -eq 1 || { echo 'missing input: not 1'; exit 1; }
    test ! -e \"$w/none.svg\" || { echo 'output despite a missing input'; exit 1; }
    \"$v\" --colormode=bw --filter_speckle 4 -p 6 -i '${CMAKE_SOURCE_DIR}/demo/scan.png' -o \"$w/vt.svg\" || exit 1
    grep -q '^<svg .*width=\"1200\" height=\"850\"' \"$w/vt.svg\" || { echo 'no size on the svg line'; exit 1; }
    grep -q '^<path d=\"M.* Z \" fill=\"#000000\" transform=\"translate([0-9.]*,[0-9.]*)\"/>$' \"$w/vt.svg\" || { echo 'path layout differs'; exit 1; }")
set_tests_properties(cli_vtracer_command_line PROPERTIES TIMEOUT 60)

# The centerline bench with the real Potrace on a thick ring, checked by ezdxf and dxf2vrml.
add_test(NAME cli_centerline_ring
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_centerline.py
          $<TARGET_FILE:tesnova-cli> ${TESNOVA_CLI_WORK}/centerline)
set_tests_properties(cli_centerline_ring PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)

# One switch parser for every subcommand: --name VALUE and --name=VALUE alike, a wrong switch
# told as the subcommand's own with exit status 2.
add_test(NAME cli_switches
  COMMAND sh -c "cli='$<TARGET_FILE:tesnova-cli>'; w='${TESNOVA_CLI_WORK}'; pic='${TESNOVA_PICTURES}/drawing.png'
    \"$cli\" prepare \"$pic\" \"$w/eq.bmp\" --threshold=128 --deskew=0.3 > \"$w/eq.txt\" || exit 1
    \"$cli\" prepare \"$pic\" \"$w/sp.bmp\" --threshold 128 --deskew 0.3 > \"$w/sp.txt\" || exit 1
    cmp -s \"$w/eq.bmp\" \"$w/sp.bmp\" && cmp -s \"$w/eq.txt\" \"$w/sp.txt\" || { echo 'the two forms differ'; exit 1; }
    while IFS='|' read -r expect args; do
      msg=$(eval \"\\\"\\$cli\\\" $args\" 2>&1 >/dev/null); status=$?
      test $status -eq 2 || { echo \"$args: exit $status\"; exit 1; }
      case \"$msg\" in *\"$expect\"*) ;; *) echo \"$args: $msg\"; exit 1;; esac
    done <<'CASES'
tesnova-cli trace: unknown switch --bogus|trace in out.dxf --with potrace --bogus
tesnova-cli trace: --divisions takes a whole number|trace in out.dxf --with vtracer --divisions=-1
tesnova-cli prepare: --deskew needs a number of degrees|prepare in out.bmp --deskew abc
tesnova-cli prepare: --median takes no value|prepare in out.bmp --median=1
tesnova-cli svg2dxf: --divisions needs a value|svg2dxf a.svg b.dxf --divisions
tesnova-cli centerline: unknown switch --tool|centerline a.bmp b.dxf --tool x
CASES")

# The centerline tracer of Tesnova's own (trace --with centerline) on the scanned drawing: dime
# reads the DXF, ezdxf audits it, finds the entities the report counts, and the geometry on the
# picture's dark pixels with Y up.
foreach(picture scan)
  set(out ${TESNOVA_CLI_WORK}/centerline-${picture})
  add_test(NAME cli_trace_centerline_${picture}
    COMMAND sh -c "rm -f '${out}.dxf' && '$<TARGET_FILE:tesnova-cli>' trace '${CMAKE_SOURCE_DIR}/demo/${picture}.png' '${out}.dxf' --with centerline > '${out}.txt' && dxf2vrml '${out}.dxf' -o '${out}.wrl' && /usr/bin/python3 '${CMAKE_CURRENT_SOURCE_DIR}/cli/check_centerline_dxf.py' '${out}.dxf' '${CMAKE_SOURCE_DIR}/demo/${picture}.png' '${out}.txt'")
  set_tests_properties(cli_trace_centerline_${picture} PROPERTIES TIMEOUT 120)
endforeach()
# Lines, arcs and a circle from one drawing. (Polylines, rare by design, are written by the
# same writer as every other trace's, which the tests above check with both readers.)
add_test(NAME cli_trace_centerline_kinds
  COMMAND sh -c "w='${TESNOVA_CLI_WORK}'; convert -size 240x160 xc:white -stroke black -fill none -strokewidth 3 -draw 'line 10,20 200,30' -draw 'circle 120,90 120,130' -draw 'arc 20,60 100,140 200,340' -draw 'line 120,50 230,150' \"$w/kinds.png\" && '$<TARGET_FILE:tesnova-cli>' trace \"$w/kinds.png\" \"$w/kinds.dxf\" --with centerline --tolerance 1 --min-length=3 > \"$w/kinds.txt\" && dxf2vrml \"$w/kinds.dxf\" -o \"$w/kinds.wrl\" && grep -Eq '^arcs: [1-9]' \"$w/kinds.txt\" && grep -Eq '^circles: [1-9]' \"$w/kinds.txt\" && grep -Eq '^lines: [1-9]' \"$w/kinds.txt\" && /usr/bin/python3 '${CMAKE_CURRENT_SOURCE_DIR}/cli/check_centerline_dxf.py' \"$w/kinds.dxf\" \"$w/kinds.png\" \"$w/kinds.txt\" || { cat \"$w/kinds.txt\"; exit 1; }")
set_tests_properties(cli_trace_centerline_kinds PROPERTIES TIMEOUT 60)
# Errors: a message naming the file and exit status 1 for a missing or unreadable picture and
# an output that cannot be written, 2 for bad switches; no DXF is left behind.
add_test(NAME cli_trace_centerline_errors
  COMMAND sh -c "cli='$<TARGET_FILE:tesnova-cli>'; w='${TESNOVA_CLI_WORK}'; rm -f \"$w/ct-none.dxf\"
    msg=$(\"$cli\" trace \"$w/no such.png\" \"$w/ct-none.dxf\" --with centerline 2>&1); test $? -eq 1 || { echo 'missing picture: not 1'; exit 1; }
    case \"$msg\" in *'no such.png'*) ;; *) echo \"missing picture: $msg\"; exit 1;; esac
    printf 'not a picture' > \"$w/ct-bad.png\"
    msg=$(\"$cli\" trace \"$w/ct-bad.png\" \"$w/ct-none.dxf\" --with centerline 2>&1); test $? -eq 1 || { echo 'bad picture: not 1'; exit 1; }
    case \"$msg\" in *'ct-bad.png'*) ;; *) echo \"bad picture: $msg\"; exit 1;; esac
    test ! -e \"$w/ct-none.dxf\" || { echo 'DXF written despite the error'; exit 1; }
    msg=$(\"$cli\" trace '${CMAKE_SOURCE_DIR}/demo/scan.png' \"$w/no folder/x.dxf\" --with centerline 2>&1); test $? -eq 1 || { echo 'unwritable output: not 1'; exit 1; }
    case \"$msg\" in *'no folder'*) ;; *) echo \"unwritable output: $msg\"; exit 1;; esac
    \"$cli\" trace '${CMAKE_SOURCE_DIR}/demo/scan.png' \"$w/ct-none.dxf\" --with centerline --tolerance x 2>/dev/null; test $? -eq 2 || { echo 'bad tolerance: not 2'; exit 1; }
    \"$cli\" trace '${CMAKE_SOURCE_DIR}/demo/scan.png' \"$w/ct-none.dxf\" --with centerline --tool x 2>/dev/null; test $? -eq 2 || { echo 'tool for centerline: not 2'; exit 1; }")

# Failures that must not lose the user's data or pass for success: output over input, tracers
# that crash, fail, write half a DXF or hang, interrupts, hostile pictures and SVGs, switch
# values that do not parse, a full disk. One test a case.
foreach(case output_is_input tracer_crashes tracer_exit_status tracer_half_dxf tracer_hangs
        interrupted centerline_keeps_no_files_beside_the_bitmap grey_ink_is_kept
        nothing_drawable out_of_range_number vertex_budget unclosed_translate damaged_pictures
        not_a_file switch_values full_disk centerline_exit_status centerline_hangs
        damaged_rows_traced)
  add_test(NAME cli_failure_${case}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_failures.py
            $<TARGET_FILE:tesnova-cli> ${TESNOVA_CLI_WORK}/failures ${case})
  set_tests_properties(cli_failure_${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endforeach()

# The command line in a user's and a script's hands: help and version, exit statuses, key: value
# reports, progress only on a terminal, the tracers found on PATH or beside tesnova-cli (a clear
# message when not), and Potrace's SVG converted where Potrace's own DXF puts the outlines.
foreach(case help version exit_statuses reports progress finds_tools potrace_svg
        potrace_svg_refused)
  add_test(NAME cli_command_line_${case}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/cli/check_command_line.py
            $<TARGET_FILE:tesnova-cli> ${TESNOVA_CLI_WORK}/command-line ${case})
  set_tests_properties(cli_command_line_${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endforeach()
