// Reading a query and turning catalog values into display text. No DOM here,
// so node's test runner checks it. The vocabulary and limits come from the
// module generated from the program's own tables at build time.
import { HIGHEST_CREDIT, LOWEST_CREDIT, MAX_PRICE, SERVICES } from './vocabulary.js';

export const SERVICE_ORDER = SERVICES.map((s) => s.code);
const SERVICE_NAMES = new Map(SERVICES.map((s) => [s.code, s.caption]));

export function serviceName(code) {
  return SERVICE_NAMES.get(code) ?? code;
}

// The query's parameters, decoded. "+" is a plus sign: the program encodes every byte.
export function parseQuery(query) {
  const params = new Map();
  for (const part of String(query).split('&')) {
    if (!part) continue;
    const eq = part.indexOf('=');
    const name = eq < 0 ? part : part.slice(0, eq);
    const raw = eq < 0 ? '' : part.slice(eq + 1);
    let value;
    try {
      value = decodeURIComponent(raw);
    } catch {
      value = raw;
    }
    params.set(name, value);
  }
  return params;
}

// ASCII-only lowering keeps every index in place, as the service matches.
function lowerAscii(text) {
  return text.replace(/[A-Z]/g, (c) => c.toLowerCase());
}

// Non-overlapping [start, end) ranges of the title that hold one of the words.
export function markRanges(title, words) {
  const text = lowerAscii(String(title));
  const ranges = [];
  for (const word of words) {
    const w = lowerAscii(word);
    if (!w) continue;
    for (let at = text.indexOf(w); at >= 0; at = text.indexOf(w, at + 1)) ranges.push([at, at + w.length]);
  }
  ranges.sort((a, b) => a[0] - b[0] || b[1] - a[1]);
  const merged = [];
  for (const r of ranges) {
    const last = merged[merged.length - 1];
    if (last && r[0] <= last[1]) last[1] = Math.max(last[1], r[1]);
    else merged.push([...r]);
  }
  return merged;
}

export function formatPrice(fen) {
  const value = Number(fen) / 100;
  return '¥' + value.toFixed(2);
}

export function formatCount(n) {
  return Number(n).toLocaleString('en-US');
}

export function formatPlace(province, city) {
  if (!province) return city || '';
  if (!city || city === province) return province;
  return `${province} ${city}`;
}

// What the user could loosen when nothing was found, in the form's words;
// words are those the service matched.
export function activeFilters(params, words = []) {
  const filters = [];
  if (words.length) filters.push(`关键字“${words.join(' ')}”`);
  if (params.get('cid')) filters.push('类目');
  const sp = Number(params.get('sp') ?? 0);
  const ep = Number(params.get('ep') ?? MAX_PRICE);
  if (sp > 0 || ep < MAX_PRICE) filters.push(`价格区间 ${sp}–${ep} 元`);
  if (params.get('area')) filters.push(`所在地（${params.get('area').split(',').slice(0, 3).join('、')}${params.get('area').split(',').length > 3 ? '…' : ''}）`);
  const sc = params.get('sc');
  const ec = params.get('ec');
  if ((sc && sc !== LOWEST_CREDIT) || (ec && ec !== HIGHEST_CREDIT)) filters.push('信用范围');
  for (const code of SERVICE_ORDER) {
    if (params.get(code) === 'true') filters.push(serviceName(code));
  }
  return filters;
}

// The kind of credit grade, for its symbol: heart, diamond, crown or goldencrown.
export function creditKind(key) {
  const m = /^[1-5](heart|diamond|crown|goldencrown)$/.exec(String(key));
  return m ? m[1] : 'heart';
}
