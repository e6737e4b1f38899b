// Puts the page together at build time (page.html with its style, the
// judging module's loader and the page's script, the module itself in
// base64) and writes it as a C++ source for vidod-make. The quiz's title and
// data are left as @TITLE@ and @QUIZ@, for vidod-make to fill in. The page's
// Content-Security-Policy allows exactly this style and script, by their
// hashes, and no request at all.
'use strict';
const fs = require('fs');
const crypto = require('crypto');

const [html, css, script, loader, wasm, output] = process.argv.slice(2);
const read = (file) => fs.readFileSync(file, 'utf8');
const hash = (text) => "'sha256-" + crypto.createHash('sha256').update(text, 'utf8').digest('base64') + "'";

const style = read(css);
const code = read(loader) + '\n' + read(script);
if (code.includes('</script') || style.includes('</style')) throw new Error('a closing tag inside the page');
const policy = [
  "default-src 'none'",
  'script-src ' + hash(code) + " 'wasm-unsafe-eval'",
  'style-src ' + hash(style),
  'img-src data:',
  "connect-src 'none'",
  "form-action 'none'",
  "base-uri 'none'",
].join('; ');
const page = read(html)
                 .replace('@CSP@', () => policy)
                 .replace('@STYLE@', () => style)
                 .replace('@SCRIPT@', () => code)
                 .replace('@JUDGING@', () => fs.readFileSync(wasm).toString('base64'));

const bytes = Buffer.from(page, 'utf8');
const rows = [];
for (let i = 0; i < bytes.length; i += 24) rows.push(Array.from(bytes.subarray(i, i + 24)).join(','));
fs.writeFileSync(output,
                 '// Made by web/make_page_template.js at build time.\n' +
                 '#include "web/page_template.h"\n\nnamespace vidod {\n\n' +
                 'const unsigned char kPageTemplate[] = {\n' + rows.join(',\n') + '};\n' +
                 'const std::size_t kPageTemplateSize = sizeof kPageTemplate;\n\n}  // namespace vidod\n');
