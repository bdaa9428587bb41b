// Reads a PBN file with the npm package `pbn`, an independent PBN reader, and prints what it found.
// The bytes are decoded with the charset that the file's "%Content-type" line declares (ISO-8859-1 or UTF-8).
'use strict';
const fs = require('fs');
const { Readable } = require('stream');
const pbn = require('pbn');

const bytes = fs.readFileSync(process.argv[2]);
const head = bytes.toString('latin1', 0, Math.min(bytes.length, 512));
const charset = /charset=([A-Za-z0-9-]+)/.exec(head);
const encoding = charset && charset[1].toUpperCase() === 'UTF-8' ? 'utf8' : 'latin1';
const text = bytes.toString(encoding);

// One line per item, fields separated by a tab: tag <name> <value>; section <name> <line>; cards <count> <distinct>.
const out = [];
const source = new Readable({ read() {} });
source.push(text);
source.push(null);
source
    .pipe(pbn())
    .on('data', data => {
        if (data.type === 'tag') {
            out.push('tag\t' + data.name + '\t' + data.value);
            for (const line of data.section || [])
                out.push('section\t' + data.name + '\t' + line);
            if (data.name === 'Deal' && data.value !== '') {
                const distinct = new Set(data.cards.map(card => card.suit + card.rank));
                out.push('cards\t' + data.cards.length + '\t' + distinct.size);
            }
        }
    })
    .on('error', err => {
        process.stderr.write('pbn: ' + err.message + '\n');
        process.exit(2);
    })
    .on('end', () => process.stdout.write(out.join('\n') + '\n'));
