// Validates glTF 2.0 files (.gltf or .glb) with the Khronos validator and
// prints one summary line per file, followed by each error and warning.
// Usage: node validate.js FILE...
// Exit status: 0 when no file has errors or warnings, 1 when one has,
// 2 when a file could not be read or validated at all.
'use strict';

const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validateFile(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    writeTimestamp: false,
    // Exports embed their buffer; there is nothing external to load.
    externalResourceFunction: (uri) => Promise.reject(new Error('external resource ' + uri)),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
              `${issues.numInfos} infos, ${issues.numHints} hints`);
  for (const message of issues.messages) {
    // Severity 0 is an error, 1 a warning.
    if (message.severity <= 1) {
      const kind = message.severity === 0 ? 'error' : 'warning';
      console.log(`  ${kind} ${message.code} at ${message.pointer || message.offset}: ${message.message}`);
    }
  }
  return issues.numErrors + issues.numWarnings;
}

async function main(files) {
  if (files.length === 0) {
    console.error('usage: node validate.js FILE...');
    return 2;
  }
  let status = 0;
  for (const file of files) {
    try {
      if (await validateFile(file) > 0) {
        status = Math.max(status, 1);
      }
    } catch (error) {
      console.log(`${file}: not validated: ${error}`);
      status = 2;
    }
  }
  return status;
}

main(process.argv.slice(2)).then((status) => process.exit(status));
