import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import {
  activeFilters, creditKind, formatPlace, formatPrice, markRanges, parseQuery, serviceName, SERVICE_ORDER,
} from '../../resultspage/format.js';

const DEFAULT = 'k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown';

test('the query is decoded, "+" stays a plus', () => {
  const p = parseQuery('k=%61%2B%62+c&area=%E6%B1%9F%E8%8B%8F%2C%E6%B5%99%E6%B1%9F&bad=%E7%8');
  assert.equal(p.get('k'), 'a+b+c');
  assert.equal(p.get('area'), '江苏,浙江');
  assert.equal(p.get('bad'), '%E7%8');
});

// The words come from the service (the same table the C++ split is tested
// with); marked in the keyword itself, they cover exactly those words.
test('the words the service matched are marked as whole words', () => {
  const table = JSON.parse(readFileSync(process.env.QUORVEL_KEYWORD_WORDS, 'utf8'));
  for (const { keyword, words } of table) {
    const marked = markRanges(keyword, words).map(([start, end]) => keyword.slice(start, end));
    assert.deepEqual(marked, words, JSON.stringify(keyword));
  }
});

test('service names and order come from the generated vocabulary', () => {
  assert.deepEqual(SERVICE_ORDER, ['oi', 'co', 'rd', 'sr', 'mall', 'or', 'gu']);
  assert.equal(serviceName('co'), '货到付款');
});

test('marks are case-insensitive and merged', () => {
  assert.deepEqual(markRanges('iPhone4手机壳 IPHONE', ['iphone']), [[0, 6], [11, 17]]);
  assert.deepEqual(markRanges('连衣裙连衣', ['连衣裙', '裙连']), [[0, 4]]);
  assert.deepEqual(markRanges('abc', []), []);
});

test('prices, places and credit kinds', () => {
  assert.equal(formatPrice(12900), '¥129.00');
  assert.equal(formatPrice(5), '¥0.05');
  assert.equal(formatPlace('北京', '北京'), '北京');
  assert.equal(formatPlace('', '日本'), '日本');
  assert.equal(formatPlace('浙江', '杭州'), '浙江 杭州');
  assert.equal(creditKind('3goldencrown'), 'goldencrown');
  assert.equal(creditKind('2diamond'), 'diamond');
});

test('the filters to loosen name only what is set', () => {
  assert.deepEqual(activeFilters(parseQuery(DEFAULT), ['热卖']), ['关键字“热卖”']);
  const all = activeFilters(parseQuery(
    'k=&cid=16&sp=10&ep=99999999&area=%E5%8C%97%E4%BA%AC&s=price_asc&sc=1diamond&ec=5goldencrown&oi=true&gu=true'));
  assert.deepEqual(all, ['类目', '价格区间 10–99999999 元', '所在地（北京）', '信用范围', '海外商品', '消保商品']);
});

test('narrowing replaces the parameters it names and keeps the rest byte for byte', async () => {
  const { narrowedQuery, withNarrowing } = await import('../../resultspage/narrowing.js');
  const query = 'k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown';
  let n = withNarrowing([], { param: 'cid', value: '16', label: '女装' });
  n = withNarrowing(n, { param: 'area', value: '江苏', label: '江苏' });
  n = withNarrowing(n, { param: 'price', value: [10, 50], label: '10–50 元' });
  n = withNarrowing(n, { param: 'co', value: 'true', label: '货到付款' });
  n = withNarrowing(n, { param: 'cid', value: '1512', label: '手机' });  // the same kind replaces
  assert.equal(narrowedQuery(query, n),
    'k=%E7%83%AD%E5%8D%96&s=commissionVolume_desc&sc=1heart&ec=5goldencrown'
    + '&area=%E6%B1%9F%E8%8B%8F&sp=10&ep=50&co=true&cid=1512');
  assert.equal(narrowedQuery(query, [{ param: 'price', value: [5000, null] }]).endsWith('&sp=5000&ep=99999999'), true);
  assert.equal(narrowedQuery(query, []), query);
});
