#!/usr/bin/env node
// VTracer's command line on the VTracer engine that the npm package @neplex/vectorizer ships:
//   vtracer [options] -i IN -o OUT
// Options take the forms "--name value", "--name=value" and the short letters of VTracer's own
// program. Unknown options and bad values stop with a message and exit status 2; a missing input
// or a failed trace exits with status 1 and writes no output file.
'use strict';
const fs = require('fs');
const path = require('path');
const vectorizer = require('@neplex/vectorizer');

const { ColorMode, Hierarchical, PathSimplifyMode } = vectorizer;

// VTracer's own starting values and presets.
const DEFAULTS = {
  colorMode: ColorMode.Color,
  hierarchical: Hierarchical.Stacked,
  filterSpeckle: 4,
  colorPrecision: 6,
  layerDifference: 16,
  mode: PathSimplifyMode.Spline,
  cornerThreshold: 60,
  lengthThreshold: 4,
  maxIterations: 10,
  spliceThreshold: 45,
  pathPrecision: 2,
};
const PRESETS = {
  bw: { colorMode: ColorMode.Binary },
  poster: { colorMode: ColorMode.Color, colorPrecision: 8 },
  photo: { colorMode: ColorMode.Color, filterSpeckle: 10, colorPrecision: 8, layerDifference: 48, cornerThreshold: 180 },
};

const USAGE = `usage: vtracer [options] -i <input> -o <output>

  -i, --input <file>                 path to the input raster image
  -o, --output <file>                path to the output SVG
      --preset <bw|poster|photo>     start from one of the preset configurations
      --colormode <color|bw>         true colour image (default) or binary image
      --hierarchical <stacked|cutout>  layering of colour clusters (colour mode only)
  -m, --mode <pixel|polygon|spline>  curve fitting mode (default spline)
  -f, --filter_speckle <px>          discard patches smaller than X px in size (default 4)
  -p, --color_precision <bits>       significant bits per RGB channel (default 6)
  -g, --gradient_step <n>            colour difference between gradient layers (default 16)
  -c, --corner_threshold <deg>       minimum momentary angle to count as a corner (default 60)
  -l, --segment_length <n>           subdivide until all segments are shorter than this (default 4)
  -s, --splice_threshold <deg>       minimum angle displacement to splice a spline (default 45)
      --max_iterations <n>           iterations of the subdivision (default 10)
      --path_precision <n>           decimal places in path data (default 2)
  -h, --help                         print this help
  -V, --version                      print the version
`;

class UsageError extends Error {}

function choice(name, value, table) {
  if (!Object.prototype.hasOwnProperty.call(table, value)) {
    throw new UsageError(`invalid value '${value}' for --${name} (one of: ${Object.keys(table).join(', ')})`);
  }
  return table[value];
}

function number(name, value, { integer = false, min = -Infinity, max = Infinity } = {}) {
  const text = String(value).trim();
  const n = Number(text);
  if (text === '' || !Number.isFinite(n) || (integer && !Number.isInteger(n)) || n < min || n > max) {
    throw new UsageError(`invalid value '${value}' for --${name}`);
  }
  return n;
}

