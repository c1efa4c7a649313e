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
