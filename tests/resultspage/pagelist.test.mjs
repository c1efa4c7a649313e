import { test } from 'node:test';
import assert from 'node:assert/strict';
import { PageList } from '../../resultspage/pagelist.js';

test('a new query goes at the end and is shown', () => {
  const list = new PageList();
  assert.deepEqual(list.open('a'), { index: 0, added: true });
  assert.deepEqual(list.open('b'), { index: 1, added: true });
  assert.equal(list.current, 1);
});

test('a repeated query shows the existing page', () => {
  const list = new PageList();
  list.open('a');
  list.open('b');
  assert.deepEqual(list.open('a'), { index: 0, added: false });
  assert.equal(list.length, 2);
  assert.equal(list.current, 0);
});

test('remove answers the page that took its place, else the one before, else -1', () => {
  const cases = [
    { pages: 3, remove: 1, next: 1 },
    { pages: 3, remove: 2, next: 1 },
    { pages: 3, remove: 0, next: 0 },
    { pages: 1, remove: 0, next: -1 },
  ];
  for (const c of cases) {
    const list = new PageList();
    for (let i = 0; i < c.pages; i++) list.open(`q${i}`);
    assert.equal(list.remove(c.remove).next, c.next, JSON.stringify(c));
    assert.equal(list.current, c.next);
    assert.equal(list.length, c.pages - 1);
  }
});

test('indexes that name no page are refused', () => {
  const list = new PageList();
  list.open('a');
  for (const bad of [-1, 1, 0.5, 'x', undefined]) {
    assert.throws(() => list.show(bad), RangeError);
    assert.throws(() => list.remove(bad), RangeError);
  }
  assert.equal(list.length, 1);
});

test('show makes a page current', () => {
  const list = new PageList();
  list.open('a');
  list.open('b');
  list.show(0);
  assert.equal(list.shown.query, 'a');
});
