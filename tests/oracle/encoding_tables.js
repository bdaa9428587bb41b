// Prints the WHATWG encoding labels and single-byte index tables of text-encoding@0.7.0, the reference against
// which the charset table and the page decoders are checked.
//   label <label> <encoding name>
//   index <encoding name> <128 code points for bytes 0x80..0xFF, -1 where the byte is undefined>
'use strict';
const fs = require('fs');
const path = require('path');
const lib = path.join(__dirname, 'node_modules', 'text-encoding', 'lib');
const source = fs.readFileSync(path.join(lib, 'encoding.js'), 'utf8');
// The label list is not exported; it is a JSON literal in the library's source.
const start = source.indexOf('var encodings = [');
const end = source.indexOf('];', start);
const encodings = JSON.parse(source.slice(source.indexOf('[', start), end + 1));
const indexes = require(path.join(lib, 'encoding-indexes.js'))['encoding-indexes'];
const lines = [];
for (const group of encodings) {
    for (const encoding of group.encodings) {
        for (const label of encoding.labels)
            lines.push(`label ${label} ${encoding.name}`);
        if (group.heading === 'Legacy single-byte encodings') {
            // ISO-8859-8-I is ISO-8859-8 in logical order and shares its index.
            const table = indexes[encoding.name.toLowerCase().replace(/-i$/, '')];
            lines.push(`index ${encoding.name} ` + table.map(cp => (cp === null ? -1 : cp)).join(' '));
        }
    }
}
process.stdout.write(lines.join('\n') + '\n');