// Option name (long, as VTracer spells it, plus accepted aliases) -> how its value is stored.
const OPTIONS = {
  input: { short: 'i', set: (o, v) => (o.input = v) },
  output: { short: 'o', set: (o, v) => (o.output = v) },
  preset: { set: (o, v) => (o.preset = choice('preset', v, PRESETS)) },
  colormode: {
    aliases: ['color_mode', 'color-mode'],
    set: (o, v) => (o.config.colorMode = choice('colormode', v, { color: ColorMode.Color, bw: ColorMode.Binary, binary: ColorMode.Binary })),
  },
  hierarchical: {
    set: (o, v) => (o.config.hierarchical = choice('hierarchical', v, { stacked: Hierarchical.Stacked, cutout: Hierarchical.Cutout })),
  },
  mode: {
    short: 'm',
    set: (o, v) =>
      (o.config.mode = choice('mode', v, {
        pixel: PathSimplifyMode.None,
        none: PathSimplifyMode.None,
        polygon: PathSimplifyMode.Polygon,
        spline: PathSimplifyMode.Spline,
      })),
  },
  filter_speckle: { short: 'f', set: (o, v) => (o.config.filterSpeckle = number('filter_speckle', v, { integer: true, min: 0, max: 128 })) },
  color_precision: { short: 'p', set: (o, v) => (o.config.colorPrecision = number('color_precision', v, { integer: true, min: 1, max: 8 })) },
  gradient_step: {
    short: 'g',
    aliases: ['layer_difference'],
    set: (o, v) => (o.config.layerDifference = number('gradient_step', v, { integer: true, min: 0, max: 255 })),
  },
  corner_threshold: { short: 'c', set: (o, v) => (o.config.cornerThreshold = number('corner_threshold', v, { min: 0, max: 180 })) },
  segment_length: {
    short: 'l',
    aliases: ['length_threshold'],
    set: (o, v) => (o.config.lengthThreshold = number('segment_length', v, { min: 3.5, max: 10 })),
  },
  splice_threshold: { short: 's', set: (o, v) => (o.config.spliceThreshold = number('splice_threshold', v, { min: 0, max: 180 })) },
  max_iterations: { set: (o, v) => (o.config.maxIterations = number('max_iterations', v, { integer: true, min: 1, max: 1000 })) },
  path_precision: { set: (o, v) => (o.config.pathPrecision = number('path_precision', v, { integer: true, min: 0, max: 16 })) },
};

const BY_NAME = new Map();
for (const [name, option] of Object.entries(OPTIONS)) {
  BY_NAME.set('--' + name, option);
  BY_NAME.set('--' + name.replace(/_/g, '-'), option);
  for (const alias of option.aliases || []) BY_NAME.set('--' + alias, option);
  if (option.short) BY_NAME.set('-' + option.short, option);
}

function parseArgs(argv) {
  const parsed = { config: {}, preset: null, input: null, output: null, help: false, version: false };
  for (let i = 0; i < argv.length; ++i) {
    let arg = argv[i];
    if (arg === '-h' || arg === '--help') {
      parsed.help = true;
      continue;
    }
    if (arg === '-V' || arg === '--version') {
      parsed.version = true;
      continue;
    }
    let value;
    const eq = arg.startsWith('--') ? arg.indexOf('=') : -1;
    if (eq > 0) {
      value = arg.slice(eq + 1);
      arg = arg.slice(0, eq);
    }
    const option = BY_NAME.get(arg);
    if (!option) throw new UsageError(`unknown option '${arg}'`);
    if (value === undefined) {
      if (i + 1 >= argv.length) throw new UsageError(`option '${arg}' needs a value`);
      value = argv[++i];
    }
    option.set(parsed, value);
  }
  return parsed;
}

function main(argv) {
  let args;
  try {
    args = parseArgs(argv);
    if (args.help) {
      process.stdout.write(USAGE);
      return 0;
    }
    if (args.version) {
      const engine = require('@neplex/vectorizer/package.json').version;
      process.stdout.write(`vtracer (VTracer engine of @neplex/vectorizer ${engine})\n`);
      return 0;
    }
    if (!args.input) throw new UsageError('the input file is missing (-i <input>)');
    if (!args.output) throw new UsageError('the output file is missing (-o <output>)');
  } catch (e) {
    if (!(e instanceof UsageError)) throw e;
    process.stderr.write(`vtracer: ${e.message}\n${USAGE}`);
    return 2;
  }

  const config = Object.assign({}, DEFAULTS, args.preset || {}, args.config);
  let image;
  try {
    image = fs.readFileSync(args.input);
  } catch (e) {
    process.stderr.write(`vtracer: cannot read '${args.input}': ${e.message}\n`);
    return 1;
  }
  let svg;
  try {
    svg = vectorizer.vectorizeSync(image, config);
  } catch (e) {
    process.stderr.write(`vtracer: cannot trace '${args.input}': ${e.message}\n`);
    return 1;
  }
  // Written beside the target and renamed, so a reader never sees half a file.
  const temp = path.join(path.dirname(path.resolve(args.output)), `.${path.basename(args.output)}.${process.pid}.tmp`);
  try {
    fs.writeFileSync(temp, svg);
    fs.renameSync(temp, args.output);
  } catch (e) {
    try {
      fs.unlinkSync(temp);
    } catch {}
    process.stderr.write(`vtracer: cannot write '${args.output}': ${e.message}\n`);
    return 1;
  }
  return 0;
}

process.exitCode = main(process.argv.slice(2));
