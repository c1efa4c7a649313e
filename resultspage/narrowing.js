// Narrowing a result page by a count, in the page only: the tab's search
// (its query, and the program's caption) stays as it was. No DOM here, so
// node's test runner checks it.
import { MAX_PRICE } from './vocabulary.js';

const KINDS = { cid: '类目', area: '地区', price: '价格' };

// A narrowing of the same kind replaces the one before; services add up.
export function withNarrowing(narrowing, added) {
  return [...narrowing.filter((n) => n.param !== added.param), added];
}

export function narrowingLabel(n) {
  return KINDS[n.param] ? `${KINDS[n.param]}：${n.label}` : n.label;
}

// The query with the narrowings applied: their parameters replace the
// query's own, the rest is kept byte for byte.
export function narrowedQuery(query, narrowing) {
  const set = new Map();
  for (const n of narrowing) {
    if (n.param === 'price') {
      set.set('sp', String(n.value[0]));
      set.set('ep', String(n.value[1] ?? MAX_PRICE));
    } else {
      set.set(n.param, encodeURIComponent(n.value));
    }
  }
  const kept = String(query).split('&').filter((part) => part && !set.has(part.split('=')[0]));
  return [...kept, ...[...set].map(([name, value]) => `${name}=${value}`)].join('&');
}
