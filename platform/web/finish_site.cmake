# Completes the site after the program is linked: the page's own files, the PNG icons drawn
# from the SVG icon, and the service worker, whose cache name is a hash of every file it keeps.
# Run with -DSOURCE=platform/web -DICON=the SVG -DSITE=the site folder -DRSVG=rsvg-convert.
set(page_files index.html page.css page_layout.js offline.js manifest.webmanifest)
foreach(f IN LISTS page_files)
  file(COPY_FILE ${SOURCE}/site/${f} ${SITE}/${f} ONLY_IF_DIFFERENT)
endforeach()
file(COPY_FILE ${ICON} ${SITE}/co2sim.svg ONLY_IF_DIFFERENT)
foreach(size 192 512)
  execute_process(COMMAND ${RSVG} -w ${size} -h ${size} -o ${SITE}/icon-${size}.png ${ICON}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not draw icon-${size}.png from ${ICON}")
  endif()
endforeach()

set(kept ${page_files} co2sim.js co2sim.wasm co2sim.svg icon-192.png icon-512.png)
set(digests "")
set(SITE_FILES "'./'")
foreach(f IN LISTS kept)
  file(SHA256 ${SITE}/${f} digest)
  string(APPEND digests "${f} ${digest}\n")
  string(APPEND SITE_FILES ", '${f}'")
endforeach()
string(SHA256 SITE_HASH "${digests}")
string(SUBSTRING ${SITE_HASH} 0 16 SITE_HASH)
configure_file(${SOURCE}/site/sw.js.in ${SITE}/sw.js @ONLY)
