# Makes the author's guide into one web page that any browser opens, the way
# F1 shows it: cmake -DCMARK=... -DSOURCE=guide.md -DOUTPUT=guide.html -P.
# The Markdown (with its tables) is turned into HTML by cmark-gfm; the page
# around it gives the encoding, the title and a plain, readable style. The
# pictures stay beside it, in images/, as the guide names them.
execute_process(
  COMMAND ${CMARK} --extension table --to html ${SOURCE}
  OUTPUT_VARIABLE body
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmark-gfm n'a pas pu lire ${SOURCE}")
endif()
set(page "<!DOCTYPE html>
<html lang=\"fr\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>Guide de l'auteur de quiz Vidod</title>
<style>
body { font-family: Segoe UI, Arial, sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; line-height: 1.45; }
img { max-width: 100%; border: 1px solid #ccc; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.5em; text-align: left; vertical-align: top; }
code, pre { background: #f4f4f4; }
pre { padding: 0.5em; overflow-x: auto; }
</style>
</head>
<body>
${body}</body>
</html>
")
file(WRITE ${OUTPUT} "${page}")
