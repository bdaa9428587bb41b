// Decodes a file with the WHATWG decoder of text-encoding@0.7.0 and prints the text as UTF-8.
//   node decode_page.js <encoding label> <file>
'use strict';
const fs = require('fs');
const { TextDecoder } = require('text-encoding');

process.stdout.write(new TextDecoder(process.argv[2]).decode(fs.readFileSync(process.argv[3])));
